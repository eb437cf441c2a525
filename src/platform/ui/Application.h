#pragma once
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

namespace ui {

class Application;

// The application's delegate: launch, background and foreground, push notifications.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual bool didFinishLaunching(const nlohmann::json& launchOptions) = 0;
    virtual void willResignActive() {}
    virtual void didEnterBackground() {}
    virtual void willEnterForeground() {}
    virtual void didBecomeActive() {}
    virtual void willTerminate() {}
    virtual void didRegisterForRemoteNotificationsWithDeviceToken(const std::string& deviceToken) { (void)deviceToken; }
    virtual void didFailToRegisterForRemoteNotificationsWithError(const std::string& error) { (void)error; }
    virtual void didReceiveRemoteNotification(const nlohmann::json& userInfo) { (void)userInfo; }
    // The application's main window, when the delegate keeps one.
    virtual std::shared_ptr<Window> window() const { return nullptr; }
};

enum class ApplicationState { Active, Inactive, Background };

inline const char* const ApplicationDidEnterBackgroundNotification = "UIApplicationDidEnterBackgroundNotification";
inline const char* const ApplicationWillEnterForegroundNotification = "UIApplicationWillEnterForegroundNotification";
inline const char* const ApplicationDidBecomeActiveNotification = "UIApplicationDidBecomeActiveNotification";

// The shared application: windows, the delegate and the phone services the screens ask for.
class Application {
public:
    static Application& shared();

    // Windows in the order they were first shown or given a root (each kept alive until reset).
    std::vector<std::shared_ptr<Window>> windows() const;
    std::shared_ptr<Window> keyWindow() const;

    std::shared_ptr<ApplicationDelegate> delegate() const { return delegate_; }
    void setDelegate(std::shared_ptr<ApplicationDelegate> d) { delegate_ = std::move(d); }
    ApplicationState applicationState() const { return state_; }

    long applicationIconBadgeNumber() const { return badge_; }
    void setApplicationIconBadgeNumber(long n);
    // Every badge number set, in order (the driver and tests read it).
    const std::vector<long>& badgeHistory() const { return badgeHistory_; }

    // Records the URL and answers whether a handler exists for its scheme (see canOpenURL).
    bool openURL(const std::string& url);
    bool canOpenURL(const std::string& url) const;
    const std::vector<std::string>& openedURLs() const { return openedURLs_; }
    // Schemes that open (default: http, https, tel, telprompt, sms, mailto).
    void setOpenableSchemes(std::set<std::string> schemes) { schemes_ = std::move(schemes); }

    bool isIdleTimerDisabled() const { return idleTimerDisabled_; }
    void setIdleTimerDisabled(bool v) { idleTimerDisabled_ = v; }
    bool isStatusBarHidden() const { return statusBarHidden_; }
    void setStatusBarHidden(bool hidden, StatusBarAnimation animation = StatusBarAnimation::None) { (void)animation; statusBarHidden_ = hidden; }
    StatusBarStyle statusBarStyle() const { return statusBarStyle_; }
    void setStatusBarStyle(StatusBarStyle style, bool animated = false) { (void)animated; statusBarStyle_ = style; }
    // The orientation the interface is drawn in (portrait unless changed by the device layer).
    InterfaceOrientation statusBarOrientation() const { return orientation_; }
    void setStatusBarOrientation(InterfaceOrientation o) { orientation_ = o; }

    // Push registration. The registrar (installed by the push layer) gets the request and
    // answers through the delegate; without one nothing happens beyond the record.
    void registerForRemoteNotifications();
    bool isRegisteredForRemoteNotifications() const { return registered_; }
    int remoteRegistrationCount() const { return registrations_; }
    void setRemoteNotificationRegistrar(std::function<void(Application&)> registrar) { registrar_ = std::move(registrar); }
    // Hands a device token (or an error) to the delegate, as the system does.
    void deliverDeviceToken(const std::string& token);
    void deliverRegistrationError(const std::string& error);

    // Life-cycle events as the system sends them (the simulator and tests use these).
    bool launch(const nlohmann::json& launchOptions = nlohmann::json::object());
    void enterBackground();    // willResignActive, didEnterBackground (+ notification)
    void enterForeground();    // willEnterForeground, didBecomeActive (+ notifications)
    void receiveRemoteNotification(const nlohmann::json& userInfo);

    // The first responder of the application (text input with the keyboard), or null.
    Responder* firstResponder() const { return firstResponder_; }

    // Drops windows, the delegate, URLs, badge, registrar and settings (tests).
    void reset();

    // Internal.
    void registerWindow(const std::shared_ptr<Window>& window);
    void setKeyWindow(const std::shared_ptr<Window>& window);
    void setFirstResponder(Responder* responder) { firstResponder_ = responder; }

private:
    std::vector<std::shared_ptr<Window>> windows_;
    std::weak_ptr<Window> keyWindow_;
    std::shared_ptr<ApplicationDelegate> delegate_;
    ApplicationState state_ = ApplicationState::Active;
    long badge_ = 0;
    std::vector<long> badgeHistory_;
    std::vector<std::string> openedURLs_;
    std::set<std::string> schemes_{"http", "https", "tel", "telprompt", "sms", "mailto"};
    bool idleTimerDisabled_ = false;
    bool statusBarHidden_ = false;
    StatusBarStyle statusBarStyle_ = StatusBarStyle::Default;
    InterfaceOrientation orientation_ = InterfaceOrientation::Portrait;
    bool registered_ = false;
    int registrations_ = 0;
    std::function<void(Application&)> registrar_;
    Responder* firstResponder_ = nullptr;
};

// Resets the user-interface layer between tests: the application (windows, delegate, URLs),
// visible alerts and action sheets, storyboards, the keyboard and the screen size.
void resetForTests();

}  // namespace ui
