#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/Touch.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

namespace ui {

using WindowLevel = double;
constexpr WindowLevel WindowLevelNormal = 0;
constexpr WindowLevel WindowLevelStatusBar = 1000;
constexpr WindowLevel WindowLevelAlert = 2000;

// The root of a view hierarchy on the screen. The root screen's view fills the window as its
// first subview; views added later (HUDs, alerts, presented screens) lie above it.
//
// Touches: sendTouch delivers one finger at a window point: Began hit-tests the window and
// sends the touch to the gesture recognizers of the hit view and its ancestors, then to the
// hit view (which passes it up the responder chain unless it handles it); Moved and Ended
// go to the same view and recognizers. tap() is Began then Ended at one point.
class Window : public View {
public:
    Window();
    explicit Window(Rect frame);
    ~Window() override;
    std::string className() const override { return "Window"; }

    std::shared_ptr<ViewController> rootViewController() const { return root_; }
    // Replaces the root screen: the old one (with what it presents) disappears and its views
    // leave the window; the new one appears when the window is visible. Both without animation.
    void setRootViewController(std::shared_ptr<ViewController> vc);
    void makeKeyAndVisible();
    void makeKeyWindow();
    bool isKeyWindow() const;
    WindowLevel windowLevel() const { return level_; }
    void setWindowLevel(WindowLevel level) { level_ = level; }
    // Shown (not hidden) windows are visible; root screens appear only in visible windows.
    void setHidden(bool hidden) override;

    // The screen on top: the root, the top of a navigation stack, or the top presented screen.
    std::shared_ptr<ViewController> topViewController() const;

    // Touch delivery (single finger). Returns the view the touch sequence goes to (null: none).
    std::shared_ptr<View> sendTouch(TouchPhase phase, Point windowPoint);
    // A tap at a window point: Began, then Ended. Returns the hit view (null: nothing there).
    std::shared_ptr<View> tap(Point windowPoint);
    // A drag from one point to another in `steps` moves, then Ended.
    std::shared_ptr<View> drag(Point from, Point to, int steps = 5);

    // Lays out every view that needs it (also done on the run loop after setNeedsLayout).
    void layoutIfNeededAll();
    void scheduleLayout();

    void layoutSubviews() override;

    // Someone watching what comes onto the screen (the simulator): told of every view added
    // directly to a window (a screen's view, an alert, an action sheet, a HUD), after it was
    // added. One observer at a time; an empty one ends the watch.
    using ArrivalObserver = std::function<void(Window& window, const std::shared_ptr<View>& view)>;
    static void setArrivalObserver(ArrivalObserver observer);
    void didAddSubview(View* subview) override;

private:
    std::shared_ptr<ViewController> root_;
    WindowLevel level_ = WindowLevelNormal;
    bool layoutScheduled_ = false;
    // The touch sequence in progress.
    TouchPtr touch_;
    std::shared_ptr<View> touchView_;
    std::vector<std::shared_ptr<class GestureRecognizer>> touchRecognizers_;
    bool touchCancelledForView_ = false;
};

}  // namespace ui
