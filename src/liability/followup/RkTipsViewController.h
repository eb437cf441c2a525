#pragma once
#include <memory>
#include <string>

#include "core/BaseTableViewController.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"

// "温馨提示" after the vehicle damage photos were uploaded: the insurer will check them and
// both vehicles may leave. "撤销案件" asks "请您确认是否撤销报案" and, on a tap of "确定",
// revokes the case ("taskstate" with type "1") and leaves for a new home page; "退出" leaves
// for the home page at once. No polling. (No screen opens it at present.)
class RkTipsViewController : public BaseTableViewController, public ui::AlertViewDelegate {
public:
    static constexpr const char* kTitle = "温馨提示";
    static constexpr const char* kRevokeTitle = "撤销案件";
    static constexpr const char* kRevokeQuestion = "请您确认是否撤销报案";
    static constexpr const char* kConfirmTitle = "确定";
    static constexpr const char* kCancelTitle = "取消";
    static constexpr const char* kExitTitle = "退出";
    static constexpr const char* kSubmittingText = "正在提交...";
    static constexpr const char* kMessage =
        "车辆损失照片已上传，保险公司将进行审核并与您联系，双方车辆可以自行驶离！\n如果有问题请联系";
    // Stands where a telephone number belongs.
    static constexpr const char* kPhonePlaceholder = "您的保险公司";

    std::string className() const override { return "RkTipsViewController"; }

    void viewDidLoad() override;
    void clickAction();
    void clickBtnAction();

    void clickedButtonAtIndex(ui::AlertView& alert, int buttonIndex) override;

    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

private:
    void revoke();
    std::shared_ptr<ui::Button> button_;
    bool revoking_ = false;
};
