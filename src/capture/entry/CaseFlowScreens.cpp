#include "capture/entry/CaseFlowScreens.h"

#include <nlohmann/json.hpp>

#include "core/ScreenRegistry.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/ViewController.h"

namespace caseflow {

bool configure(const std::shared_ptr<ui::ViewController>& screen, int simulateNormal, bool carCount) {
    auto flowScreen = std::dynamic_pointer_cast<CaseFlowScreen>(screen);
    if (!flowScreen) {
        if (screen) foundation::log(screen->className() + " does not take the practice flag and the vehicle count");
        return false;
    }
    flowScreen->setSimulateNormal(simulateNormal);
    flowScreen->setCarCount(carCount);
    return true;
}

std::shared_ptr<ui::ViewController> makeCarListScreen(int simulateNormal, bool carCount) {
    auto screen = ScreenRegistry::make(kCarListScreen, {{"simulateNormal", simulateNormal}, {"carCount", carCount}});
    if (screen) configure(screen, simulateNormal, carCount);
    return screen;
}

std::shared_ptr<ui::ViewController> makeClientScreen(int simulateNormal, bool carCount) {
    auto storyboard = ui::Storyboard::storyboardWithName(kClientStoryboard);
    auto screen = storyboard ? storyboard->instantiateInitialViewController() : nullptr;
    if (!screen) {
        foundation::log(std::string("the storyboard ") + kClientStoryboard + " has no initial screen");
        return nullptr;
    }
    configure(screen, simulateNormal, carCount);
    return screen;
}

}  // namespace caseflow
