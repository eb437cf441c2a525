#include "account/AccountScreens.h"

#include "account/HomeViewController.h"
#include "account/LoginViewController.h"
#include "account/NewFeatureController.h"
#include "account/QuickInfoViewController.h"
#include "account/UnderwritInfoViewController.h"
#include "core/ScreenRegistry.h"

namespace {
std::optional<std::string> textArgument(const nlohmann::json& arguments, const char* key) {
    if (arguments.is_object() && arguments.contains(key) && arguments[key].is_string())
        return arguments[key].get<std::string>();
    return std::nullopt;
}
}  // namespace

void registerAccountScreens() {
    ScreenRegistry::registerFactory("HomeViewController", [](const nlohmann::json&) {
        return std::make_shared<HomeViewController>();
    });
    ScreenRegistry::registerFactory("LoginViewController", [](const nlohmann::json&) {
        return std::make_shared<LoginViewController>();
    });
    ScreenRegistry::registerFactory("NewFeatureController", [](const nlohmann::json&) {
        return std::make_shared<NewFeatureController>();
    });
    ScreenRegistry::registerFactory("QuickInfoViewController", [](const nlohmann::json& arguments) {
        return std::make_shared<QuickInfoViewController>(textArgument(arguments, "url").value_or(""));
    });
    ScreenRegistry::registerFactory("UnderwritInfoViewController", [](const nlohmann::json& arguments) {
        auto screen = std::make_shared<UnderwritInfoViewController>();
        screen->jqx = textArgument(arguments, "jqx");
        screen->syx = textArgument(arguments, "syx");
        return screen;
    });
}
