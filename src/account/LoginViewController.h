#pragma once
#include <functional>
#include <memory>
#include <string>

#include "core/BaseViewController.h"
#include "platform/ui/Button.h"

// The login screen. Signing in itself is not part of this build: the screen shows its title
// and the service-area entry (`onAreas`).
class LoginViewController : public BaseViewController {
public:
    static constexpr const char* kTitle = "登录";
    static constexpr const char* kAreaTitle = "服务网点";

    std::string className() const override { return "LoginViewController"; }
    std::function<void()> onAreas;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void areaImageBtnClick();

private:
    std::shared_ptr<ui::Button> areaImageBtn_;
};
