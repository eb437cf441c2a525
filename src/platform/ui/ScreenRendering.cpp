#include "platform/ui/ScreenRendering.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/foundation/Dates.h"
#include "platform/ui/Application.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Window.h"

namespace ui {

namespace {

// --- Keyboard ---------------------------------------------------------------------------------

enum class KeyboardLayout { Pinyin, Letters, DigitPad };

struct Typing {
    KeyboardLayout layout = KeyboardLayout::Pinyin;
    ReturnKeyType returnKey = ReturnKeyType::Default;
};

// What the text input with the keyboard asks for. The phone's own keyboard for text is the
// Simplified Chinese pinyin one; fields that take only Latin letters and digits get the English
// letters, number and phone fields the digit pad.
Typing typingOfFirstResponder() {
    Typing typing;
    KeyboardType type = KeyboardType::Default;
    auto* responder = Application::shared().firstResponder();
    if (auto* field = dynamic_cast<TextField*>(responder)) {
        type = field->keyboardType();
        typing.returnKey = field->returnKeyType();
    } else if (auto* view = dynamic_cast<TextView*>(responder)) {
        type = view->keyboardType();
        typing.returnKey = view->returnKeyType();
    }
    switch (type) {
    case KeyboardType::NumberPad:
    case KeyboardType::PhonePad:
    case KeyboardType::DecimalPad: typing.layout = KeyboardLayout::DigitPad; break;
    case KeyboardType::ASCIICapable:
    case KeyboardType::URL:
    case KeyboardType::EmailAddress:
    case KeyboardType::NumbersAndPunctuation: typing.layout = KeyboardLayout::Letters; break;
    default: typing.layout = KeyboardLayout::Pinyin; break;
    }
    return typing;
}

std::string returnKeyTitle(ReturnKeyType type, bool chinese) {
    switch (type) {
    case ReturnKeyType::Go: return chinese ? "前往" : "Go";
    case ReturnKeyType::Google:
    case ReturnKeyType::Yahoo:
    case ReturnKeyType::Search: return chinese ? "搜索" : "Search";
    case ReturnKeyType::Join: return chinese ? "加入" : "Join";
    case ReturnKeyType::Next: return chinese ? "下一项" : "Next";
    case ReturnKeyType::Route: return chinese ? "路线" : "Route";
    case ReturnKeyType::Send: return chinese ? "发送" : "Send";
    case ReturnKeyType::Done: return chinese ? "完成" : "Done";
    case ReturnKeyType::EmergencyCall: return chinese ? "紧急呼叫" : "Emergency";
    case ReturnKeyType::Default: break;
    }
    return chinese ? "换行" : "return";
}

const Color kPanel = Color::grey(0.82);
const Color kLetterKey = Color::white();
const Color kFunctionKey = Color::rgbBytes(172, 179, 188);
const Color kKeyText = Color::black();

void drawKey(GraphicsContext& context, Rect key, const std::string& title, const Color& face, double fontSize,
             const std::string& subtitle = "", const Color& text = kKeyText) {
    context.setFillColor(Color::grey(0.53));
    context.beginPath();
    context.addRoundedRect(key.offset(0, 1), 5);
    context.fillPath();
    context.setFillColor(face);
    context.beginPath();
    context.addRoundedRect(key, 5);
    context.fillPath();
    if (subtitle.empty()) {
        context.drawText(title, key, Font::systemFont(fontSize), text, TextAlignment::Center, 1, true);
        return;
    }
    double titleHeight = key.height() * 0.6;
    context.drawText(title, {key.x(), key.y() + 2, key.width(), titleHeight}, Font::systemFont(fontSize), kKeyText,
                     TextAlignment::Center, 1, true);
    context.drawText(subtitle, {key.x(), key.y() + titleHeight - 2, key.width(), key.height() - titleHeight},
                     Font::boldSystemFont(fontSize * 0.45), kKeyText, TextAlignment::Center, 1, true);
}

// Three rows of letters, a row with the space bar; the letters' rows of ten, nine and seven keys
// (between shift and delete) as on the phone.
void drawLetterKeys(GraphicsContext& context, Rect frame, const Typing& typing) {
    const bool chinese = typing.layout == KeyboardLayout::Pinyin;
    const char* rows[3] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
    const double gap = 6, rowHeight = (frame.height() - 5 * gap) / 4;
    const double width = (frame.width() - 11 * gap) / 10;
    for (int row = 0; row < 3; ++row) {
        std::string letters = rows[row];
        int count = static_cast<int>(letters.size());
        double start = frame.x() + (frame.width() - count * width - (count - 1) * gap) / 2;
        double y = frame.y() + gap + row * (rowHeight + gap);
        for (int k = 0; k < count; ++k) {
            std::string letter(1, chinese ? letters[static_cast<size_t>(k)]
                                          : static_cast<char>(std::toupper(letters[static_cast<size_t>(k)])));
            drawKey(context, {start + k * (width + gap), y, width, rowHeight}, letter, kLetterKey, 20);
        }
        if (row == 2) {
            double side = start - gap - (frame.x() + gap);
            drawKey(context, {frame.x() + gap, y, side, rowHeight}, "⇧", kFunctionKey, 18);
            drawKey(context, {start + count * (width + gap), y, side, rowHeight}, "⌫", kFunctionKey, 18);
        }
    }
    double y = frame.y() + gap + 3 * (rowHeight + gap);
    double small = width * 1.25;
    double x = frame.x() + gap;
    drawKey(context, {x, y, small, rowHeight}, "123", kFunctionKey, 15);
    x += small + gap;
    drawKey(context, {x, y, small, rowHeight}, chinese ? "中/英" : "🌐", kFunctionKey, chinese ? 12 : 16);
    x += small + gap;
    double returnWidth = width * 2.2;
    double spaceWidth = frame.maxX() - gap - returnWidth - gap - x;
    drawKey(context, {x, y, spaceWidth, rowHeight}, chinese ? "空格" : "space", kLetterKey, 15);
    // A return key that acts (send, done, search...) is blue with its title in white.
    bool action = typing.returnKey != ReturnKeyType::Default;
    drawKey(context, {frame.maxX() - gap - returnWidth, y, returnWidth, rowHeight},
            returnKeyTitle(typing.returnKey, chinese), action ? Color::rgbBytes(0, 102, 214) : kFunctionKey, 15, "",
            action ? Color::white() : kKeyText);
}

// Four rows of three: the digits with their letters, then the symbols, 0 and delete.
void drawDigitPad(GraphicsContext& context, Rect frame) {
    const char* digits[12] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "+*#", "0", "⌫"};
    const char* letters[12] = {"", "ABC", "DEF", "GHI", "JKL", "MNO", "PQRS", "TUV", "WXYZ", "", "", ""};
    const double gap = 6, rowHeight = (frame.height() - 5 * gap) / 4;
    const double width = (frame.width() - 4 * gap) / 3;
    for (int i = 0; i < 12; ++i) {
        Rect key{frame.x() + gap + (i % 3) * (width + gap), frame.y() + gap + (i / 3) * (rowHeight + gap), width,
                 rowHeight};
        bool function = i == 9 || i == 11;
        drawKey(context, key, digits[i], function ? kFunctionKey : kLetterKey, function ? 18 : 24, letters[i]);
    }
}

// --- Status bar -------------------------------------------------------------------------------


// The average colour of pixel rows [y0, y1) of an ARGB32 surface, and whether they are all one colour.
struct Band {
    Color average;
    bool uniform = true;
};

Band readBand(cairo_surface_t* surface, int y0, int y1) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    int width = cairo_image_surface_get_width(surface);
    y1 = std::min(y1, cairo_image_surface_get_height(surface));
    Band band;
    if (!data || width <= 0 || y1 <= y0) return band;
    double r = 0, g = 0, b = 0;
    uint32_t first = *reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y0) * static_cast<size_t>(stride));
    long count = 0;
    for (int y = y0; y < y1; ++y) {
        const auto* row =
            reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * static_cast<size_t>(stride));
        for (int x = 0; x < width; ++x) {
            uint32_t p = row[x];
            if (p != first) band.uniform = false;
            r += (p >> 16) & 0xff;
            g += (p >> 8) & 0xff;
            b += p & 0xff;
            ++count;
        }
    }
    band.average = Color::rgba(r / count / 255, g / count / 255, b / count / 255);
    return band;
}

void drawSignal(GraphicsContext& context, Point origin, const Color& colour) {
    for (int i = 0; i < 5; ++i) {
        Rect dot{origin.x + i * 6.5, origin.y, 5.5, 5.5};
        context.setFillColor(colour);
        context.fillEllipseInRect(dot);
    }
}

void drawBattery(GraphicsContext& context, Rect body, const Color& colour) {
    context.setStrokeColor(colour);
    context.setLineWidth(1);
    context.beginPath();
    context.addRoundedRect(body.inset(0.5, 0.5), 2.5);
    context.strokePath();
    context.setFillColor(colour);
    context.beginPath();
    context.addRoundedRect(body.inset(2, 2), 1.5);
    context.fillPath();
    context.fillRect({body.maxX() + 0.5, body.midY() - 2, 1.5, 4});
}

}  // namespace

void drawKeyboard(GraphicsContext& context, Rect frame) {
    context.setFillColor(kPanel);
    context.fillRect(frame);
    Typing typing = typingOfFirstResponder();
    if (typing.layout == KeyboardLayout::DigitPad) drawDigitPad(context, frame);
    else drawLetterKeys(context, frame, typing);
}

void drawStatusBar(GraphicsContext& context, Rect frame, const Color& behind) {
    bool light = Application::shared().statusBarStyle() == StatusBarStyle::LightContent;
    Color white = Color::white(), black = Color::black();
    // The application's choice of white items, unless white would not read on what lies behind.
    Color items = light ? white : black;
    if (Color::contrast(items, behind) < 3) items = light ? black : white;
    double middle = frame.midY();
    drawSignal(context, {frame.x() + 6, middle - 2.75}, items);
    context.drawText("中国移动", {frame.x() + 41, frame.y(), 70, frame.height()}, Font::systemFont(12), items,
                     TextAlignment::Left, 1, true);
    std::string time = foundation::dates::format(foundation::dates::now(), "HH:mm");
    context.drawText(time, {frame.midX() - 40, frame.y(), 80, frame.height()}, Font::boldSystemFont(12), items,
                     TextAlignment::Center, 1, true);
    Rect battery{frame.maxX() - 6 - 2 - 24, middle - 5, 24, 10};
    drawBattery(context, battery, items);
    context.drawText("100%", {battery.x() - 44, frame.y(), 40, frame.height()}, Font::systemFont(12), items,
                     TextAlignment::Right, 1, true);
}

ImagePtr renderScreen(const std::vector<std::shared_ptr<Window>>& windows, double scale) {
    if (scale <= 0) scale = Screen::mainScreen().scale();
    auto& screen = Screen::mainScreen();
    Size size = screen.bounds().size;
    return drawImage(size, scale, true, [&](GraphicsContext& context) {
        for (auto& w : windows) {
            if (!w) continue;
            context.saveState();
            context.translate(w->frame().x(), w->frame().y());
            renderInContext(*w, context);
            context.restoreState();
        }
        // The keyboard covers the lower screen while it is up: what lies under it cannot be seen.
        if (Keyboard::isVisible()) drawKeyboard(context, Keyboard::frame());
        if (Application::shared().isStatusBarHidden()) return;
        Rect bar{0, 0, size.width, screen.statusBarHeight()};
        cairo_surface_t* surface = cairo_get_target(context.cairo());
        int top = static_cast<int>(std::lround(bar.height() * scale));
        Band band = readBand(surface, 0, top);
        Band below = readBand(surface, top, top + 1);
        Color behind = band.average;
        auto differs = [](const Color& a, const Color& b) {
            return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 0.02;
        };
        if (band.uniform && (!below.uniform || differs(below.average, band.average))) {
            // Nothing is drawn under the status bar but the page: the bar below reaches up under it, as
            // a navigation bar does on the phone.
            cairo_surface_t* row = cairo_surface_create_similar_image(surface, CAIRO_FORMAT_ARGB32,
                                                                      cairo_image_surface_get_width(surface), 1);
            cairo_t* copy = cairo_create(row);
            cairo_set_source_surface(copy, surface, 0, -top);
            cairo_paint(copy);
            cairo_destroy(copy);
            cairo_t* cr = context.cairo();
            cairo_save(cr);
            cairo_rectangle(cr, bar.x(), bar.y(), bar.width(), bar.height());
            cairo_clip(cr);
            cairo_scale(cr, 1 / scale, static_cast<double>(top) / scale);
            cairo_set_source_surface(cr, row, 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
            cairo_paint(cr);
            cairo_restore(cr);
            cairo_surface_destroy(row);
            behind = below.average;
        }
        drawStatusBar(context, bar, behind);
    });
}

}  // namespace ui
