#include "platform/ui/NavigationController.h"

#include <algorithm>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/MainThread.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"

namespace ui {

namespace {
// The controller's root view: places the bar and the top screen's view when laid out.
class NavigationContainerView : public View {
public:
    NavigationContainerView(Rect frame, NavigationController* owner) : View(frame), owner_(owner) {}
    void layoutSubviews() override {
        View::layoutSubviews();
        if (auto vc = viewController(); vc && vc.get() == owner_) owner_->layoutContent();
    }

private:
    NavigationController* owner_;
};
}  // namespace

struct NavigationController::Pending {
    std::function<void()> finish;
    unsigned long long seq = 0;
};

NavigationController::NavigationController() = default;

NavigationController::NavigationController(std::shared_ptr<ViewController> root) {
    if (root) {
        addChildViewController(root);
        stack_.push_back(root);
        root->didMoveToParentViewController(this);
    }
}

NavigationController::~NavigationController() = default;

std::shared_ptr<NavigationController> NavigationController::create(std::shared_ptr<ViewController> root) {
    return std::make_shared<NavigationController>(std::move(root));
}

std::shared_ptr<ViewController> NavigationController::topViewController() const {
    return stack_.empty() ? nullptr : stack_.back();
}

std::shared_ptr<ViewController> NavigationController::visibleViewController() const {
    if (auto p = presentedViewController()) {
        while (p->presentedViewController()) p = p->presentedViewController();
        return p;
    }
    return topViewController();
}

std::shared_ptr<NavigationBar> NavigationController::navigationBar() {
    if (!bar_) {
        bar_ = std::make_shared<NavigationBar>();
        Rect b = Screen::mainScreen().bounds();
        bar_->setFrame({0, Screen::mainScreen().statusBarHeight(), b.width(), 44});
        bar_->setAutoresizingMask(AutoresizingFlexibleWidth);
        bar_->setHidden(barHidden_);
    }
    return bar_;
}

Rect NavigationController::contentFrame() const {
    Rect b = viewIfLoaded() ? viewIfLoaded()->bounds() : Screen::mainScreen().bounds();
    if (barHidden_ || !bar_ || bar_->isHidden() || bar_->isTranslucent()) return b;
    double top = bar_->frame().maxY();
    return {b.x(), b.y() + top, b.width(), std::max(0.0, b.height() - top)};
}

void NavigationController::layoutContent() {
    auto v = viewIfLoaded();
    if (!v || !bar_) return;
    double top = Application::shared().isStatusBarHidden() ? 0 : Screen::mainScreen().statusBarHeight();
    bar_->setFrame({0, top, v->bounds().width(), 44});
    if (auto vc = topViewController(); vc && vc->isViewLoaded() && vc->view()->superviewPointer() == v.get()) {
        vc->view()->setFrame(contentFrame());
    }
}

void NavigationController::loadView() {
    auto v = std::make_shared<NavigationContainerView>(Screen::mainScreen().bounds(), this);
    setView(v);
    auto bar = navigationBar();
    bar->setFrame({0, Screen::mainScreen().statusBarHeight(), v->bounds().width(), 44});
    v->addSubview(bar);
    if (auto top = topViewController()) {
        auto tv = top->view();
        tv->setFrame(contentFrame());
        tv->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
        v->insertSubviewBelow(tv, bar);
    }
    updateBar();
}

void NavigationController::updateBar() {
    if (!bar_) return;
    auto top = topViewController();
    if (!top) {
        bar_->showItems(nullptr, nullptr, "", nullptr);
        return;
    }
    std::shared_ptr<NavigationItem> previous;
    std::string previousTitle;
    if (stack_.size() > 1) {
        auto prev = stack_[stack_.size() - 2];
        previous = prev->navigationItem();
        if (auto back = previous->backBarButtonItem(); back && !back->title().empty()) previousTitle = back->title();
        else if (!previous->title().empty()) previousTitle = previous->title();
        else previousTitle = prev->title();
    }
    auto item = top->navigationItem();
    std::weak_ptr<NavigationBar> weakBar = bar_;
    item->onChange_ = [weakBar] {
        if (auto b = weakBar.lock()) b->refresh();
    };
    std::weak_ptr<ViewController> weakSelf = weak_from_this();
    bar_->showItems(item, previous, previousTitle, [weakSelf] {
        if (auto s = std::static_pointer_cast<NavigationController>(weakSelf.lock())) s->popViewController(true);
    });
}

void NavigationController::setNavigationBarHidden(bool hidden, bool animated) {
    foundation::assertMainThread("a navigation bar");
    (void)animated;
    barHidden_ = hidden;
    navigationBar()->setHidden(hidden);
    if (auto top = topViewController(); top && top->isViewLoaded() && viewIfLoaded()) {
        top->view()->setFrame(contentFrame());
    }
}

void NavigationController::finishTransition() {
    foundation::assertMainThread("a navigation stack");
    if (!pending_) return;
    auto p = pending_;
    pending_.reset();
    p->finish();
}

void NavigationController::pushViewController(const std::shared_ptr<ViewController>& vc, bool animated) {
    foundation::assertMainThread("a navigation stack (push)");
    if (!vc) return;
    if (std::find(stack_.begin(), stack_.end(), vc) != stack_.end()) return;
    auto stack = stack_;
    stack.push_back(vc);
    transition(std::move(stack), animated);
}

std::shared_ptr<ViewController> NavigationController::popViewController(bool animated) {
    foundation::assertMainThread("a navigation stack (pop)");
    if (stack_.size() < 2) return nullptr;
    auto popped = stack_.back();
    auto stack = stack_;
    stack.pop_back();
    transition(std::move(stack), animated);
    return popped;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToRootViewController(bool animated) {
    foundation::assertMainThread("a navigation stack (pop to root)");
    if (stack_.size() < 2) return {};
    std::vector<std::shared_ptr<ViewController>> popped(stack_.begin() + 1, stack_.end());
    transition({stack_.front()}, animated);
    return popped;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToViewController(
    const std::shared_ptr<ViewController>& vc, bool animated) {
    foundation::assertMainThread("a navigation stack (pop to a screen)");
    auto it = std::find(stack_.begin(), stack_.end(), vc);
    if (it == stack_.end() || it + 1 == stack_.end()) return {};
    std::vector<std::shared_ptr<ViewController>> popped(it + 1, stack_.end());
    transition(std::vector<std::shared_ptr<ViewController>>(stack_.begin(), it + 1), animated);
    return popped;
}

void NavigationController::setViewControllers(std::vector<std::shared_ptr<ViewController>> vcs, bool animated) {
    foundation::assertMainThread("a navigation stack (set)");
    std::vector<std::shared_ptr<ViewController>> unique;
    for (auto& v : vcs) {
        if (v && std::find(unique.begin(), unique.end(), v) == unique.end()) unique.push_back(v);
    }
    transition(std::move(unique), animated);
}

void NavigationController::transition(std::vector<std::shared_ptr<ViewController>> newStack, bool animated) {
    auto self = std::static_pointer_cast<NavigationController>(weak_from_this().lock());
    finishTransition();
    auto oldStack = stack_;
    auto oldTop = topViewController();
    auto newTop = newStack.empty() ? nullptr : newStack.back();
    std::vector<std::shared_ptr<ViewController>> removed, added;
    for (auto& v : oldStack) {
        if (std::find(newStack.begin(), newStack.end(), v) == newStack.end()) removed.push_back(v);
    }
    for (auto& v : newStack) {
        if (std::find(oldStack.begin(), oldStack.end(), v) == oldStack.end()) added.push_back(v);
    }
    for (auto& v : added) {
        if (v->parent_ && v->parent_ != this) v->removeFromParentViewController();
        addChildViewController(v);
        v->movingTo_ = true;
    }
    for (auto& v : removed) v->movingFrom_ = true;
    stack_ = newStack;

    bool appearing = false;
    auto view = viewIfLoaded();
    if (view && oldTop != newTop) {
        if (newTop) {
            auto nv = newTop->view();
            nv->setFrame(contentFrame());
            nv->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
        }
        appearing = isVisible();
        if (appearing) {
            if (oldTop) oldTop->beginAppearanceTransition(false, animated);
            if (newTop) newTop->beginAppearanceTransition(true, animated);
        }
        if (newTop) view->insertSubviewBelow(newTop->view(), navigationBar());
        if (oldTop) {
            if (auto ov = oldTop->viewIfLoaded(); ov && ov->superviewPointer() == view.get()) ov->removeFromSuperview();
        }
    }
    updateBar();

    std::weak_ptr<ViewController> weakNav = self;
    auto finish = [this, weakNav, oldTop, newTop, removed, added, appearing] {
        auto keep = weakNav.lock();
        if (appearing) {
            if (oldTop) oldTop->endAppearanceTransition();
            if (newTop) newTop->endAppearanceTransition();
        }
        for (auto& v : removed) {
            if (keep && v->parent_ == this) v->removeFromParentViewController();
            v->movingFrom_ = false;
        }
        for (auto& v : added) {
            v->movingTo_ = false;
            if (keep) v->didMoveToParentViewController(this);
        }
        // Removed screens may be running the action that removed them: release them after it.
        if (!removed.empty()) foundation::dispatch::mainQueue()->async([removed] {});
    };
    if (animated && appearing) {
        auto pending = std::make_shared<Pending>();
        pending->finish = finish;
        pending->seq = ++transitionSeq_;
        pending_ = pending;
        std::weak_ptr<ViewController> weakSelf = self;
        unsigned long long seq = pending->seq;
        foundation::RunLoop::main().performAfter(TransitionDuration, [weakSelf, seq] {
            auto s = std::static_pointer_cast<NavigationController>(weakSelf.lock());
            if (s && s->pending_ && s->pending_->seq == seq) s->finishTransition();
        });
    } else {
        finish();
    }
}

std::vector<std::shared_ptr<ViewController>> NavigationController::childrenForAppearance() const {
    if (auto top = topViewController()) return {top};
    return {};
}

bool NavigationController::shouldAutorotate() const {
    auto top = topViewController();
    return top ? top->shouldAutorotate() : true;
}

InterfaceOrientationMask NavigationController::supportedInterfaceOrientations() const {
    auto top = topViewController();
    return top ? top->supportedInterfaceOrientations() : InterfaceOrientations::AllButUpsideDown;
}

StatusBarStyle NavigationController::preferredStatusBarStyle() const {
    auto top = topViewController();
    return top ? top->preferredStatusBarStyle() : StatusBarStyle::Default;
}

}  // namespace ui
