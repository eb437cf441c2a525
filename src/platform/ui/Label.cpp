#include "platform/ui/Label.h"

#include <algorithm>
#include <cmath>

namespace ui {

std::string AttributedString::string() const {
    std::string s;
    for (auto& r : runs) s += r.text;
    return s;
}

void Label::init() {
    setUserInteractionEnabled(false);
    setOpaque(false);
}

void Label::setText(const std::string& text) {
    text_ = text;
    attributedText_.reset();
    setNeedsDisplay();
}

void Label::setAttributedText(std::optional<AttributedString> text) {
    attributedText_ = std::move(text);
    text_ = attributedText_ ? attributedText_->string() : "";
    setNeedsDisplay();
}

void Label::setFont(const Font& font) {
    font_ = font;
    setNeedsDisplay();
}

void Label::setTextColor(const Color& color) {
    textColor_ = color;
    setNeedsDisplay();
}

Size Label::sizeThatFits(Size size) const {
    if (text_.empty()) return {0, 0};
    Font font = font_;
    if (attributedText_) {
        for (auto& r : attributedText_->runs) {
            if (r.font && r.font->size > font.size) font = *r.font;
        }
    }
    double maxWidth = numberOfLines_ == 1 ? 0 : std::max(0.0, size.width);
    Size s = graphics::measureText(text_, font, maxWidth);
    if (numberOfLines_ > 1) {
        double lh = font.lineHeight();
        s.height = std::min(s.height, std::ceil(lh * numberOfLines_));
    }
    return s;
}

void Label::sizeToFit() {
    Rect f = frame();
    Size s = sizeThatFits({numberOfLines_ != 1 ? f.width() : 0, 0});
    setFrame({f.x(), f.y(), s.width, s.height});
}

Size Label::intrinsicContentSize() const {
    return sizeThatFits({0, 0});
}

void Label::draw(GraphicsContext& context, Rect rect) {
    (void)rect;
    if (text_.empty()) return;
    Color color = highlighted_ && highlightedTextColor_ ? *highlightedTextColor_ : textColor_;
    if (!enabled_) color = color.withAlpha(color.a * 0.5);
    if (attributedText_) {
        context.drawRuns(attributedText_->runs, bounds(), font_, color, alignment_, numberOfLines_, true);
    } else {
        context.drawText(text_, bounds(), shownFont(), color, alignment_, numberOfLines_, true);
    }
}

Font Label::shownFont() const {
    if (!adjustsFontSize_ || numberOfLines_ != 1 || text_.empty()) return font_;
    double width = graphics::measureText(text_, font_).width;
    if (width <= bounds().width() || width <= 0) return font_;
    Font smaller = font_;
    smaller.size = font_.size * std::max(kMinimumFontScale, bounds().width() / width);
    while (smaller.size > font_.size * kMinimumFontScale &&
           graphics::measureText(text_, smaller).width > bounds().width())
        smaller.size -= 0.5;
    return smaller;
}

}  // namespace ui
