#include "app/Navigator.h"

#include "hud/ProgressHUD.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace app {

std::shared_ptr<ui::NavigationController> currentNavigation() {
    auto window = ui::Application::shared().keyWindow();
    if (!window) return nullptr;
    return std::dynamic_pointer_cast<ui::NavigationController>(window->rootViewController());
}

void push(const std::shared_ptr<ui::ViewController>& screen) {
    if (!screen) return;
    auto navigation = currentNavigation();
    if (!navigation) {
        foundation::logError("no navigation to open " + screen->className() + " in");
        return;
    }
    navigation->pushViewController(screen, true);
}

void notBuiltYet(const std::string& what) {
    foundation::log("not built yet: " + what);
    ProgressHUD::hideHUD();
    ProgressHUD::showError(kNotBuiltText);
}

}  // namespace app
