#include "capture/vehicle/CaptureVehicleScreens.h"

#include <climits>

#include <nlohmann/json.hpp>

#include "capture/vehicle/CarListViewController.h"
#include "capture/vehicle/ChooseInsuranceViewController.h"
#include "core/ScreenRegistry.h"

namespace {

int flagArgument(const nlohmann::json& arguments, const char* key) {
    if (!arguments.is_object()) return 0;
    auto it = arguments.find(key);
    if (it == arguments.end() || !it->is_number_integer()) return 0;
    auto value = it->get<long long>();
    return value < INT_MIN || value > INT_MAX ? 0 : static_cast<int>(value);
}

bool boolArgument(const nlohmann::json& arguments, const char* key) {
    if (!arguments.is_object()) return false;
    auto it = arguments.find(key);
    return it != arguments.end() && it->is_boolean() && it->get<bool>();
}

}  // namespace

void registerCaptureVehicleScreens() {
    ScreenRegistry::registerFactory(CarListViewController::kClassName, [](const nlohmann::json& arguments) {
        auto screen = std::make_shared<CarListViewController>();
        screen->simulateNormal = flagArgument(arguments, "simulateNormal");
        screen->carCount = boolArgument(arguments, "carCount");
        return screen;
    });
    ScreenRegistry::registerFactory(ChooseInsuranceViewController::kClassName, [](const nlohmann::json& arguments) {
        auto screen = std::make_shared<ChooseInsuranceViewController>();
        screen->simulateState = flagArgument(arguments, "simulateState");
        return screen;
    });
}
