#include "liability/signature/DrawSignView.h"

#include <cairo.h>

#include <cstdint>
#include <cstring>

#include "platform/ui/GraphicsContext.h"

namespace {

const ui::Color kPanelColor = ui::Color::rgbBytes(59, 73, 82);
const ui::Color kPressedColor = ui::Color::rgbBytes(169, 183, 192);
const ui::Color kDrawingColor = ui::Color::rgbBytes(101, 129, 90);

// The bits of the drawing area's colour, red in the top byte.
constexpr uint32_t kBackgroundBits = 0x65815A00u;

}  // namespace

DrawSignView::DrawSignView(ui::Rect frame) : View(frame) { createView(); }

void DrawSignView::createView() {
    ui::Rect given = frame();
    setFrame({0, 0, given.height(), given.width()});
    const double pw = bounds().width();
    const double ph = bounds().height();

    setBackgroundColor(kPanelColor);
    layer().cornerRadius = 15.0;
    layer().borderColor = ui::Color::gray();
    layer().borderWidth = 1.0;

    auto title = std::make_shared<ui::Label>(ui::Rect{(pw - 320) / 2, 10, 320, 40});
    title->setText("请在下方区域内签名");
    title->setFont(ui::Font::systemFont(24));
    title->setTextColor(ui::Color::white());
    title->setTextAlignment(ui::TextAlignment::Center);
    title->setBackgroundColor(ui::Color::clear());
    addSubview(title);

    const char* titles[] = {"取消", "重签", "确定"};
    std::shared_ptr<ui::Button>* slots[] = {&cancelBtn, &clearBtn, &okBtn};
    for (int i = 0; i < 3; ++i) {
        auto button = std::make_shared<ui::Button>(ui::ButtonType::Custom, ui::Rect{100.0 + 130 * i, 50, 80, 40});
        button->setTitle(titles[i]);
        renderBtn(button);
        std::weak_ptr<ui::Button> weakButton = button;
        // The panel is reached through the button's superview: a button kept after its panel
        // has gone does nothing.
        button->addTarget(
            [weakButton] {
                auto b = weakButton.lock();
                if (!b) return;
                if (auto panel = std::dynamic_pointer_cast<DrawSignView>(b->superview())) panel->btnAction(b);
            },
            ui::ControlEvent::TouchUpInside, this);
        addSubview(button);
        *slots[i] = button;
    }

    drawView = std::make_shared<SignView>(ui::Rect{5, 100, pw - 10, ph - 110});
    drawView->setBackgroundColor(kDrawingColor);
    auto hint = std::make_shared<ui::Label>(drawView->bounds());
    hint->setTextAlignment(ui::TextAlignment::Center);
    hint->setText("签 名");
    hint->setFont(ui::Font::named("Helvetica-Bold", 70));
    hint->setTextColor(ui::Color::white());
    hint->setTag(SignView::kHintTag);
    drawView->addSubview(hint);
    addSubview(drawView);
    sendSubviewToBack(drawView);

    buttonHidden = true;
    widthHidden = true;
}

void DrawSignView::renderBtn(const std::shared_ptr<ui::Button>& button) {
    button->setBackgroundImage(imageFromColor(kPanelColor), ui::ControlStates::Normal);
    button->setBackgroundImage(imageFromColor(kPressedColor), ui::ControlStates::Highlighted);
    button->setTitleColor(ui::Color::white(), ui::ControlStates::Normal);
    button->layer().cornerRadius = 2.0;
    button->layer().borderWidth = 1.0;
    button->layer().borderColor = ui::Color::white();
}

std::shared_ptr<ui::Label> DrawSignView::hintLabel() const {
    if (!drawView) return nullptr;
    return std::dynamic_pointer_cast<ui::Label>(drawView->viewWithTag(SignView::kHintTag));
}

bool DrawSignView::hintShowing() const {
    auto hint = hintLabel();
    return hint && !hint->isHidden();
}

void DrawSignView::btnAction(const std::shared_ptr<ui::Button>& button) {
    // The blocks may close the pad: keep the panel for the length of the action.
    auto keep = sharedAs<DrawSignView>();
    if (button == cancelBtn) {
        if (cancelBlock) cancelBlock();
    } else if (button == clearBtn) {
        if (auto hint = hintLabel()) hint->setHidden(false);
        drawView->clear();
    } else if (button == okBtn) {
        auto block = signCallBackBlock;
        if (!block) return;
        // Nothing drawn (the hint showing, or only taps): nothing to hand over, as an empty pad.
        if (hintShowing() || !SignView::hasDrawing()) {
            block(nullptr);
        } else {
            block(saveScreen());
        }
    }
}

ui::ImagePtr DrawSignView::saveScreen() {
    if (!drawView) return nullptr;
    return imageToTransparent(ui::render(*drawView, 1.0));
}

ui::ImagePtr DrawSignView::imageFromColor(const ui::Color& color) {
    return ui::Image::draw({1, 1}, 1, false, [&](cairo_t* cr) {
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_rgba(cr, color.r, color.g, color.b, color.a);
        cairo_rectangle(cr, 0, 0, 1, 1);
        cairo_fill(cr);
    });
}

ui::ImagePtr DrawSignView::imageToTransparent(const ui::ImagePtr& image) {
    if (!image) return nullptr;
    const ui::Size size = image->size();
    const int w = size.width > 0 ? int(size.width) : 0;
    const int h = size.height > 0 ? int(size.height) : 0;

    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo_surface_status(out) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(out);
        return nullptr;
    }
    if (w == 0 || h == 0) return ui::Image::fromSurface(out, 1);

    // The image drawn at one pixel per point on an opaque (black) ground.
    cairo_surface_t* rgb = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    if (cairo_surface_status(rgb) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(rgb);
        cairo_surface_destroy(out);
        return nullptr;
    }
    cairo_t* cr = cairo_create(rgb);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    image->drawInRect(cr, {0, 0, double(w), double(h)});
    cairo_destroy(cr);
    cairo_surface_flush(rgb);

    cairo_surface_flush(out);
    const unsigned char* src = cairo_image_surface_get_data(rgb);
    unsigned char* dst = cairo_image_surface_get_data(out);
    const int srcStride = cairo_image_surface_get_stride(rgb);
    const int dstStride = cairo_image_surface_get_stride(out);
    for (int y = 0; y < h; ++y) {
        const auto* srcRow = reinterpret_cast<const uint32_t*>(src + std::ptrdiff_t(y) * srcStride);
        auto* dstRow = reinterpret_cast<uint32_t*>(dst + std::ptrdiff_t(y) * dstStride);
        for (int x = 0; x < w; ++x) {
            const uint32_t px = srcRow[x];
            const uint32_t r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF, a = 0xFF;
            const uint32_t word = (r << 24) | (g << 16) | (b << 8) | a;
            if ((word & kBackgroundBits) == kBackgroundBits) {
                // Fully transparent. Premultiplied pixels carry no colour at alpha 0.
                dstRow[x] = 0;
            } else {
                dstRow[x] = a << 24;  // opaque black
            }
        }
    }
    cairo_surface_destroy(rgb);
    cairo_surface_mark_dirty(out);
    return ui::Image::fromSurface(out, 1);
}
