#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Responder.h"
#include "platform/ui/View.h"

namespace ui {

class NavigationController;

using InterfaceOrientationMask = unsigned;
namespace InterfaceOrientations {
constexpr InterfaceOrientationMask Portrait = 1 << 1;             // 2
constexpr InterfaceOrientationMask PortraitUpsideDown = 1 << 2;   // 4
constexpr InterfaceOrientationMask LandscapeLeft = 1 << 4;        // 16
constexpr InterfaceOrientationMask LandscapeRight = 1 << 3;       // 8
constexpr InterfaceOrientationMask Landscape = LandscapeLeft | LandscapeRight;  // 24
constexpr InterfaceOrientationMask All = Portrait | PortraitUpsideDown | Landscape;
constexpr InterfaceOrientationMask AllButUpsideDown = Portrait | Landscape;
}  // namespace InterfaceOrientations

enum class InterfaceOrientation { Unknown = 0, Portrait = 1, PortraitUpsideDown = 2, LandscapeRight = 3, LandscapeLeft = 4 };
enum class StatusBarStyle { Default, LightContent };
enum class StatusBarAnimation { None, Fade, Slide };

// Seconds an animated push, pop, present or dismiss takes on the run loop's clock.
constexpr double TransitionDuration = 0.35;

// A screen. Its view is made on first access: loadView (the default makes a plain view of
// the screen's size), then viewDidLoad.
//
// Appearance calls, made by the containers (window, navigation controller, presentation):
// for a transition from screen A to screen B,
//   A.viewWillDisappear, B.viewWillAppear        -- at once, when the transition starts
//   A.viewDidDisappear,  B.viewDidAppear         -- at once when not animated, else after
//                                                   TransitionDuration on the run loop clock
// (B's view is loaded before, so B.viewDidLoad comes first.) Containers pass the calls on to
// the screens they show (a navigation controller to its top screen). A screen gets
// will/did-appear only while it is in a visible window; it never gets two appearances in a row.
class ViewController : public Responder, public std::enable_shared_from_this<ViewController> {
public:
    ViewController();
    ~ViewController() override;
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    template <class T>
    std::shared_ptr<T> sharedAs() {
        return std::dynamic_pointer_cast<T>(weak_from_this().lock());
    }
    // The class name used in descriptions (the testing driver names the top screen with it).
    virtual std::string className() const { return "ViewController"; }

    // The root view, loaded on first access.
    std::shared_ptr<View> view();
    void setView(std::shared_ptr<View> view);
    bool isViewLoaded() const { return view_ != nullptr; }
    std::shared_ptr<View> viewIfLoaded() const { return view_; }

    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) { (void)animated; }
    virtual void viewDidAppear(bool animated) { (void)animated; }
    virtual void viewWillDisappear(bool animated) { (void)animated; }
    virtual void viewDidDisappear(bool animated) { (void)animated; }
    virtual void viewWillLayoutSubviews() {}
    virtual void viewDidLayoutSubviews() {}

    // Appearance state.
    bool isAppeared() const { return appearance_ == Appearance::Appeared; }
    bool isVisible() const { return appearance_ == Appearance::Appeared || appearance_ == Appearance::Appearing; }
    bool isMovingFromParentViewController() const { return movingFrom_; }
    bool isMovingToParentViewController() const { return movingTo_; }
    bool isBeingPresented() const { return beingPresented_; }
    bool isBeingDismissed() const { return beingDismissed_; }

    // Title: also the navigation item's title.
    const std::string& title() const { return title_; }
    virtual void setTitle(const std::string& title);
    std::shared_ptr<NavigationItem> navigationItem();
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    bool hidesBottomBarWhenPushed() const { return hidesBottomBarWhenPushed_; }
    void setHidesBottomBarWhenPushed(bool v) { hidesBottomBarWhenPushed_ = v; }

    // Containment.
    std::shared_ptr<ViewController> parentViewController() const;
    const std::vector<std::shared_ptr<ViewController>>& childViewControllers() const { return children_; }
    void addChildViewController(const std::shared_ptr<ViewController>& child);
    void removeFromParentViewController();
    virtual void willMoveToParentViewController(ViewController* parent) { (void)parent; }
    virtual void didMoveToParentViewController(ViewController* parent) { (void)parent; }
    // The nearest navigation controller above this screen (itself excluded), or null.
    std::shared_ptr<NavigationController> navigationController() const;

    // Modal presentation: the presented screen covers the window (full screen).
    // The presenter is the top-most ancestor of this screen. Presenting while that one
    // already presents a screen is refused (logged). The completion runs when the
    // transition ends (see above).
    void presentViewController(const std::shared_ptr<ViewController>& vc, bool animated,
                               std::function<void()> completion = nullptr);
    // Dismisses the screen this one presents, or, when it presents none, this screen (or
    // its top-most ancestor) from its presenter. Screens it presented in turn go with it.
    void dismissViewController(bool animated, std::function<void()> completion = nullptr);
    std::shared_ptr<ViewController> presentedViewController() const { return presented_; }
    std::shared_ptr<ViewController> presentingViewController() const;

    // Orientation and status bar preferences.
    virtual bool shouldAutorotate() const { return true; }
    virtual InterfaceOrientationMask supportedInterfaceOrientations() const { return InterfaceOrientations::AllButUpsideDown; }
    virtual InterfaceOrientation preferredInterfaceOrientationForPresentation() const { return InterfaceOrientation::Portrait; }
    virtual StatusBarStyle preferredStatusBarStyle() const { return StatusBarStyle::Default; }
    virtual bool prefersStatusBarHidden() const { return false; }
    void setNeedsStatusBarAppearanceUpdate() {}

    // Responder chain: after the root view, the view's superview.
    Responder* nextResponder() const override;

    // Internal, for containers: drive the appearance calls (passed on to shown children).
    void beginAppearanceTransition(bool appearing, bool animated);
    void endAppearanceTransition();
    // The children that appear with this screen (default: all of them).
    virtual std::vector<std::shared_ptr<ViewController>> childrenForAppearance() const { return children_; }
    // The view is laid out: viewWillLayoutSubviews / viewDidLayoutSubviews around its layout.
    void viewLayoutWillRun() { viewWillLayoutSubviews(); }
    void viewLayoutDidRun() { viewDidLayoutSubviews(); }
    // The container of this screen's content on the window for modal presentation.
    std::shared_ptr<ViewController> topAncestor();

protected:
    std::vector<std::shared_ptr<ViewController>> children_;

private:
    // The navigation controller links the screens it pushes and pops, and marks them moving.
    friend class NavigationController;

    // Containment links.
    ViewController* parent_ = nullptr;  // cleared when the parent goes
    std::weak_ptr<ViewController> presenting_;
    std::shared_ptr<ViewController> presented_;
    bool movingFrom_ = false, movingTo_ = false, beingPresented_ = false, beingDismissed_ = false;
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };
    Appearance appearance_ = Appearance::Disappeared;
    bool appearanceAnimated_ = false;
    std::shared_ptr<View> view_;
    std::string title_;
    std::shared_ptr<NavigationItem> navigationItem_;
    int tag_ = 0;
    bool hidesBottomBarWhenPushed_ = false;
    bool loadingView_ = false;
};

}  // namespace ui
