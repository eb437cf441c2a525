#pragma once
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "app/LocationRefresh.h"
#include "platform/ui/Application.h"

namespace foundation {
class Timer;
}
namespace location {
class LocationManager;
}
namespace ui {
class Window;
class ViewController;
}  // namespace ui

// The application's delegate: launch, background and foreground, push routing, and the
// periodic retry of failed photo uploads and the location refresh.
//
// The root screens come from the home road; pushes go through the push router.
class AppDelegate : public ui::ApplicationDelegate,
                    public LocationRefresh,
                    public std::enable_shared_from_this<AppDelegate> {
public:
    // The version of this build; the first-launch guide shows while the "version" user
    // default differs from it (the launch then stores it).
    static constexpr const char* kBundleVersion = "1.0";
    static constexpr const char* kVersionDefaultsKey = "version";
    static constexpr double kFailedImageFirstDelay = 10;
    static constexpr double kFailedImageInterval = 120;
    static constexpr double kLocationInterval = 300;
    static constexpr double kLocationTimeout = 120;

    AppDelegate();
    ~AppDelegate() override;

    // Launch: badge cleared, the two timers, light status bar, the window (grey 248/255) with
    // the chosen root screen, push registration, one location fix, the window shown.
    bool didFinishLaunching(const nlohmann::json& launchOptions) override;
    // Stops the location timer and the polling timer of a waiting screen on top.
    void didEnterBackground() override;
    // Refreshes the location (and restarts its timer), registers for push again when no device
    // token is known, then posts "STARTTIMER".
    void willEnterForeground() override;
    void didRegisterForRemoteNotificationsWithDeviceToken(const std::string& deviceToken) override;
    void didFailToRegisterForRemoteNotificationsWithError(const std::string& error) override;
    // Routes a push by "aps"/"key"; payloads that do not have the expected shape are ignored.
    void didReceiveRemoteNotification(const nlohmann::json& userInfo) override;

    // One retry round of the failed uploads (FailedImageRetry).
    void requestFailedImage();
    // Asks for one location fix; its coordinates and reverse-geocoded province and place go
    // into the user state.
    void refreshLocation() override;

    // The root screen for a launch: the first-launch guide, the home page or the login screen.
    static std::shared_ptr<ui::ViewController> chooseRootViewController();

    std::shared_ptr<ui::Window> window() const override { return window_; }
    std::shared_ptr<foundation::Timer> failedImageTimer() const;
    std::shared_ptr<foundation::Timer> locationTimer() const { return locationTimer_; }

private:
    void startLocationTimer();
    // The last screen of the window's root navigation controller (or the root itself).
    std::shared_ptr<ui::ViewController> lastScreen() const;

    std::shared_ptr<ui::Window> window_;
    std::shared_ptr<foundation::Timer> locationTimer_;
    std::shared_ptr<location::LocationManager> locationManager_;
};
