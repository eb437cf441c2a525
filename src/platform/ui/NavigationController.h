#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/NavigationBar.h"
#include "platform/ui/ViewController.h"

namespace ui {

// A stack of screens with a navigation bar. Only the top screen's view is in the
// controller's view; it fills the view below the bar (the whole view when the bar is hidden).
// Transitions follow ViewController's appearance order; animated ones end after
// TransitionDuration on the run loop clock (a new transition first completes a running one).
// viewControllers() changes at once; a removed screen keeps navigationController() until its
// viewDidDisappear has run.
class NavigationController : public ViewController {
public:
    NavigationController();
    explicit NavigationController(std::shared_ptr<ViewController> root);
    ~NavigationController() override;
    static std::shared_ptr<NavigationController> create(std::shared_ptr<ViewController> root);
    std::string className() const override { return "NavigationController"; }

    void pushViewController(const std::shared_ptr<ViewController>& vc, bool animated);
    // Returns the popped screen, or null at the root.
    std::shared_ptr<ViewController> popViewController(bool animated);
    std::vector<std::shared_ptr<ViewController>> popToRootViewController(bool animated);
    std::vector<std::shared_ptr<ViewController>> popToViewController(const std::shared_ptr<ViewController>& vc, bool animated);
    void setViewControllers(std::vector<std::shared_ptr<ViewController>> vcs, bool animated = false);
    std::vector<std::shared_ptr<ViewController>> viewControllers() const { return stack_; }
    std::shared_ptr<ViewController> topViewController() const;
    // The top screen, or what it presents (the top of a chain of presented screens).
    std::shared_ptr<ViewController> visibleViewController() const;

    std::shared_ptr<NavigationBar> navigationBar();
    bool isNavigationBarHidden() const { return barHidden_; }
    void setNavigationBarHidden(bool hidden, bool animated = false);
    // A finished transition is pending (animated push or pop running).
    bool isTransitioning() const { return pending_ != nullptr; }
    // Ends a running animated transition now.
    void finishTransition();

    void loadView() override;
    std::vector<std::shared_ptr<ViewController>> childrenForAppearance() const override;
    bool shouldAutorotate() const override;
    InterfaceOrientationMask supportedInterfaceOrientations() const override;
    StatusBarStyle preferredStatusBarStyle() const override;

    // Internal: the frame of a screen's view inside the controller's view (below the bar
    // unless the bar is hidden or translucent); layoutContent places the bar and the top view.
    Rect contentFrame() const;
    void layoutContent();
    void updateBar();

private:
    struct Pending;
    void transition(std::vector<std::shared_ptr<ViewController>> newStack, bool animated);
    void adoptPendingChildren();
    std::vector<std::shared_ptr<ViewController>> stack_;
    std::shared_ptr<NavigationBar> bar_;
    bool barHidden_ = false;
    std::shared_ptr<Pending> pending_;
    unsigned long long transitionSeq_ = 0;
};

}  // namespace ui
