#include "platform/ui/ScrollView.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/Application.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/Window.h"

namespace ui {

void ScrollView::init() {
    setClipsToBounds(true);
}

void ScrollView::setContentSize(Size size) {
    contentSize_ = size;
}

void ScrollView::setContentOffset(Point offset) {
    Rect b = bounds();
    if (b.origin == offset) return;
    b.origin = offset;
    View::setBounds(b);
    contentOffsetChanged();
    notifyDidScroll();
}

void ScrollView::setContentOffset(Point offset, bool animated) {
    setContentOffset(offset);
    if (!animated) return;
    foundation::RunLoop::main().performAfter(0.3, foundation::weakBind(this, [](const auto& s) {
                                                 if (auto d = s->delegate()) d->scrollViewDidEndScrollingAnimation(*s);
                                             }));
}

void ScrollView::notifyDidScroll() {
    auto keep = weak_from_this().lock();
    if (auto d = delegate()) d->scrollViewDidScroll(*this);
}

Point ScrollView::minimumContentOffset() const {
    return {-contentInset_.left, -contentInset_.top};
}

Point ScrollView::maximumContentOffset() const {
    Point mn = minimumContentOffset();
    Size b = bounds().size;
    return {std::max(mn.x, contentSize_.width + contentInset_.right - b.width),
            std::max(mn.y, contentSize_.height + contentInset_.bottom - b.height)};
}

Point ScrollView::clampOffset(Point p) const {
    Point mn = minimumContentOffset(), mx = maximumContentOffset();
    return {std::clamp(p.x, mn.x, mx.x), std::clamp(p.y, mn.y, mx.y)};
}

Point ScrollView::pageOffset(Point p) const {
    Size b = bounds().size;
    Point out = p;
    if (b.width > 0) out.x = std::round(p.x / b.width) * b.width;
    if (b.height > 0 && contentSize_.height > b.height) out.y = std::round(p.y / b.height) * b.height;
    return clampOffset(out);
}

int ScrollView::currentPage() const {
    double w = bounds().width();
    return w > 0 ? static_cast<int>(std::lround(contentOffset().x / w)) : 0;
}

void ScrollView::scrollRectToVisible(Rect rect, bool animated) {
    Rect b = bounds();
    Point off = b.origin;
    if (rect.maxX() > b.maxX()) off.x = rect.maxX() - b.width();
    if (rect.minX() < off.x) off.x = rect.minX();
    if (rect.maxY() > b.maxY()) off.y = rect.maxY() - b.height();
    if (rect.minY() < off.y) off.y = rect.minY();
    setContentOffset(clampOffset(off), animated);
}

void ScrollView::userScroll(Point offset) {
    if (!scrollEnabled_) return;
    auto keep = weak_from_this().lock();
    auto d = delegate();
    dragging_ = true;
    if (d) d->scrollViewWillBeginDragging(*this);
    Point target = clampOffset(offset);
    if (pagingEnabled_) target = pageOffset(target);
    setContentOffset(target);
    dragging_ = false;
    if ((d = delegate())) d->scrollViewDidEndDragging(*this, true);
    if ((d = delegate())) d->scrollViewWillBeginDecelerating(*this);
    if ((d = delegate())) d->scrollViewDidEndDecelerating(*this);
}

void ScrollView::dragBy(Point delta, bool ended) {
    auto keep = weak_from_this().lock();
    if (!scrollEnabled_) return;
    if (!dragging_ && !ended) {
        dragging_ = true;
        dragStartOffset_ = contentOffset();
        if (auto d = delegate()) d->scrollViewWillBeginDragging(*this);
    }
    if (!dragging_) return;
    if (!ended) {
        Point o = contentOffset();
        Point mx = maximumContentOffset(), mn = minimumContentOffset();
        if (mx.x > mn.x) o.x += delta.x;
        if (mx.y > mn.y || alwaysBounceVertical_) o.y += delta.y;
        setContentOffset(clampOffset(o));
        return;
    }
    dragging_ = false;
    if (auto d = delegate()) d->scrollViewDidEndDragging(*this, pagingEnabled_);
    if (pagingEnabled_) {
        if (auto d = delegate()) d->scrollViewWillBeginDecelerating(*this);
        setContentOffset(pageOffset(contentOffset()));
        if (auto d = delegate()) d->scrollViewDidEndDecelerating(*this);
    }
}

void ScrollView::touchesBegan(const Touches& touches) {
    dragging_ = false;
    if (!touches.empty()) startPoint_ = touches.front()->windowPoint_;
}

void ScrollView::touchesMoved(const Touches& touches) {
    if (touches.empty()) return;
    auto& t = touches.front();
    Point d{t->previousWindowPoint_.x - t->windowPoint_.x, t->previousWindowPoint_.y - t->windowPoint_.y};
    if (!dragging_) {
        // Dragging starts once the finger has moved 10 points from where it went down.
        Point total{t->windowPoint_.x - startPoint_.x, t->windowPoint_.y - startPoint_.y};
        if (std::hypot(total.x, total.y) <= 10) return;
        d = {-total.x, -total.y};
    }
    dragBy(d, false);
}

void ScrollView::touchesEnded(const Touches& touches) {
    (void)touches;
    if (dragging_) dragBy({0, 0}, true);
}

void ScrollView::touchesCancelled(const Touches& touches) {
    (void)touches;
    if (dragging_) dragBy({0, 0}, true);
}

namespace {

// The scroll view that keeps room for the keyboard now.
std::weak_ptr<ScrollView>& roomForKeyboard() {
    static std::weak_ptr<ScrollView> view;
    return view;
}

// The shown view inside `root` marked to stay in sight while typing.
std::shared_ptr<View> mainButtonInside(View& root) {
    for (auto& sub : root.subviews()) {
        if (!sub || sub->isHidden()) continue;
        if (sub->staysInSightWhileTyping()) return sub;
        if (auto found = mainButtonInside(*sub)) return found;
    }
    return nullptr;
}

}  // namespace

void ScrollView::giveBackKeyboardRoom() {
    auto view = roomForKeyboard().lock();
    roomForKeyboard().reset();
    if (!view || view->keyboardInset() == 0) return;
    EdgeInsets insets = view->contentInset();
    insets.bottom -= view->keyboardInset();
    view->setContentInset(insets);
    view->keyboardInset_ = 0;
    view->setContentOffset(view->clampOffset(view->contentOffset()));
}

void ScrollView::keyboardChanged() {
    auto* input = dynamic_cast<View*>(Application::shared().firstResponder());
    if (!Keyboard::isVisible() || !input || !input->window()) {
        giveBackKeyboardRoom();
        return;
    }
    // The nearest ancestor that scrolls (the input itself may be a scroll view: a text view).
    ScrollView* scroll = nullptr;
    for (View* v = input->superviewPointer(); v; v = v->superviewPointer()) {
        if (auto* s = dynamic_cast<ScrollView*>(v); s && s->isScrollEnabled()) {
            scroll = s;
            break;
        }
    }
    auto current = roomForKeyboard().lock();
    if (!scroll || current.get() != scroll) giveBackKeyboardRoom();
    if (!scroll) return;
    auto window = scroll->window();
    Rect keyboard = Keyboard::frame();
    keyboard.origin.x -= window->frame().x();
    keyboard.origin.y -= window->frame().y();
    // How deep the keyboard covers the scroll view, in its own coordinates.
    Rect mine = scroll->convertRectToView(scroll->bounds(), nullptr);
    double covered = std::max(0.0, mine.maxY() - keyboard.y());
    covered = std::min(covered, scroll->bounds().height());
    EdgeInsets insets = scroll->contentInset();
    insets.bottom += covered - scroll->keyboardInset_;
    scroll->setContentInset(insets);
    scroll->keyboardInset_ = covered;
    roomForKeyboard() = scroll->sharedAs<ScrollView>();

    // The input in sight between the scroll view's top and the keyboard (its top first when
    // it is taller than that), and with it the screen's main button when both fit.
    const double margin = 8;
    Rect target = input->convertRectToView(input->bounds(), scroll);
    Rect shown = scroll->bounds();
    double visibleHeight = std::max(0.0, shown.height() - covered);
    scroll->layoutIfNeeded();
    if (auto main = mainButtonInside(*scroll)) {
        Rect button = main->convertRectToView(main->bounds(), scroll);
        double top = std::min(target.minY(), button.minY()), bottom = std::max(target.maxY(), button.maxY());
        Rect both{target.x(), top, target.width(), bottom - top};
        if (both.height() + 2 * margin <= visibleHeight) target = both;
    }
    Point offset = shown.origin;
    if (target.maxY() + margin > offset.y + visibleHeight) offset.y = target.maxY() + margin - visibleHeight;
    if (target.minY() < offset.y) offset.y = target.minY();
    scroll->setContentOffset(scroll->clampOffset(offset));
}

}  // namespace ui
