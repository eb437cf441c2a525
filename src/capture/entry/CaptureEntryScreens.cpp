#include "capture/entry/CaptureEntryScreens.h"

#include "capture/entry/AccidentTreatmentTipsController.h"
#include "capture/entry/CallPoliceTipsViewController.h"
#include "capture/entry/DangrousTipViewController.h"
#include "capture/entry/SingleDoubleAccidentViewController.h"
#include "core/ScreenRegistry.h"

namespace {

int flagArgument(const nlohmann::json& arguments, const char* key) {
    if (!arguments.is_object()) return 0;
    auto it = arguments.find(key);
    if (it == arguments.end() || !it->is_number_integer()) return 0;
    auto value = it->get<long long>();
    if (value < INT32_MIN || value > INT32_MAX) return 0;
    return static_cast<int>(value);
}

}  // namespace

void registerCaptureEntryScreens() {
    ScreenRegistry::registerFactory("DangrousTipViewController", [](const nlohmann::json& arguments) {
        auto screen = std::make_shared<DangrousTipViewController>();
        screen->simulateState = flagArgument(arguments, "simulateState");
        return screen;
    });
    ScreenRegistry::registerFactory("CallPoliceTipsViewController", [](const nlohmann::json& arguments) {
        auto screen = std::make_shared<CallPoliceTipsViewController>();
        screen->simulateNormal = flagArgument(arguments, "simulateNormal");
        return screen;
    });
    ScreenRegistry::registerFactory("AccidentTreatmentTipsController", [](const nlohmann::json& arguments) {
        auto screen = std::make_shared<AccidentTreatmentTipsController>();
        screen->simulateNormal = flagArgument(arguments, "simulateNormal");
        return screen;
    });
    ScreenRegistry::registerFactory("SingleDoubleAccidentViewController", [](const nlohmann::json& arguments) {
        auto screen = std::make_shared<SingleDoubleAccidentViewController>();
        screen->simulateNormal = flagArgument(arguments, "simulateNormal");
        return screen;
    });
}
