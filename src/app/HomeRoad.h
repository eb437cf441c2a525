#pragma once
#include <memory>

#include "account/HomeViewController.h"
#include "account/LoginViewController.h"
#include "account/NewFeatureController.h"

// The pages a launch or a finished case lands on, with their entries wired: the home page's
// accident entry starts a real case (CaseRoad), its history entry opens the case history;
// the home page's and the login page's service-area entries open the area maps.
namespace app {

std::shared_ptr<HomeViewController> makeHomePage();
std::shared_ptr<LoginViewController> makeLoginPage();
std::shared_ptr<NewFeatureController> makeNewFeature();
// The service-area maps ("区域说明").
std::shared_ptr<ui::ViewController> makeAreas();

}  // namespace app
