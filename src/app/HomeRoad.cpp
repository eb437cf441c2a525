#include "app/HomeRoad.h"

#include "account/HomeViewController.h"
#include "account/LoginViewController.h"
#include "account/NewFeatureController.h"
#include "app/CaseRoad.h"
#include "app/HistoryRoad.h"
#include "app/LocationRefresh.h"
#include "app/Navigator.h"
#include "capture/areas/AreaImageViewController.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Application.h"

namespace app {

std::shared_ptr<HomeViewController> makeHomePage() {
    auto home = std::make_shared<HomeViewController>();
    home->onAccident = [] { push(CaseRoad::start(CaseMode::Real)); };
    home->onHistory = [] { push(HistoryRoad::makeHistory()); };
    home->onAreas = [] { push(makeAreas()); };
    home->onRequestLocation = [] {
        auto delegate = std::dynamic_pointer_cast<LocationRefresh>(ui::Application::shared().delegate());
        if (delegate)
            delegate->refreshLocation();
        else
            foundation::log("no application delegate to ask for a position");
    };
    return home;
}

std::shared_ptr<LoginViewController> makeLoginPage() {
    auto login = std::make_shared<LoginViewController>();
    login->onAreas = [] { push(makeAreas()); };
    return login;
}

std::shared_ptr<ui::ViewController> makeAreas() { return std::make_shared<AreaImageViewController>(); }

std::shared_ptr<NewFeatureController> makeNewFeature() { return std::make_shared<NewFeatureController>(); }

}  // namespace app
