#include "platform/ui/ViewController.h"

#include <algorithm>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainThread.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace ui {

ViewController::ViewController() = default;

ViewController::~ViewController() {
    for (auto& c : children_) {
        if (c->parent_ == this) c->parent_ = nullptr;
    }
    if (view_) {
        view_->setViewController(nullptr);
    }
}

std::shared_ptr<View> ViewController::view() {
    if (!view_ && !loadingView_) {
        auto keep = weak_from_this().lock();
        loadingView_ = true;
        loadView();
        if (!view_) setView(std::make_shared<View>(Screen::mainScreen().bounds()));
        loadingView_ = false;
        viewDidLoad();
    }
    return view_;
}

void ViewController::setView(std::shared_ptr<View> view) {
    foundation::assertMainThread("a screen's view");
    if (view_ && view_ != view) view_->setViewController(nullptr);
    view_ = std::move(view);
    if (view_) view_->setViewController(weak_from_this().lock());
}

void ViewController::loadView() {
    setView(std::make_shared<View>(Screen::mainScreen().bounds()));
}

void ViewController::setTitle(const std::string& title) {
    foundation::assertMainThread("a screen's title");
    title_ = title;
    navigationItem()->setTitle(title);
}

std::shared_ptr<NavigationItem> ViewController::navigationItem() {
    if (!navigationItem_) navigationItem_ = std::make_shared<NavigationItem>();
    return navigationItem_;
}

std::shared_ptr<ViewController> ViewController::parentViewController() const {
    return parent_ ? parent_->weak_from_this().lock() : nullptr;
}

void ViewController::addChildViewController(const std::shared_ptr<ViewController>& child) {
    foundation::assertMainThread("a screen's children");
    if (!child || child.get() == this) return;
    if (child->parent_ == this) return;
    if (child->parent_) child->removeFromParentViewController();
    child->willMoveToParentViewController(this);
    children_.push_back(child);
    child->parent_ = this;
}

void ViewController::removeFromParentViewController() {
    foundation::assertMainThread("a screen's parent");
    ViewController* p = parent_;
    if (!p) return;
    auto keep = weak_from_this().lock();
    auto it = std::find_if(p->children_.begin(), p->children_.end(),
                           [this](const std::shared_ptr<ViewController>& c) { return c.get() == this; });
    if (it != p->children_.end()) p->children_.erase(it);
    parent_ = nullptr;
    didMoveToParentViewController(nullptr);
}

std::shared_ptr<NavigationController> ViewController::navigationController() const {
    for (ViewController* p = parent_; p; p = p->parent_) {
        if (auto* nav = dynamic_cast<NavigationController*>(p)) {
            return std::static_pointer_cast<NavigationController>(nav->weak_from_this().lock());
        }
    }
    return nullptr;
}

std::shared_ptr<ViewController> ViewController::topAncestor() {
    ViewController* v = this;
    while (v->parent_) v = v->parent_;
    return v->weak_from_this().lock();
}

std::shared_ptr<ViewController> ViewController::presentingViewController() const {
    const ViewController* v = this;
    while (v) {
        if (auto p = v->presenting_.lock()) return p;
        v = v->parent_;
    }
    return nullptr;
}

Responder* ViewController::nextResponder() const {
    return view_ ? view_->superviewPointer() : nullptr;
}

void ViewController::beginAppearanceTransition(bool appearing, bool animated) {
    foundation::assertMainThread("a screen's appearance");
    auto keep = weak_from_this().lock();
    if (appearing) {
        if (appearance_ == Appearance::Appeared || appearance_ == Appearance::Appearing) return;
        appearance_ = Appearance::Appearing;
        appearanceAnimated_ = animated;
        view();
        viewWillAppear(animated);
    } else {
        if (appearance_ == Appearance::Disappeared || appearance_ == Appearance::Disappearing) return;
        appearance_ = Appearance::Disappearing;
        appearanceAnimated_ = animated;
        viewWillDisappear(animated);
    }
    for (auto& c : childrenForAppearance()) c->beginAppearanceTransition(appearing, animated);
}

void ViewController::endAppearanceTransition() {
    foundation::assertMainThread("a screen's appearance");
    auto keep = weak_from_this().lock();
    if (appearance_ == Appearance::Appearing) {
        appearance_ = Appearance::Appeared;
        viewDidAppear(appearanceAnimated_);
    } else if (appearance_ == Appearance::Disappearing) {
        appearance_ = Appearance::Disappeared;
        viewDidDisappear(appearanceAnimated_);
    } else {
        return;
    }
    for (auto& c : childrenForAppearance()) c->endAppearanceTransition();
}

void ViewController::presentViewController(const std::shared_ptr<ViewController>& vc, bool animated,
                                           std::function<void()> completion) {
    foundation::assertMainThread("a screen's presentation");
    if (!vc) return;
    auto presenter = topAncestor();
    if (!presenter) return;
    if (presenter->presented_) {
        foundation::log("present: " + presenter->className() + " is already presenting " +
                        presenter->presented_->className());
        return;
    }
    if (vc->presenting_.lock() || vc->parent_) {
        foundation::log("present: " + vc->className() + " is already shown");
        return;
    }
    presenter->presented_ = vc;
    vc->presenting_ = presenter;
    vc->beingPresented_ = true;
    auto presenterView = presenter->viewIfLoaded();
    auto window = presenterView ? presenterView->window() : nullptr;
    auto v = vc->view();
    v->setFrame(window ? window->bounds() : Screen::mainScreen().bounds());
    v->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    if (window) window->addSubview(v);
    bool visible = presenter->isVisible() && window && !window->isHidden();
    if (visible) {
        presenter->beginAppearanceTransition(false, animated);
        vc->beginAppearanceTransition(true, animated);
    }
    auto finish = [presenter, vc, visible, window, completion = std::move(completion)] {
        // A dismissal begun while the presentation was moving in owns the window and the
        // appearance calls from then on: the presenter's view stays where it put it.
        bool dismissing = vc->beingDismissed_ || presenter->presented_ != vc;
        if (visible && !dismissing) {
            presenter->endAppearanceTransition();
            vc->endAppearanceTransition();
        }
        // A full-screen presentation takes the presenter's view off the window.
        if (window && !dismissing) {
            if (auto pv = presenter->viewIfLoaded(); pv && pv->superviewPointer() == window.get())
                pv->removeFromSuperview();
        }
        vc->beingPresented_ = false;
        if (completion) completion();
    };
    if (animated) foundation::RunLoop::main().performAfter(TransitionDuration, finish);
    else finish();
}

void ViewController::dismissViewController(bool animated, std::function<void()> completion) {
    foundation::assertMainThread("a screen's presentation");
    auto keep = weak_from_this().lock();
    std::shared_ptr<ViewController> presenter;
    if (presented_) {
        presenter = keep;
    } else if (auto p = presentingViewController()) {
        presenter = p;
    }
    if (!presenter || !presenter->presented_) {
        if (completion) completion();
        return;
    }
    auto presented = presenter->presented_;
    std::vector<std::shared_ptr<ViewController>> chain;
    for (auto v = presented; v; v = v->presented_) chain.push_back(v);
    auto top = chain.back();
    auto topView = top->viewIfLoaded();
    auto window = presented->viewIfLoaded() ? presented->viewIfLoaded()->window() : nullptr;
    bool visible = window && !window->isHidden() && top->isVisible();
    for (auto& c : chain) c->beingDismissed_ = true;
    // The presenter's view goes back below the presented one.
    if (window) {
        auto pv = presenter->view();
        if (pv->superviewPointer() != window.get()) {
            pv->setFrame(window->bounds());
            window->insertSubviewBelow(pv, presented->view());
        }
    }
    if (visible) {
        top->beginAppearanceTransition(false, animated);
        presenter->beginAppearanceTransition(true, animated);
    }
    auto finish = [presenter, chain, visible, completion = std::move(completion)] {
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            if (auto v = (*it)->viewIfLoaded()) v->removeFromSuperview();
        }
        if (presenter->presented_ == chain.front()) presenter->presented_.reset();
        for (auto& c : chain) {
            c->presenting_.reset();
            c->beingDismissed_ = false;
        }
        for (size_t i = 0; i + 1 < chain.size(); ++i) chain[i]->presented_.reset();
        if (visible) {
            chain.back()->endAppearanceTransition();
            presenter->endAppearanceTransition();
        }
        if (completion) completion();
        // The dismissed screens may be running the action that dismissed them.
        foundation::dispatch::mainQueue()->async([chain] {});
    };
    (void)topView;
    if (animated) foundation::RunLoop::main().performAfter(TransitionDuration, finish);
    else finish();
}

}  // namespace ui
