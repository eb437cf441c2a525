#include "apps/simulator/AppStartup.h"

#include <memory>

#include "apps/simulator/PlaceholderScreen.h"
#include "app/AppDelegate.h"
#include "app/ApplicationScreens.h"
#include "core/AccountModel.h"
#include "core/AccountTool.h"
#include "core/AppConfig.h"
#include "core/ScreenRegistry.h"
#include "core/StringExtension.h"
#include "platform/foundation/UserDefaults.h"
#include "tools/server/ServerConfig.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace simulator {

namespace {

// Until the application's screens are built: a window with a placeholder in a navigation
// controller; a push shows its "key" there.
class PlaceholderDelegate : public ui::ApplicationDelegate {
public:
    bool didFinishLaunching(const nlohmann::json&) override {
        window_ = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        window_->setBackgroundColor(ui::Color::grey(248.0 / 255));
        screen_ = std::make_shared<PlaceholderScreen>("HomeViewController");
        window_->setRootViewController(ui::NavigationController::create(screen_));
        window_->makeKeyAndVisible();
        return true;
    }
    void didReceiveRemoteNotification(const nlohmann::json& userInfo) override {
        std::string key = "?";
        if (userInfo.is_object() && userInfo.contains("key") && userInfo["key"].is_string()) {
            key = userInfo["key"].get<std::string>();
        }
        if (screen_) screen_->showPush(key);
    }

private:
    std::shared_ptr<ui::Window> window_;
    std::shared_ptr<PlaceholderScreen> screen_;
};

}  // namespace

bool startApplication(const StartupContext& context, std::string& error) {
    auto& app = ui::Application::shared();
    if (context.placeholderOnly) {
        app.setDelegate(std::make_shared<PlaceholderDelegate>());
    } else {
        AppConfig::setServerAddress(context.server);
        ScreenRegistry::reset();
        registerApplicationScreens();

        // The installation's saved account: the one asked for, else the one it has, else the
        // demonstration account of the stand-in server.
        if (context.noAccount) {
            AccountTool::removeAccount();
        } else if (context.accountUserId || !AccountTool::account()) {
            AccountModel account;
            account.userid = context.accountUserId.value_or(standin::kDemoUserId);
            account.sn = StringExtension::snWithString(*account.userid);
            account.phoneNumber = context.accountUserId ? context.accountPhone : std::optional<std::string>(standin::kDemoPhone);
            if (!AccountTool::saveAccount(account)) {
                error = "cannot save the account in " + AccountTool::accountFile().string();
                return false;
            }
        }
        // The first-launch guide shows while the stored version differs from the build's.
        auto& defaults = foundation::UserDefaults::standard();
        if (context.firstLaunch) defaults.removeObjectForKey(AppDelegate::kVersionDefaultsKey);
        else defaults.setObject(AppDelegate::kVersionDefaultsKey, AppDelegate::kBundleVersion);
        defaults.synchronize();

        app.setDelegate(std::make_shared<AppDelegate>());
    }
    if (!app.launch()) {
        error = "the application did not finish launching";
        return false;
    }
    if (!app.keyWindow()) {
        error = "the application launched without a key window";
        return false;
    }
    return true;
}

}  // namespace simulator
