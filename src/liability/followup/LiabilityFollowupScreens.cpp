#include "liability/followup/LiabilityFollowupScreens.h"

#include <climits>

#include "core/InsuranceCompany.h"
#include "core/ScreenRegistry.h"
#include "liability/followup/AppraisalViewController.h"
#include "liability/followup/PromptResultViewController.h"
#include "liability/followup/ReportResultViewController.h"
#include "liability/followup/ReportViewController.h"
#include "liability/followup/RkTipsViewController.h"

namespace {

const nlohmann::json* member(const nlohmann::json& arguments, const char* key) {
    if (!arguments.is_object()) return nullptr;
    auto it = arguments.find(key);
    return it == arguments.end() ? nullptr : &*it;
}

std::optional<int> intArgument(const nlohmann::json& arguments, const char* key) {
    const auto* value = member(arguments, key);
    if (!value || !value->is_number_integer()) return std::nullopt;
    auto number = value->get<long long>();
    if (number < INT_MIN || number > INT_MAX) return std::nullopt;
    return static_cast<int>(number);
}

int flagArgument(const nlohmann::json& arguments) {
    if (auto flag = intArgument(arguments, "simualateState")) return *flag;
    if (member(arguments, "simualateState")) return 0;
    return intArgument(arguments, "simulateNormal").value_or(0);
}

bool boolArgument(const nlohmann::json& arguments, const char* key) {
    const auto* value = member(arguments, key);
    if (!value) return false;
    if (value->is_boolean()) return value->get<bool>();
    if (value->is_number_integer()) return value->get<long long>() != 0;
    return false;
}

std::optional<std::string> textArgument(const nlohmann::json& arguments, const char* key) {
    const auto* value = member(arguments, key);
    if (!value || !value->is_string()) return std::nullopt;
    return value->get<std::string>();
}

std::shared_ptr<InsuranceCompany> insurerArgument(const nlohmann::json& arguments) {
    const auto* value = member(arguments, "compary");
    return InsuranceCompany::objectWithKeyValues(value ? *value : nlohmann::json());
}

}  // namespace

void registerLiabilityFollowupScreens() {
    ScreenRegistry::registerFactory("ReportViewController", [](const nlohmann::json& arguments) {
        auto screen = std::make_shared<ReportViewController>(insurerArgument(arguments));
        screen->simualateState = flagArgument(arguments);
        screen->isBackBtn = boolArgument(arguments, "isBackBtn");
        screen->reporTime = textArgument(arguments, "reporTime");
        return screen;
    });
    ScreenRegistry::registerFactory("ReportResultViewController", [](const nlohmann::json& arguments) {
        auto screen = std::make_shared<ReportResultViewController>(insurerArgument(arguments));
        screen->simualateState = flagArgument(arguments);
        screen->isBackBtn = boolArgument(arguments, "isBackBtn");
        screen->curAccidentno = textArgument(arguments, "curAccidentno");
        return screen;
    });
    ScreenRegistry::registerFactory("PromptResultViewController", [](const nlohmann::json& arguments) {
        auto screen = std::make_shared<PromptResultViewController>(textArgument(arguments, "accidentno").value_or(""));
        screen->isShowBtn = boolArgument(arguments, "isShowBtn");
        screen->simualateState = flagArgument(arguments);
        screen->textValue = textArgument(arguments, "textValue");
        return screen;
    });
    ScreenRegistry::registerFactory("AppraisalViewController", [](const nlohmann::json& arguments) {
        auto screen = std::make_shared<AppraisalViewController>(textArgument(arguments, "accidentno").value_or(""));
        screen->simualateState = flagArgument(arguments);
        screen->isBackBtn = boolArgument(arguments, "isBackBtn");
        return screen;
    });
    ScreenRegistry::registerFactory("RkTipsViewController", [](const nlohmann::json&) {
        return std::make_shared<RkTipsViewController>();
    });
}
