#include "core/ApplicationRoutes.h"

#include "core/CustomNavigationController.h"
#include "core/ScreenRegistry.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

namespace followupstyle {

bool leaveForNewHomePage() {
    auto window = ui::Application::shared().keyWindow();
    if (!window) {
        foundation::log("follow-up: no key window to show the home page in");
        return false;
    }
    auto home = ScreenRegistry::make("HomeViewController");
    if (!home) return false;
    window->setRootViewController(std::make_shared<CustomNavigationController>(home));
    return true;
}

}  // namespace followupstyle
