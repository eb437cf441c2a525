#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/GraphicsContext.h"
#include "platform/ui/View.h"

namespace ui {

// Text made of runs, each with its own font and colour (unset: the label's).
struct AttributedString {
    std::vector<TextRun> runs;
    std::string string() const;
    bool empty() const { return string().empty(); }
};

// A non-interactive text: one line by default, wrapping when numberOfLines is 0 or
// more than 1, vertically centred in its bounds.
class Label : public View {
public:
    Label() { init(); }
    explicit Label(Rect frame) : View(frame) { init(); }
    std::string className() const override { return "Label"; }

    const std::string& text() const { return text_; }
    void setText(const std::string& text);
    // Attributed text replaces the plain text (text() then holds its characters).
    const std::optional<AttributedString>& attributedText() const { return attributedText_; }
    void setAttributedText(std::optional<AttributedString> text);
    const Font& font() const { return font_; }
    void setFont(const Font& font);
    const Color& textColor() const { return textColor_; }
    void setTextColor(const Color& color);
    std::optional<Color> highlightedTextColor() const { return highlightedTextColor_; }
    void setHighlightedTextColor(std::optional<Color> c) { highlightedTextColor_ = c; }
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool h) { highlighted_ = h; setNeedsDisplay(); }
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment a) { alignment_ = a; setNeedsDisplay(); }
    int numberOfLines() const { return numberOfLines_; }
    void setNumberOfLines(int n) { numberOfLines_ = n; setNeedsDisplay(); }
    LineBreakMode lineBreakMode() const { return lineBreakMode_; }
    void setLineBreakMode(LineBreakMode m) { lineBreakMode_ = m; }
    // A one-line label that adjusts its font size is drawn smaller, down to half its font's size,
    // when its text is wider than it.
    bool adjustsFontSizeToFitWidth() const { return adjustsFontSize_; }
    void setAdjustsFontSizeToFitWidth(bool v) { adjustsFontSize_ = v; }
    static constexpr double kMinimumFontScale = 0.5;
    // The font the text is drawn in (smaller than font() when it is adjusted to fit).
    Font shownFont() const;
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool e) { enabled_ = e; }

    // The size of the text: one line when numberOfLines is 1, else wrapped to size.width
    // (unbounded when 0) and cut to numberOfLines lines.
    Size sizeThatFits(Size size) const override;
    // Keeps the origin; wraps at the current width for multi-line labels with a width.
    void sizeToFit() override;
    Size intrinsicContentSize() const override;
    void draw(GraphicsContext& context, Rect rect) override;
    std::string describeContent() const override { return text_; }

private:
    void init();
    std::string text_;
    std::optional<AttributedString> attributedText_;
    Font font_ = Font::systemFont(17);
    Color textColor_ = Color::black();
    std::optional<Color> highlightedTextColor_;
    bool highlighted_ = false;
    TextAlignment alignment_ = TextAlignment::Left;
    int numberOfLines_ = 1;
    LineBreakMode lineBreakMode_ = LineBreakMode::TruncatingTail;
    bool adjustsFontSize_ = false;
    bool enabled_ = true;
};

}  // namespace ui
