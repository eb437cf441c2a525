#pragma once
#include <functional>
#include <memory>
#include <string>

#include "account/ServiceAreaButton.h"
#include "core/BaseViewController.h"
#include "core/Output.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

// The login screen. Signing in itself is not part of this build: the screen shows its title,
// the service-area entry (`onAreas`) and a line saying that signing in is not offered, so the
// page does not look broken.
class LoginViewController : public BaseViewController {
public:
    static constexpr const char* kTitle = "登录";
    static constexpr const char* kAreaTitle = ServiceAreaButton::kTitle;
    static constexpr const char* kNoSignInText = "本版本暂不提供登录：有已保存的账号时，重新打开应用即进入首页";

    std::string className() const override { return "LoginViewController"; }
    Output<void()> onAreas{this, "onAreas"};

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void areaImageBtnClick();

private:
    std::shared_ptr<ui::Button> areaImageBtn_;
    std::shared_ptr<ui::Label> noSignIn_;
};
