#include "apps/simulator/ScreenLibraries.h"

#include "apps/simulator/PlaceholderScreen.h"
#include "core/ScreenRegistry.h"

// The screen libraries, each with its registration function. A library joins when its header
// is in the tree (and its target is listed in CMakeLists.txt).
#if __has_include("account/AccountScreens.h")
#include "account/AccountScreens.h"
#define VESKARD_HAS_ACCOUNT_SCREENS 1
#endif
#if __has_include("capture/entry/CaptureEntryScreens.h")
#include "capture/entry/CaptureEntryScreens.h"
#define VESKARD_HAS_CAPTURE_ENTRY_SCREENS 1
#endif
#if __has_include("capture/vehicle/CaptureVehicleScreens.h")
#include "capture/vehicle/CaptureVehicleScreens.h"
#define VESKARD_HAS_CAPTURE_VEHICLE_SCREENS 1
#endif
#if __has_include("liability/form/LiabilityFormScreens.h")
#include "liability/form/LiabilityFormScreens.h"
#define VESKARD_HAS_LIABILITY_FORM_SCREENS 1
#endif
#if __has_include("liability/followup/LiabilityFollowupScreens.h")
#include "liability/followup/LiabilityFollowupScreens.h"
#define VESKARD_HAS_LIABILITY_FOLLOWUP_SCREENS 1
#endif

namespace simulator {

const std::vector<std::string>& applicationScreenNames() {
    static const std::vector<std::string> names{
        "NewFeatureController",         "HomeViewController",          "LoginViewController",
        "PromptResultViewController",   "ChatViewController",          "NotificationInfoViewController",
    };
    return names;
}

std::vector<std::string> registerApplicationScreens() {
#ifdef VESKARD_HAS_ACCOUNT_SCREENS
    registerAccountScreens();
#endif
#ifdef VESKARD_HAS_CAPTURE_ENTRY_SCREENS
    registerCaptureEntryScreens();
#endif
#ifdef VESKARD_HAS_CAPTURE_VEHICLE_SCREENS
    registerCaptureVehicleScreens();
#endif
#ifdef VESKARD_HAS_LIABILITY_FORM_SCREENS
    registerLiabilityFormScreens();
#endif
#ifdef VESKARD_HAS_LIABILITY_FOLLOWUP_SCREENS
    registerLiabilityFollowupScreens();
#endif

    std::vector<std::string> placeholders;
    for (const auto& name : applicationScreenNames()) {
        if (ScreenRegistry::isRegistered(name)) continue;
        ScreenRegistry::registerFactory(name, [name](const nlohmann::json&) {
            return std::make_shared<PlaceholderScreen>(name);
        });
        placeholders.push_back(name);
    }
    return placeholders;
}

}  // namespace simulator
