#include "capture/common/VehicleListCheck.h"

#include <nlohmann/json.hpp>

#include "core/RequestManager.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"

VehicleListCheck::VehicleListCheck(std::function<void(bool arrived)> answered) : answered_(std::move(answered)) {}

void VehicleListCheck::ask() {
    if (asking_) return;
    asking_ = true;
    ProgressHUD::showMessage(kLoadingText);
    std::weak_ptr<VehicleListCheck> weak = weak_from_this();
    RequestManager::shareRequestManager().request_carList_WithParams(
        UserDateSingleton::shareUserDateInstance().signedParams(),
        [weak](const nlohmann::json&, const RequestOutcome& outcome) {
            ProgressHUD::hideHUD();
            auto self = weak.lock();
            if (!self) return;
            self->asking_ = false;
            if (self->answered_) self->answered_(outcome.answered());
        });
}
