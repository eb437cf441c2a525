#include "core/ApplicationRoutes.h"

#include <string>

#include "core/CustomNavigationController.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

namespace {

struct Routes {
    ApplicationRoutes::Maker homePage;
    ApplicationRoutes::Maker loginPage;
};

Routes& routes() {
    static Routes r;
    return r;
}

bool leaveFor(const ApplicationRoutes::Maker& maker, const std::string& what) {
    if (!maker) {
        foundation::logError("no way to make the " + what + " is installed");
        return false;
    }
    auto window = ui::Application::shared().keyWindow();
    if (!window) {
        foundation::log("no key window to show the " + what + " in");
        return false;
    }
    auto screen = maker();
    if (!screen) return false;
    window->setRootViewController(std::make_shared<CustomNavigationController>(screen));
    return true;
}

}  // namespace

void ApplicationRoutes::install(Maker homePage, Maker loginPage) {
    routes().homePage = std::move(homePage);
    routes().loginPage = std::move(loginPage);
}

void ApplicationRoutes::reset() { routes() = Routes(); }

bool ApplicationRoutes::leaveForNewHomePage() { return leaveFor(routes().homePage, "home page"); }

bool ApplicationRoutes::leaveForLoginPage() { return leaveFor(routes().loginPage, "login page"); }

bool ApplicationRoutes::closeOrLeaveForNewHomePage(ui::ViewController& screen) {
    if (screen.presentingViewController()) {
        screen.dismissViewController(true);
        return true;
    }
    return leaveForNewHomePage();
}
