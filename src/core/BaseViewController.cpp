#include "core/BaseViewController.h"

#include "core/CustomNavigationController.h"
#include "core/ApplicationRoutes.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

void BaseViewController::pushNewViewController(const std::shared_ptr<ui::ViewController>& viewController) {
    if (!viewController) return;
    auto navigation = navigationController();
    if (!navigation) {
        foundation::log(className() + ": no navigation controller to push " + viewController->className() + " on");
        return;
    }
    navigation->pushViewController(viewController, true);
}

void BaseViewController::beginLoadingWithText(const std::string& text) {
    if (loading_) loading_->hide(false);
    loading_ = ProgressHUD::showHUDAddedTo(view(), text);
    if (auto self = sharedAs<BaseViewController>()) loading_->setDelegate(std::static_pointer_cast<ProgressHUDDelegate>(self));
}

void BaseViewController::endLoading() {
    if (!loading_) return;
    auto hud = std::move(loading_);
    loading_.reset();
    hud->hide(false);
}

std::shared_ptr<ProgressHUD> BaseViewController::loadingHUD() const {
    return loading_ && loading_->isVisible() ? loading_ : nullptr;
}

void BaseViewController::popLoginViewController() {
    ApplicationRoutes::leaveForLoginPage();
}
