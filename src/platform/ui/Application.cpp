#include "platform/ui/Application.h"

#include <algorithm>

#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TextInput.h"

namespace ui {

Application& Application::shared() {
    // Kept for the life of the process: views destroyed at exit still ask it about the first responder.
    static Application* app = new Application();
    return *app;
}

std::vector<std::shared_ptr<Window>> Application::windows() const {
    return windows_;
}

std::shared_ptr<Window> Application::keyWindow() const {
    return keyWindow_.lock();
}

void Application::registerWindow(const std::shared_ptr<Window>& window) {
    if (!window) return;
    if (std::find(windows_.begin(), windows_.end(), window) == windows_.end()) windows_.push_back(window);
}

void Application::setKeyWindow(const std::shared_ptr<Window>& window) {
    keyWindow_ = window;
}

void Application::setApplicationIconBadgeNumber(long n) {
    badge_ = n;
    badgeHistory_.push_back(n);
}

bool Application::canOpenURL(const std::string& url) const {
    auto colon = url.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    std::string scheme = url.substr(0, colon);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return std::tolower(c); });
    return schemes_.count(scheme) > 0;
}

bool Application::openURL(const std::string& url) {
    openedURLs_.push_back(url);
    bool ok = canOpenURL(url);
    // Only the scheme: the rest is a telephone number or an address with its values.
    if (!ok) foundation::log("openURL: no handler for an address of scheme \"" + url.substr(0, url.find(':')) + "\"");
    return ok;
}

void Application::registerForRemoteNotifications() {
    ++registrations_;
    registered_ = true;
    if (registrar_) {
        auto r = registrar_;
        r(*this);
    }
}

void Application::deliverDeviceToken(const std::string& token) {
    if (auto d = delegate_) d->didRegisterForRemoteNotificationsWithDeviceToken(token);
}

void Application::deliverRegistrationError(const std::string& error) {
    registered_ = false;
    if (auto d = delegate_) d->didFailToRegisterForRemoteNotificationsWithError(error);
}

bool Application::launch(const nlohmann::json& launchOptions) {
    state_ = ApplicationState::Inactive;
    bool ok = true;
    if (auto d = delegate_) ok = d->didFinishLaunching(launchOptions);
    state_ = ApplicationState::Active;
    if (auto d = delegate_) d->didBecomeActive();
    foundation::NotificationCenter::defaultCenter().post(ApplicationDidBecomeActiveNotification);
    return ok;
}

void Application::enterBackground() {
    if (state_ == ApplicationState::Background) return;
    if (auto d = delegate_) d->willResignActive();
    state_ = ApplicationState::Background;
    if (auto d = delegate_) d->didEnterBackground();
    foundation::NotificationCenter::defaultCenter().post(ApplicationDidEnterBackgroundNotification);
}

void Application::enterForeground() {
    if (state_ != ApplicationState::Background) return;
    state_ = ApplicationState::Inactive;
    if (auto d = delegate_) d->willEnterForeground();
    foundation::NotificationCenter::defaultCenter().post(ApplicationWillEnterForegroundNotification);
    state_ = ApplicationState::Active;
    if (auto d = delegate_) d->didBecomeActive();
    foundation::NotificationCenter::defaultCenter().post(ApplicationDidBecomeActiveNotification);
}

void Application::receiveRemoteNotification(const nlohmann::json& userInfo) {
    if (auto d = delegate_) d->didReceiveRemoteNotification(userInfo);
}

void Application::reset() {
    firstResponder_ = nullptr;
    auto windows = std::move(windows_);
    windows_.clear();
    keyWindow_.reset();
    delegate_.reset();
    state_ = ApplicationState::Active;
    badge_ = 0;
    badgeHistory_.clear();
    openedURLs_.clear();
    schemes_ = {"http", "https", "tel", "telprompt", "sms", "mailto"};
    idleTimerDisabled_ = false;
    statusBarHidden_ = false;
    statusBarStyle_ = StatusBarStyle::Default;
    orientation_ = InterfaceOrientation::Portrait;
    registered_ = false;
    registrations_ = 0;
    registrar_ = nullptr;
    windows.clear();
}

void resetForTests() {
    AlertView::resetAll();
    ActionSheet::resetAll();
    Application::shared().reset();
    Storyboard::reset();
    Keyboard::reset();
    Screen::mainScreen().reset();
    ImagePickerController::setCameraProvider(nullptr);
    ImagePickerController::setCameraPreviewProvider(nullptr);
}

}  // namespace ui
