#pragma once
#include <memory>
#include <string>

#include "hud/ProgressHUD.h"
#include "platform/ui/ViewController.h"

// The base of the application's screens: pushing, the loading overlay, the login pop-up and
// portrait only.
class BaseViewController : public ui::ViewController, public ProgressHUDDelegate {
public:
    std::string className() const override { return "BaseViewController"; }

    // Pushes the screen, animated, on this screen's navigation controller (logged when none).
    void pushNewViewController(const std::shared_ptr<ui::ViewController>& viewController);
    // A spinner with the text over this screen's view (loaded first if needed); replaces an
    // earlier one of this screen.
    void beginLoadingWithText(const std::string& text);
    // Hides the spinner of beginLoadingWithText without animation.
    void endLoading();
    // Makes a new login screen, in a new CustomNavigationController, the key window's root.
    void popLoginViewController();

    // The spinner of beginLoadingWithText while shown.
    std::shared_ptr<ProgressHUD> loadingHUD() const;

    bool shouldAutorotate() const override { return false; }
    ui::InterfaceOrientationMask supportedInterfaceOrientations() const override {
        return ui::InterfaceOrientations::Portrait;
    }

private:
    std::shared_ptr<ProgressHUD> loading_;
};
