#pragma once
#include "platform/ui/View.h"

namespace ui {

enum class ActivityIndicatorViewStyle { WhiteLarge, White, Gray };

// A spinner: 20 x 20 (37 x 37 large). Hidden while stopped when hidesWhenStopped (default).
class ActivityIndicatorView : public View {
public:
    explicit ActivityIndicatorView(ActivityIndicatorViewStyle style = ActivityIndicatorViewStyle::White);
    explicit ActivityIndicatorView(Rect frame);
    std::string className() const override { return "ActivityIndicatorView"; }

    ActivityIndicatorViewStyle style() const { return style_; }
    void setStyle(ActivityIndicatorViewStyle style);
    Color color() const { return color_; }
    void setColor(const Color& c) { color_ = c; setNeedsDisplay(); }
    bool hidesWhenStopped() const { return hidesWhenStopped_; }
    void setHidesWhenStopped(bool v);
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return animating_; }

    Size sizeThatFits(Size size) const override;
    void draw(GraphicsContext& context, Rect rect) override;

private:
    ActivityIndicatorViewStyle style_;
    Color color_;
    bool hidesWhenStopped_ = true;
    bool animating_ = false;
};

}  // namespace ui
