#include "platform/ui/Window.h"

#include <algorithm>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/MainThread.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/Application.h"
#include "platform/ui/Control.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

namespace ui {

Window::Window() : Window(Screen::mainScreen().bounds()) {}

Window::Window(Rect frame) : View(frame) {
    View::setHidden(true);
}

Window::~Window() = default;

namespace {
Window::ArrivalObserver& arrivalObserver() {
    static Window::ArrivalObserver observer;
    return observer;
}
}  // namespace

void Window::setArrivalObserver(ArrivalObserver observer) { arrivalObserver() = std::move(observer); }

void Window::didAddSubview(View* subview) {
    View::didAddSubview(subview);
    auto observer = arrivalObserver();  // the observer may replace itself
    if (!observer || !subview) return;
    if (auto view = subview->weak_from_this().lock()) observer(*this, std::static_pointer_cast<View>(view));
}

namespace {
// The screens shown by a root: the root and the chain of screens it presents.
std::vector<std::shared_ptr<ViewController>> presentationChain(const std::shared_ptr<ViewController>& root) {
    std::vector<std::shared_ptr<ViewController>> chain;
    for (auto vc = root; vc; vc = vc->presentedViewController()) chain.push_back(vc);
    return chain;
}

void finishNavigation(const std::shared_ptr<ViewController>& vc) {
    if (auto nav = std::dynamic_pointer_cast<NavigationController>(vc)) nav->finishTransition();
}
}  // namespace

void Window::setRootViewController(std::shared_ptr<ViewController> vc) {
    foundation::assertMainThread("a window's root screen");
    if (vc == root_) return;
    auto self = std::static_pointer_cast<Window>(weak_from_this().lock());
    if (self) Application::shared().registerWindow(self);
    bool visible = !isHidden();
    auto oldChain = presentationChain(root_);
    for (auto& old : oldChain) finishNavigation(old);
    for (auto& old : oldChain) {
        if (visible) old->beginAppearanceTransition(false, false);
    }
    if (vc) {
        auto v = vc->view();
        v->setFrame(bounds());
        v->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
        insertSubview(v, 0);
        if (visible) vc->beginAppearanceTransition(true, false);
    }
    for (auto& old : oldChain) {
        if (auto v = old->viewIfLoaded(); v && v->superviewPointer() == this) v->removeFromSuperview();
    }
    auto dropped = root_;
    root_ = vc;
    for (auto& old : oldChain) old->endAppearanceTransition();
    if (vc && visible) vc->endAppearanceTransition();
    // The dropped screens may be running the action that replaced them: release them after it.
    if (dropped) foundation::dispatch::mainQueue()->async([dropped] {});
}

void Window::makeKeyAndVisible() {
    foundation::assertMainThread("the key window");
    auto self = std::static_pointer_cast<Window>(weak_from_this().lock());
    if (self) {
        Application::shared().registerWindow(self);
        Application::shared().setKeyWindow(self);
    }
    setHidden(false);
}

void Window::makeKeyWindow() {
    foundation::assertMainThread("the key window");
    auto self = std::static_pointer_cast<Window>(weak_from_this().lock());
    if (self) {
        Application::shared().registerWindow(self);
        Application::shared().setKeyWindow(self);
    }
}

bool Window::isKeyWindow() const {
    return Application::shared().keyWindow().get() == this;
}

void Window::setHidden(bool hidden) {
    if (hidden == isHidden()) return;
    View::setHidden(hidden);
    if (!hidden) {
        auto self = std::static_pointer_cast<Window>(weak_from_this().lock());
        if (self) Application::shared().registerWindow(self);
    }
    auto chain = presentationChain(root_);
    if (chain.empty()) return;
    auto top = chain.back();
    top->beginAppearanceTransition(!hidden, false);
    top->endAppearanceTransition();
    if (!hidden) setNeedsLayout();
}

std::shared_ptr<ViewController> Window::topViewController() const {
    auto vc = root_;
    while (vc) {
        if (auto p = vc->presentedViewController()) {
            vc = p;
            continue;
        }
        if (auto nav = std::dynamic_pointer_cast<NavigationController>(vc)) {
            if (auto top = nav->topViewController(); top && top != vc) {
                vc = top;
                continue;
            }
        }
        break;
    }
    return vc;
}

void Window::layoutSubviews() {
    View::layoutSubviews();
}

void Window::scheduleLayout() {
    if (layoutScheduled_) return;
    if (weak_from_this().expired()) return;
    layoutScheduled_ = true;
    foundation::dispatch::mainQueue()->async(foundation::weakBind(this, [](const auto& w) {
        w->layoutScheduled_ = false;
        w->layoutIfNeeded();
    }));
}

void Window::layoutIfNeededAll() {
    layoutIfNeeded();
}

std::shared_ptr<View> Window::sendTouch(TouchPhase phase, Point windowPoint) {
    auto self = weak_from_this().lock();
    double now = foundation::RunLoop::main().now();
    if (phase == TouchPhase::Began) {
        if (touch_) sendTouch(TouchPhase::Cancelled, touch_->windowPoint_);
        layoutIfNeeded();
        auto hit = hitTest(windowPoint);
        if (!hit) return nullptr;
        touch_ = std::make_shared<Touch>();
        touch_->phase_ = TouchPhase::Began;
        touch_->view_ = hit;
        touch_->window_ = std::static_pointer_cast<Window>(self);
        touch_->windowPoint_ = touch_->previousWindowPoint_ = windowPoint;
        touch_->timestamp_ = now;
        touchView_ = hit;
        touchCancelledForView_ = false;
        touchRecognizers_.clear();
        // The innermost control on the path takes taps from the tap recognizers above it.
        const View* control = nullptr;
        for (const View* v = hit.get(); v; v = v->superviewPointer()) {
            if (dynamic_cast<const Control*>(v)) {
                control = v;
                break;
            }
        }
        bool aboveControl = false;
        for (View* v = hit.get(); v; v = v->superviewPointer()) {
            for (auto& r : v->gestureRecognizers()) {
                if (!r->isEnabled()) continue;
                if (aboveControl && r->isTap()) continue;
                r->reset();
                touchRecognizers_.push_back(r);
            }
            if (v == control) aboveControl = true;
        }
        Touches ts{touch_};
        for (auto& r : touchRecognizers_) r->touchesBegan(ts);
        hit->touchesBegan(ts);
        return hit;
    }
    if (!touch_) return nullptr;
    auto touch = touch_;
    auto view = touchView_;
    auto recognizers = touchRecognizers_;
    touch->previousWindowPoint_ = touch->windowPoint_;
    touch->windowPoint_ = windowPoint;
    touch->phase_ = phase;
    touch->timestamp_ = now;
    Touches ts{touch};
    auto recognizedAndCancels = [&] {
        for (auto& r : recognizers) {
            auto s = r->state();
            if ((s == GestureRecognizerState::Began || s == GestureRecognizerState::Changed ||
                 s == GestureRecognizerState::Ended) && r->cancelsTouchesInView()) {
                return true;
            }
        }
        return false;
    };
    switch (phase) {
    case TouchPhase::Moved:
    case TouchPhase::Stationary:
        for (auto& r : recognizers) r->touchesMoved(ts);
        if (!touchCancelledForView_ && recognizedAndCancels()) {
            touchCancelledForView_ = true;
            touch->phase_ = TouchPhase::Cancelled;
            view->touchesCancelled(ts);
        } else if (!touchCancelledForView_) {
            view->touchesMoved(ts);
        }
        return view;
    case TouchPhase::Ended:
        for (auto& r : recognizers) r->touchesEnded(ts);
        if (!touchCancelledForView_) {
            if (recognizedAndCancels()) {
                touch->phase_ = TouchPhase::Cancelled;
                view->touchesCancelled(ts);
            } else {
                view->touchesEnded(ts);
            }
        }
        break;
    case TouchPhase::Cancelled:
    case TouchPhase::Began:
        for (auto& r : recognizers) r->touchesCancelled(ts);
        if (!touchCancelledForView_) view->touchesCancelled(ts);
        break;
    }
    for (auto& r : recognizers) r->reset();
    if (touch_ == touch) {
        touch_.reset();
        touchView_.reset();
        touchRecognizers_.clear();
    }
    return view;
}

std::shared_ptr<View> Window::tap(Point windowPoint) {
    auto hit = sendTouch(TouchPhase::Began, windowPoint);
    if (!hit) return nullptr;
    sendTouch(TouchPhase::Ended, windowPoint);
    return hit;
}

std::shared_ptr<View> Window::drag(Point from, Point to, int steps) {
    auto hit = sendTouch(TouchPhase::Began, from);
    if (!hit) return nullptr;
    steps = std::max(1, steps);
    for (int i = 1; i <= steps; ++i) {
        double t = double(i) / steps;
        sendTouch(TouchPhase::Moved, {from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t});
    }
    sendTouch(TouchPhase::Ended, to);
    return hit;
}

}  // namespace ui
