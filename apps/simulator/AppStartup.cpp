#include "apps/simulator/AppStartup.h"

#include <memory>

#include "apps/simulator/PlaceholderScreen.h"
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
    (void)context;
    auto& app = ui::Application::shared();
    app.setDelegate(std::make_shared<PlaceholderDelegate>());
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
