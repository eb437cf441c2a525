#include "platform/ui/Button.h"

#include <algorithm>

#include "platform/ui/GraphicsContext.h"

namespace ui {

Button::Button(ButtonType type) : type_(type) { init(); }

Button::Button(ButtonType type, Rect frame) : Control(frame), type_(type) { init(); }

std::shared_ptr<Button> Button::create(ButtonType type) {
    return std::make_shared<Button>(type);
}

void Button::init() {
    setOpaque(false);
    imageView_ = std::make_shared<ImageView>();
    imageView_->setContentMode(ContentMode::ScaleToFill);
    addSubview(imageView_);
    titleLabel_ = std::make_shared<Label>();
    titleLabel_->setFont(Font::systemFont(15));
    titleLabel_->setTextAlignment(TextAlignment::Center);
    addSubview(titleLabel_);
    updateContent();
}

template <class T>
const T* Button::lookup(const std::map<ControlState, T>& m, ControlState s) {
    auto it = m.find(s);
    if (it != m.end()) return &it->second;
    it = m.find(ControlStates::Normal);
    return it != m.end() ? &it->second : nullptr;
}

void Button::setTitle(const std::string& title, ControlState state) {
    titles_[state] = title;
    updateContent();
}

void Button::setTitleColor(const Color& color, ControlState state) {
    titleColors_[state] = color;
    updateContent();
}

void Button::setImage(ImagePtr image, ControlState state) {
    if (image) images_[state] = std::move(image);
    else images_.erase(state);
    updateContent();
}

void Button::setBackgroundImage(ImagePtr image, ControlState state) {
    if (image) backgroundImages_[state] = std::move(image);
    else backgroundImages_.erase(state);
    updateContent();
}

void Button::setAttributedTitle(std::optional<AttributedString> title, ControlState state) {
    if (title) attributedTitles_[state] = std::move(*title);
    else attributedTitles_.erase(state);
    updateContent();
}

std::optional<std::string> Button::titleForState(ControlState state) const {
    auto it = titles_.find(state);
    if (it != titles_.end()) return it->second;
    if (state != ControlStates::Normal) {
        it = titles_.find(ControlStates::Normal);
        if (it != titles_.end()) return it->second;
    }
    return std::nullopt;
}

std::optional<Color> Button::titleColorForState(ControlState state) const {
    if (auto* c = lookup(titleColors_, state)) return *c;
    return std::nullopt;
}

ImagePtr Button::imageForState(ControlState state) const {
    auto* p = lookup(images_, state);
    return p ? *p : nullptr;
}

ImagePtr Button::backgroundImageForState(ControlState state) const {
    auto* p = lookup(backgroundImages_, state);
    return p ? *p : nullptr;
}

std::string Button::currentTitle() const {
    if (auto* a = lookup(attributedTitles_, state())) return a->string();
    return titleForState(state()).value_or("");
}

Color Button::currentTitleColor() const {
    if (auto c = titleColorForState(state())) return *c;
    if (type_ == ButtonType::System) {
        if (!isEnabled()) return Color::grey(0.55);
        Color tint = tintColor().value_or(defaultTintColor());
        return isHighlighted() ? tint.withAlpha(0.3) : tint;
    }
    return Color::white();
}

ImagePtr Button::currentImage() const { return imageForState(state()); }

ImagePtr Button::currentBackgroundImage() const { return backgroundImageForState(state()); }

void Button::stateChanged() {
    updateContent();
    Control::stateChanged();
}

void Button::updateContent() {
    if (!titleLabel_) return;
    if (auto* a = lookup(attributedTitles_, state())) titleLabel_->setAttributedText(*a);
    else titleLabel_->setText(titleForState(state()).value_or(""));
    titleLabel_->setTextColor(currentTitleColor());
    titleLabel_->setHidden(titleLabel_->text().empty());
    auto img = currentImage();
    imageView_->setImage(img);
    imageView_->setHidden(!img);
    imageView_->setAlpha(!isEnabled() && adjustsImageWhenDisabled_ && !images_.count(ControlStates::Disabled) ? kDisabledAlpha : 1);
    setNeedsDisplay();
    setNeedsLayout();
    layoutSubviews();
}

Rect Button::contentRectForBounds(Rect bounds) const {
    return bounds.inset(contentInsets_);
}

namespace {
struct Parts {
    Rect image, title;
};
}  // namespace

static Parts computeParts(const Button& b, Rect content, Size imageSize, Size titleSize, EdgeInsets imageInsets,
                          EdgeInsets titleInsets, ControlContentHorizontalAlignment h, ControlContentVerticalAlignment v) {
    Rect imageArea = content.inset(imageInsets);
    Rect titleArea = content.inset(titleInsets);
    double iw = std::min(imageSize.width, std::max(0.0, imageArea.width()));
    double ih = std::min(imageSize.height, std::max(0.0, imageArea.height()));
    double tw = std::min(titleSize.width, std::max(0.0, titleArea.width() - iw));
    double th = std::min(titleSize.height, std::max(0.0, titleArea.height()));
    double total = iw + tw;
    auto xIn = [&](Rect area, double offset, double w) {
        switch (h) {
        case ControlContentHorizontalAlignment::Left: return area.x() + offset;
        case ControlContentHorizontalAlignment::Right: return area.maxX() - total + offset;
        case ControlContentHorizontalAlignment::Fill:
        case ControlContentHorizontalAlignment::Center: break;
        }
        (void)w;
        return area.x() + (area.width() - total) / 2 + offset;
    };
    auto yIn = [&](Rect area, double hgt) {
        switch (v) {
        case ControlContentVerticalAlignment::Top: return area.y();
        case ControlContentVerticalAlignment::Bottom: return area.maxY() - hgt;
        default: return area.y() + (area.height() - hgt) / 2;
        }
    };
    Parts p;
    if (h == ControlContentHorizontalAlignment::Fill && iw > 0 && tw == 0) {
        p.image = imageArea;
    } else {
        p.image = {xIn(imageArea, 0, iw), yIn(imageArea, ih), iw, ih};
    }
    p.title = {xIn(titleArea, iw, tw), yIn(titleArea, th), tw, th};
    (void)b;
    return p;
}

Rect Button::imageRectForContentRect(Rect content) const {
    auto img = currentImage();
    Size is = img ? img->size() : Size{0, 0};
    Size ts = titleLabel_->text().empty() ? Size{0, 0} : titleLabel_->sizeThatFits({0, 0});
    return computeParts(*this, content, is, ts, imageInsets_, titleInsets_, contentHorizontalAlignment(),
                        contentVerticalAlignment()).image;
}

Rect Button::titleRectForContentRect(Rect content) const {
    auto img = currentImage();
    Size is = img ? img->size() : Size{0, 0};
    Size ts = titleLabel_->text().empty() ? Size{0, 0} : titleLabel_->sizeThatFits({0, 0});
    return computeParts(*this, content, is, ts, imageInsets_, titleInsets_, contentHorizontalAlignment(),
                        contentVerticalAlignment()).title;
}

void Button::layoutSubviews() {
    Control::layoutSubviews();
    if (!titleLabel_) return;
    Rect content = contentRectForBounds(bounds());
    imageView_->setFrame(imageRectForContentRect(content));
    titleLabel_->setFrame(titleRectForContentRect(content));
}

Size Button::sizeThatFits(Size size) const {
    (void)size;
    auto img = currentImage();
    Size is = img ? img->size() : Size{0, 0};
    Size ts = titleLabel_->text().empty() ? Size{0, 0} : titleLabel_->sizeThatFits({0, 0});
    double w = is.width + ts.width + contentInsets_.left + contentInsets_.right;
    double h = std::max(is.height, ts.height) + contentInsets_.top + contentInsets_.bottom;
    if (auto bg = currentBackgroundImage()) {
        w = std::max(w, bg->size().width);
        h = std::max(h, bg->size().height);
    }
    if (type_ == ButtonType::System) h = std::max(h, 30.0);
    return {w, h};
}

Size Button::intrinsicContentSize() const {
    return sizeThatFits({0, 0});
}

bool Button::dimsDisabledBackground() const {
    return !isEnabled() && adjustsImageWhenDisabled_ && !backgroundImages_.count(ControlStates::Disabled);
}

void Button::draw(GraphicsContext& context, Rect rect) {
    (void)rect;
    if (auto bg = currentBackgroundImage()) context.drawImage(bg, bounds(), dimsDisabledBackground() ? kDisabledAlpha : 1);
    if (isHighlighted() && showsTouch_) {
        context.setFillColor(Color::white().withAlpha(0.3));
        context.fillEllipseInRect(bounds());
    }
}

std::string Button::describeContent() const {
    std::string t = currentTitle();
    if (!t.empty()) return t;
    if (auto img = currentImage(); img && !img->name().empty()) return img->name();
    if (auto bg = currentBackgroundImage(); bg && !bg->name().empty()) return bg->name();
    return "";
}

}  // namespace ui
