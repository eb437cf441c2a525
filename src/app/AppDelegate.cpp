#include "app/AppDelegate.h"

#include "app/HomeRoad.h"
#include "app/PushRouter.h"

#include <cstdio>

#include "core/AccountTool.h"
#include "core/BackCodeModel.h"
#include "core/BaseViewController.h"
#include "core/CustomNavigationController.h"
#include "core/FailedImageRetry.h"
#include "core/ImageRequestModel.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/ScreenRegistry.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/location/Geocoder.h"
#include "platform/location/LocationManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

using nlohmann::json;

namespace {

std::string coordinateText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", value);
    return buffer;
}


}  // namespace

AppDelegate::AppDelegate() = default;

AppDelegate::~AppDelegate() {
    FailedImageRetry::shared().stop();
    if (locationTimer_) locationTimer_->invalidate();
}

std::shared_ptr<ui::ViewController> AppDelegate::chooseRootViewController() {
    auto& defaults = foundation::UserDefaults::standard();
    auto stored = defaults.stringForKey(kVersionDefaultsKey);
    if (!stored || *stored != kBundleVersion) {
        defaults.setObject(kVersionDefaultsKey, kBundleVersion);
        defaults.synchronize();
        return app::makeNewFeature();
    }
    if (auto account = AccountTool::account()) {
        auto& state = UserDateSingleton::shareUserDateInstance();
        state.setUserid(account->userid);
        state.setSn(account->sn ? account->sn : std::optional<std::string>(StringExtension::snWithString(*account->userid)));
        if (account->phoneNumber) state.setPhoneNumber(account->phoneNumber);
        return std::make_shared<CustomNavigationController>(app::makeHomePage());
    }
    return std::make_shared<CustomNavigationController>(app::makeLoginPage());
}

bool AppDelegate::didFinishLaunching(const json&) {
    auto& app = ui::Application::shared();
    app.setApplicationIconBadgeNumber(0);

    FailedImageRetry::shared().start();
    startLocationTimer();

    app.setStatusBarStyle(ui::StatusBarStyle::LightContent);
    window_ = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
    window_->setBackgroundColor(Theme::pageGrey());
    window_->setRootViewController(chooseRootViewController());

    app.registerForRemoteNotifications();
    refreshLocation();
    window_->makeKeyAndVisible();
    return true;
}

void AppDelegate::startLocationTimer() {
    if (locationTimer_) locationTimer_->invalidate();
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    locationTimer_ = foundation::RunLoop::main().scheduleTimer(kLocationInterval, true, [weak](foundation::Timer&) {
        if (auto self = weak.lock()) self->refreshLocation();
    });
}

void AppDelegate::refreshLocation() {
    if (!locationManager_) locationManager_ = location::LocationManager::make();
    locationManager_->setDesiredAccuracy(location::Accuracy::Best);
    locationManager_->requestLocation(kLocationTimeout, [](std::optional<location::Location> fix,
                                                           std::optional<location::Error> error) {
        if (!fix) {
            foundation::log("location: no fix" + (error ? ": " + error->localizedDescription : std::string()));
            return;
        }
        auto& state = UserDateSingleton::shareUserDateInstance();
        state.setLongitude(coordinateText(fix->coordinate.longitude));
        state.setLatitude(coordinateText(fix->coordinate.latitude));
        location::Geocoder::make()->reverseGeocodeLocation(
            *fix, [](std::vector<location::Placemark> placemarks, std::optional<location::Error> geocodeError) {
                if (placemarks.empty()) {
                    foundation::log("location: no place for the fix" +
                                    (geocodeError ? ": " + geocodeError->localizedDescription : std::string()));
                    return;
                }
                const auto& place = placemarks.front();
                auto& state = UserDateSingleton::shareUserDateInstance();
                if (!place.administrativeArea.empty()) state.setCity(place.administrativeArea);
                if (!place.name.empty()) state.setAddress(place.name);
            });
    });
}

void AppDelegate::requestFailedImage() { FailedImageRetry::shared().round(); }

std::shared_ptr<foundation::Timer> AppDelegate::failedImageTimer() const { return FailedImageRetry::shared().timer(); }

std::shared_ptr<ui::ViewController> AppDelegate::lastScreen() const {
    auto window = ui::Application::shared().keyWindow();
    if (!window) window = window_;
    if (!window) return nullptr;
    auto root = window->rootViewController();
    if (auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(root)) {
        auto stack = navigation->viewControllers();
        return stack.empty() ? nullptr : stack.back();
    }
    return root;
}

void AppDelegate::didEnterBackground() {
    if (locationTimer_) {
        locationTimer_->invalidate();
        locationTimer_.reset();
    }
    auto top = lastScreen();
    if (!top) return;
    std::string kind = top->className();
    if (kind != "WaitTipViewController" && kind != "TrafficPoliceViewController") return;
    if (auto holder = std::dynamic_pointer_cast<TimerHoldingScreen>(top)) {
        auto& timer = holder->timer();
        if (timer) timer->invalidate();
        timer.reset();
    }
}

void AppDelegate::willEnterForeground() {
    refreshLocation();
    startLocationTimer();
    auto token = UserDateSingleton::shareUserDateInstance().deviceToken();
    if (!token || token->empty()) ui::Application::shared().registerForRemoteNotifications();
    foundation::NotificationCenter::defaultCenter().post("STARTTIMER", nullptr);
}

void AppDelegate::didRegisterForRemoteNotificationsWithDeviceToken(const std::string& deviceToken) {
    UserDateSingleton::shareUserDateInstance().setDeviceToken(deviceToken);
}

void AppDelegate::didFailToRegisterForRemoteNotificationsWithError(const std::string& error) {
    foundation::log("push registration failed: " + error);
}

void AppDelegate::didReceiveRemoteNotification(const json& userInfo) {
    ui::Application::shared().setApplicationIconBadgeNumber(0);
    PushRouter::route(userInfo, window_);
}
