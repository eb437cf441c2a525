#include "platform/ui/ActivityIndicatorView.h"

#include <cmath>

#include "platform/ui/GraphicsContext.h"

namespace ui {

namespace {
double sideOf(ActivityIndicatorViewStyle s) { return s == ActivityIndicatorViewStyle::WhiteLarge ? 37 : 20; }
Color colorOf(ActivityIndicatorViewStyle s) { return s == ActivityIndicatorViewStyle::Gray ? Color::grey(0.5) : Color::white(); }
}  // namespace

ActivityIndicatorView::ActivityIndicatorView(ActivityIndicatorViewStyle style)
    : View(Rect(0, 0, sideOf(style), sideOf(style))), style_(style), color_(colorOf(style)) {
    setUserInteractionEnabled(false);
    View::setHidden(true);
}

ActivityIndicatorView::ActivityIndicatorView(Rect frame)
    : View(frame), style_(ActivityIndicatorViewStyle::White), color_(Color::white()) {
    setUserInteractionEnabled(false);
    View::setHidden(true);
}

void ActivityIndicatorView::setStyle(ActivityIndicatorViewStyle style) {
    style_ = style;
    color_ = colorOf(style);
    Rect f = frame();
    setFrame({f.midX() - sideOf(style) / 2, f.midY() - sideOf(style) / 2, sideOf(style), sideOf(style)});
}

void ActivityIndicatorView::setHidesWhenStopped(bool v) {
    hidesWhenStopped_ = v;
    if (!animating_) setHidden(v);
}

void ActivityIndicatorView::startAnimating() {
    animating_ = true;
    setHidden(false);
}

void ActivityIndicatorView::stopAnimating() {
    animating_ = false;
    if (hidesWhenStopped_) setHidden(true);
}

Size ActivityIndicatorView::sizeThatFits(Size size) const {
    (void)size;
    return {sideOf(style_), sideOf(style_)};
}

void ActivityIndicatorView::draw(GraphicsContext& context, Rect rect) {
    (void)rect;
    Rect b = bounds();
    double r = std::min(b.width(), b.height()) / 2;
    Point c = b.center();
    context.setLineWidth(std::max(1.5, r / 5));
    context.setLineCap(LineCap::Round);
    for (int i = 0; i < 12; ++i) {
        double a = i * M_PI / 6;
        context.setStrokeColor(color_.withAlpha(color_.a * (0.25 + 0.75 * i / 11.0)));
        context.beginPath();
        context.moveTo({c.x + std::cos(a) * r * 0.5, c.y + std::sin(a) * r * 0.5});
        context.addLineTo({c.x + std::cos(a) * r * 0.9, c.y + std::sin(a) * r * 0.9});
        context.strokePath();
    }
}

}  // namespace ui
