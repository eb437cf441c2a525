#include "account/LoginViewController.h"

#include "account/ServiceAreaButton.h"
#include "core/Theme.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/NavigationController.h"

void LoginViewController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    setTitle(kTitle);
    Theme::applyPageBackground(*this);
    areaImageBtn_ = ServiceAreaButton::make(foundation::weakBind(this, &LoginViewController::areaImageBtnClick));
    view()->addSubview(areaImageBtn_);
    noSignIn_ = std::make_shared<ui::Label>();
    noSignIn_->setText(kNoSignInText);
    noSignIn_->setTextColor(Theme::hintGrey());
    noSignIn_->setFont(ui::Font::systemFont(14));
    noSignIn_->setTextAlignment(ui::TextAlignment::Center);
    noSignIn_->setNumberOfLines(0);
    view()->addSubview(noSignIn_);
}

void LoginViewController::viewWillAppear(bool animated) {
    BaseViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false);
    double width = view()->bounds().width();
    areaImageBtn_->setFrame({12.5, 25, width - 25, 40});
    noSignIn_->setFrame({15, 75, width - 30, 40});
}

void LoginViewController::areaImageBtnClick() { onAreas(); }
