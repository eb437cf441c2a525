#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/MainThread.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Layout.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

namespace ui {

namespace {

Rect boundingBox(const Point* pts, int n) {
    double minX = pts[0].x, maxX = pts[0].x, minY = pts[0].y, maxY = pts[0].y;
    for (int i = 1; i < n; ++i) {
        minX = std::min(minX, pts[i].x);
        maxX = std::max(maxX, pts[i].x);
        minY = std::min(minY, pts[i].y);
        maxY = std::max(maxY, pts[i].y);
    }
    return {minX, minY, maxX - minX, maxY - minY};
}

}  // namespace

View::View() = default;

View::View(Rect frame) { View::setFrame(frame); }

View::~View() {
    for (auto& s : subviews_) {
        if (s->superview_ == this) s->superview_ = nullptr;
    }
    for (auto& r : recognizers_) {
        if (r->view_ == this) r->view_ = nullptr;
    }
}

std::shared_ptr<View> View::superview() const {
    return superview_ ? superview_->weak_from_this().lock() : nullptr;
}

Rect View::frame() const {
    Size s = bounds_.size;
    if (transform_.isIdentity()) return {center_.x - s.width / 2, center_.y - s.height / 2, s.width, s.height};
    Point corners[4] = {{-s.width / 2, -s.height / 2}, {s.width / 2, -s.height / 2},
                        {s.width / 2, s.height / 2}, {-s.width / 2, s.height / 2}};
    for (auto& c : corners) {
        Point t = transform_.apply(c);
        c = {t.x + center_.x, t.y + center_.y};
    }
    return boundingBox(corners, 4);
}

void View::setFrame(Rect frame) {
    foundation::assertMainThread("a view's frame");
    center_ = {frame.midX(), frame.midY()};
    Rect b = bounds_;
    b.size = frame.size;
    setBounds(b);
}

void View::setBounds(Rect bounds) {
    foundation::assertMainThread("a view's bounds");
    if (bounds == bounds_) return;
    Size old = bounds_.size;
    bounds_ = bounds;
    if (!(old == bounds.size)) boundsSizeChanged(old);
}

void View::boundsSizeChanged(Size oldSize) {
    if (autoresizesSubviews_) autoresizeSubviews(oldSize);
    setNeedsLayout();
}

void View::autoresizeSubviews(Size oldSize) {
    double dw = bounds_.size.width - oldSize.width;
    double dh = bounds_.size.height - oldSize.height;
    for (auto& s : subviews_) {
        unsigned m = s->autoresizingMask_;
        if (m == AutoresizingNone) continue;
        Rect f = s->frame();
        auto distribute = [](double delta, bool lead, bool size, bool trail, double& pos, double& len) {
            int n = int(lead) + int(size) + int(trail);
            if (n == 0 || delta == 0) return;
            double share = delta / n;
            if (lead) pos += share;
            if (size) len += share;
        };
        double x = f.x(), w = f.width(), y = f.y(), h = f.height();
        distribute(dw, m & AutoresizingFlexibleLeftMargin, m & AutoresizingFlexibleWidth,
                   m & AutoresizingFlexibleRightMargin, x, w);
        distribute(dh, m & AutoresizingFlexibleTopMargin, m & AutoresizingFlexibleHeight,
                   m & AutoresizingFlexibleBottomMargin, y, h);
        s->setFrame({x, y, std::max(0.0, w), std::max(0.0, h)});
    }
}

void View::setCenter(Point center) {
    foundation::assertMainThread("a view's centre");
    center_ = center;
}

void View::setTransform(const AffineTransform& transform) {
    transform_ = transform;
    setNeedsDisplay();
}

void View::setAlpha(double alpha) {
    foundation::assertMainThread("a view's alpha");
    alpha_ = std::clamp(alpha, 0.0, 1.0);
}

void View::setHidden(bool hidden) {
    foundation::assertMainThread("a view's hidden flag");
    if (hidden == hidden_) return;
    hidden_ = hidden;
    if (hidden) {
        // A hidden text input keeps the keyboard only while it is not inside the hidden view.
        setNeedsDisplay();
    }
}

void View::setBackgroundColor(std::optional<Color> color) {
    backgroundColor_ = color;
    setNeedsDisplay();
}

void View::setContentMode(ContentMode mode) {
    contentMode_ = mode;
    setNeedsDisplay();
}

std::optional<Color> View::tintColor() const {
    for (const View* v = this; v; v = v->superview_) {
        if (v->tintColor_) return v->tintColor_;
    }
    return std::nullopt;
}

std::shared_ptr<Window> View::window() const {
    const View* v = this;
    while (v->superview_) v = v->superview_;
    auto* w = dynamic_cast<const Window*>(v);
    if (!w) return nullptr;
    return std::static_pointer_cast<Window>(const_cast<Window*>(w)->weak_from_this().lock());
}

void View::notifyWindowChange(Window* newWindow, bool did) {
    if (did) {
        didMoveToWindow();
        if (newWindow) needsLayout_ = true;
    } else {
        willMoveToWindow(newWindow);
    }
    auto subs = subviews_;
    for (auto& s : subs) s->notifyWindowChange(newWindow, did);
}

void View::attachSubview(const std::shared_ptr<View>& view, size_t index) {
    foundation::assertMainThread("a view's subviews");
    if (!view || view.get() == this) return;
    auto keep = view;
    if (view->superview_ == this) {
        auto it = std::find(subviews_.begin(), subviews_.end(), view);
        if (it != subviews_.end()) subviews_.erase(it);
        index = std::min(index, subviews_.size());
        subviews_.insert(subviews_.begin() + static_cast<long>(index), view);
        setNeedsDisplay();
        return;
    }
    Window* oldWindow = view->window().get();
    if (view->superview_) view->detachFromSuperview();
    auto newWin = window();
    // A window added to nothing is its own window.
    Window* newWindow = newWin.get();
    view->willMoveToSuperview(this);
    if (oldWindow != newWindow) view->notifyWindowChange(newWindow, false);
    index = std::min(index, subviews_.size());
    subviews_.insert(subviews_.begin() + static_cast<long>(index), view);
    view->superview_ = this;
    view->didMoveToSuperview();
    if (oldWindow != newWindow) view->notifyWindowChange(newWindow, true);
    didAddSubview(view.get());
    view->setNeedsLayout();
    setNeedsDisplay();
}

void View::addSubview(const std::shared_ptr<View>& view) {
    attachSubview(view, subviews_.size());
}

void View::insertSubview(const std::shared_ptr<View>& view, size_t index) {
    attachSubview(view, index);
}

void View::insertSubviewAbove(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling) {
    auto it = std::find(subviews_.begin(), subviews_.end(), sibling);
    if (it == subviews_.end()) return addSubview(view);
    size_t idx = static_cast<size_t>(it - subviews_.begin()) + 1;
    if (view && view->superview_ == this) {
        auto cur = std::find(subviews_.begin(), subviews_.end(), view);
        if (cur != subviews_.end() && cur < it) --idx;
    }
    attachSubview(view, idx);
}

void View::insertSubviewBelow(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling) {
    auto it = std::find(subviews_.begin(), subviews_.end(), sibling);
    if (it == subviews_.end()) return insertSubview(view, 0);
    size_t idx = static_cast<size_t>(it - subviews_.begin());
    if (view && view->superview_ == this) {
        auto cur = std::find(subviews_.begin(), subviews_.end(), view);
        if (cur != subviews_.end() && cur < it) --idx;
    }
    attachSubview(view, idx);
}

void View::detachFromSuperview() {
    foundation::assertMainThread("a view's superview");
    View* parent = superview_;
    if (!parent) return;
    // The first responder leaves with its view.
    if (auto* fr = currentFirstResponder()) {
        if (auto* fv = dynamic_cast<View*>(fr); fv && (fv == this || fv->isDescendantOfView(this))) {
            fv->resignFirstResponder();
        }
    }
    Window* oldWindow = window().get();
    willMoveToSuperview(nullptr);
    if (oldWindow) notifyWindowChange(nullptr, false);
    parent->willRemoveSubview(this);
    auto it = std::find_if(parent->subviews_.begin(), parent->subviews_.end(),
                           [this](const std::shared_ptr<View>& v) { return v.get() == this; });
    std::shared_ptr<View> keep;
    if (it != parent->subviews_.end()) {
        keep = *it;
        parent->subviews_.erase(it);
    }
    superview_ = nullptr;
    didMoveToSuperview();
    if (oldWindow) notifyWindowChange(nullptr, true);
    parent->setNeedsDisplay();
}

void View::removeFromSuperview() {
    auto keep = weak_from_this().lock();
    detachFromSuperview();
}

void View::bringSubviewToFront(const std::shared_ptr<View>& view) {
    if (!view || view->superview_ != this) return;
    attachSubview(view, subviews_.size());
}

void View::sendSubviewToBack(const std::shared_ptr<View>& view) {
    if (!view || view->superview_ != this) return;
    attachSubview(view, 0);
}

void View::exchangeSubviewAtIndex(size_t a, size_t b) {
    foundation::assertMainThread("a view's subviews");
    if (a < subviews_.size() && b < subviews_.size()) std::swap(subviews_[a], subviews_[b]);
}

bool View::isDescendantOfView(const View* view) const {
    for (const View* v = this; v; v = v->superview_) {
        if (v == view) return true;
    }
    return false;
}

std::shared_ptr<View> View::viewWithTag(int tag) {
    if (tag_ == tag) return weak_from_this().lock();
    for (auto& s : subviews_) {
        if (s->tag_ == tag) return s;
    }
    for (auto& s : subviews_) {
        if (auto v = s->viewWithTag(tag)) return v;
    }
    return nullptr;
}

Point View::pointFromSuperview(Point p) const {
    Point d{p.x - center_.x, p.y - center_.y};
    if (!transform_.isIdentity()) d = transform_.inverted().apply(d);
    return {d.x + bounds_.origin.x + bounds_.size.width / 2, d.y + bounds_.origin.y + bounds_.size.height / 2};
}

Point View::pointToSuperview(Point p) const {
    Point d{p.x - bounds_.origin.x - bounds_.size.width / 2, p.y - bounds_.origin.y - bounds_.size.height / 2};
    if (!transform_.isIdentity()) d = transform_.apply(d);
    return {d.x + center_.x, d.y + center_.y};
}

Point View::convertPointToView(Point point, const View* view) const {
    if (view == this) return point;
    // Up to the root.
    Point p = point;
    const View* v = this;
    while (v->superview_) {
        if (v == view) return p;
        p = v->pointToSuperview(p);
        v = v->superview_;
    }
    if (v == view) return p;
    // The root's coordinates are the window's (for a window the bounds origin is zero).
    if (!view) return p;
    return view->convertPointFromView(p, nullptr);
}

Point View::convertPointFromView(Point point, const View* view) const {
    if (view == this) return point;
    Point rootPoint = view ? view->convertPointToView(point, nullptr) : point;
    // Down from the root to this view.
    std::vector<const View*> chain;
    for (const View* v = this; v; v = v->superview_) chain.push_back(v);
    Point p = rootPoint;
    // chain.back() is the root: its coordinates are the root point as is.
    for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it) p = (*it)->pointFromSuperview(p);
    return p;
}

Rect View::convertRectToView(Rect rect, const View* view) const {
    Point pts[4] = {convertPointToView(rect.origin, view),
                    convertPointToView({rect.maxX(), rect.minY()}, view),
                    convertPointToView({rect.maxX(), rect.maxY()}, view),
                    convertPointToView({rect.minX(), rect.maxY()}, view)};
    return boundingBox(pts, 4);
}

Rect View::convertRectFromView(Rect rect, const View* view) const {
    Point pts[4] = {convertPointFromView(rect.origin, view),
                    convertPointFromView({rect.maxX(), rect.minY()}, view),
                    convertPointFromView({rect.maxX(), rect.maxY()}, view),
                    convertPointFromView({rect.minX(), rect.maxY()}, view)};
    return boundingBox(pts, 4);
}

bool View::pointInside(Point point) const {
    return bounds_.contains(point);
}

std::shared_ptr<View> View::hitTest(Point point) {
    if (hidden_ || alpha_ < 0.01 || !userInteractionEnabled_) return nullptr;
    if (!pointInside(point)) return nullptr;
    auto subs = subviews_;
    for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
        if (auto hit = (*it)->hitTest((*it)->pointFromSuperview(point))) return hit;
    }
    return weak_from_this().lock();
}

bool View::isVisibleOnScreen() const {
    const View* v = this;
    while (true) {
        if (v->alpha_ < 0.01) return false;
        if (!v->superview_) break;
        if (v->hidden_) return false;
        v = v->superview_;
    }
    auto* w = dynamic_cast<const Window*>(v);
    return w && !w->isHidden();
}

Responder* View::nextResponder() const {
    if (auto vc = viewController_.lock()) return vc.get();
    return superview_;
}

bool View::endEditing(bool force) {
    (void)force;
    auto* fr = currentFirstResponder();
    if (auto* fv = dynamic_cast<View*>(fr); fv && fv->isDescendantOfView(this)) return fv->resignFirstResponder();
    return true;
}

void View::addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer) {
    foundation::assertMainThread("a view's gesture recognizers");
    if (!recognizer) return;
    if (recognizer->view_ && recognizer->view_ != this) {
        auto holder = recognizer->view_;
        auto keep = recognizer;
        holder->removeGestureRecognizer(recognizer);
    }
    if (std::find(recognizers_.begin(), recognizers_.end(), recognizer) != recognizers_.end()) return;
    recognizers_.push_back(recognizer);
    recognizer->view_ = this;
}

void View::removeGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer) {
    foundation::assertMainThread("a view's gesture recognizers");
    auto it = std::find(recognizers_.begin(), recognizers_.end(), recognizer);
    if (it == recognizers_.end()) return;
    (*it)->view_ = nullptr;
    recognizers_.erase(it);
}

void View::setNeedsDisplay() {
    // Every change of what a view shows (colours, texts, images, transform) comes through here.
    foundation::assertMainThread("a view's content");
    ++displayCount_;
}

void View::setNeedsLayout() {
    foundation::assertMainThread("a view's layout");
    needsLayout_ = true;
    const View* v = this;
    while (v->superview_) v = v->superview_;
    if (auto* w = dynamic_cast<const Window*>(v)) const_cast<Window*>(w)->scheduleLayout();
}

void View::layoutIfNeeded() {
    auto keep = weak_from_this().lock();
    if (needsLayout_) {
        needsLayout_ = false;
        auto vc = viewController_.lock();
        if (vc) vc->viewLayoutWillRun();
        layoutSubviews();
        if (vc) vc->viewLayoutDidRun();
    }
    auto subs = subviews_;
    for (auto& s : subs) s->layoutIfNeeded();
}

void View::layoutSubviews() {
    if (formatRules_.empty()) return;
    for (auto& rule : formatRules_) {
        layout::Views views;
        bool complete = true;
        for (auto& [name, weak] : rule.views) {
            auto v = weak.lock();
            if (!v) {
                complete = false;
                break;
            }
            views[name] = v;
        }
        if (complete) layout::applyVisualFormat(*this, rule.format, views);
    }
}

void View::addFormatRule(FormatRule rule) {
    formatRules_.push_back(std::move(rule));
}

Size View::sizeThatFits(Size size) const {
    (void)size;
    return bounds_.size;
}

void View::sizeToFit() {
    Size s = sizeThatFits(bounds_.size);
    Rect f = frame();
    setFrame({f.x(), f.y(), s.width, s.height});
}

void View::draw(GraphicsContext& context, Rect rect) {
    (void)context;
    (void)rect;
}

ImagePtr View::renderImage(double scale) {
    return render(*this, scale);
}

void View::animate(double duration, double delay, unsigned options, const std::function<void()>& animations,
                   std::function<void(bool)> completion) {
    (void)options;
    if (animations) animations();
    if (!completion) return;
    double after = std::max(0.0, duration) + std::max(0.0, delay);
    foundation::RunLoop::main().performAfter(after, [completion = std::move(completion)] { completion(true); });
}

void View::animate(double duration, const std::function<void()>& animations, std::function<void(bool)> completion) {
    animate(duration, 0, AnimationOptionNone, animations, std::move(completion));
}

}  // namespace ui
