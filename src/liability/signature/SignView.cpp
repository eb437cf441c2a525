#include "liability/signature/SignView.h"

#include <charconv>
#include <cstdio>

#include "platform/foundation/Log.h"
#include "platform/ui/GraphicsContext.h"

namespace {

SignView::State& sharedState() {
    static SignView::State state;
    return state;
}

const ui::Color kColors[] = {
    ui::Color::black(), ui::Color::rgba(0, 1, 0), ui::Color::rgba(0, 0, 1),
    ui::Color::red(),   ui::Color::black(),       ui::Color::white(),
};
const double kWidths[] = {5.0, 10.0, 12.0, 14.0, 16.0};
constexpr int kColorCount = int(sizeof kColors / sizeof kColors[0]);
constexpr int kWidthCount = int(sizeof kWidths / sizeof kWidths[0]);

std::string number(double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// Moves the last entry of `from` to the end of `to`, when there is one.
template <class T>
void moveLast(std::vector<T>& from, std::vector<T>& to) {
    if (from.empty()) return;
    to.push_back(std::move(from.back()));
    from.pop_back();
}

void strokePoints(ui::GraphicsContext& context, const std::vector<std::string>& points, int color, int width) {
    if (points.empty()) return;
    bool started = false;
    context.beginPath();
    for (const auto& text : points) {
        auto p = SignView::pointFromString(text);
        if (!p) continue;
        if (!started) {
            context.moveTo(*p);
            started = true;
        } else {
            context.addLineTo(*p);
        }
    }
    if (!started) return;
    context.setStrokeColor(SignView::colorAt(color));
    context.setLineWidth(SignView::widthAt(width));
    context.strokePath();
}

}  // namespace

SignView::SignView() { reset(); }

SignView::SignView(ui::Rect frame) : View(frame) { reset(); }

void SignView::reset() { sharedState() = State{}; }

const SignView::State& SignView::state() { return sharedState(); }

bool SignView::hasDrawing() {
    const State& s = sharedState();
    if (s.currentPoints.size() >= 2) return true;
    for (const auto& stroke : s.strokes)
        if (stroke.size() >= 2) return true;
    return false;
}

ui::Color SignView::colorAt(int index) {
    return index >= 0 && index < kColorCount ? kColors[index] : kColors[0];
}

double SignView::widthAt(int index) {
    return index >= 0 && index < kWidthCount ? kWidths[index] : kWidths[0];
}

std::string SignView::stringFromPoint(ui::Point point) {
    return "{" + number(point.x) + ", " + number(point.y) + "}";
}

std::optional<ui::Point> SignView::pointFromString(const std::string& text) {
    if (text.size() < 5 || text.front() != '{' || text.back() != '}') return std::nullopt;
    auto comma = text.find(',');
    if (comma == std::string::npos) return std::nullopt;
    const char* xBegin = text.data() + 1;
    const char* xEnd = text.data() + comma;
    const char* yBegin = text.data() + comma + 1;
    const char* yEnd = text.data() + text.size() - 1;
    while (yBegin < yEnd && *yBegin == ' ') ++yBegin;
    ui::Point p;
    auto rx = std::from_chars(xBegin, xEnd, p.x);
    auto ry = std::from_chars(yBegin, yEnd, p.y);
    if (rx.ec != std::errc() || rx.ptr != xEnd || ry.ec != std::errc() || ry.ptr != yEnd) return std::nullopt;
    return p;
}

void SignView::setLineColor(int index) {
    if (index < 0 || index >= kColorCount) {
        foundation::log("SignView: no pen colour " + std::to_string(index));
        return;
    }
    sharedState().colorIndex = index;
}

void SignView::setlineWidth(int index) {
    if (index < 0 || index >= kWidthCount) {
        foundation::log("SignView: no pen width " + std::to_string(index));
        return;
    }
    sharedState().widthIndex = index;
}

void SignView::clear() {
    auto& s = sharedState();
    s.currentPoints.clear();
    s.strokes.clear();
    s.strokeColors.clear();
    s.strokeWidths.clear();
    s.undoneStrokes.clear();
    s.undoneColors.clear();
    s.undoneWidths.clear();
    s.colorIndex = 0;
    s.widthIndex = 0;
    setNeedsDisplay();
}

void SignView::revocation() {
    auto& s = sharedState();
    moveLast(s.strokes, s.undoneStrokes);
    moveLast(s.strokeColors, s.undoneColors);
    moveLast(s.strokeWidths, s.undoneWidths);
    setNeedsDisplay();
}

void SignView::refrom() {
    auto& s = sharedState();
    moveLast(s.undoneStrokes, s.strokes);
    moveLast(s.undoneColors, s.strokeColors);
    moveLast(s.undoneWidths, s.strokeWidths);
    setNeedsDisplay();
}

void SignView::touchesBegan(const ui::Touches& touches) {
    (void)touches;
    if (auto hint = viewWithTag(kHintTag); hint && hint.get() != this) hint->setHidden(true);
}

void SignView::touchesMoved(const ui::Touches& touches) {
    if (touches.empty() || !touches.front()) return;
    auto& s = sharedState();
    s.lastPoint = touches.front()->locationInView(this);
    s.currentPoints.push_back(stringFromPoint(s.lastPoint));
    setNeedsDisplay();
}

void SignView::touchesEnded(const ui::Touches& touches) {
    (void)touches;
    addLA();
}

void SignView::touchesCancelled(const ui::Touches& touches) {
    (void)touches;
}

void SignView::addLA() {
    auto& s = sharedState();
    s.strokeColors.push_back(s.colorIndex);
    s.strokeWidths.push_back(s.widthIndex);
    s.strokes.push_back(s.currentPoints);
    s.currentPoints.clear();
}

void SignView::draw(ui::GraphicsContext& context, ui::Rect rect) {
    (void)rect;
    const auto& s = sharedState();
    context.setLineJoin(ui::LineJoin::Round);
    context.setLineCap(ui::LineCap::Round);
    for (size_t i = 0; i < s.strokes.size(); ++i) {
        int color = i < s.strokeColors.size() ? s.strokeColors[i] : s.colorIndex;
        int width = i < s.strokeWidths.size() ? s.strokeWidths[i] : s.widthIndex;
        strokePoints(context, s.strokes[i], color, width);
    }
    strokePoints(context, s.currentPoints, s.colorIndex, s.widthIndex);
}
