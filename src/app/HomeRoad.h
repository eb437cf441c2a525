#pragma once
#include <memory>

#include "account/HomeViewController.h"
#include "account/LoginViewController.h"
#include "account/NewFeatureController.h"

// The pages a launch or a finished case lands on, with their entries wired: the home page's
// accident entry starts a case (SingleCarRoad), its history and service-area entries say they
// are not built yet.
namespace app {

std::shared_ptr<HomeViewController> makeHomePage();
std::shared_ptr<LoginViewController> makeLoginPage();
std::shared_ptr<NewFeatureController> makeNewFeature();

}  // namespace app
