#pragma once
#include "core/CaseMode.h"
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "core/BaseTableViewController.h"
#include "core/InsuranceCompany.h"
#include "core/Output.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"

// "温馨提示" after a report in the application: the report is filed, both vehicles may leave,
// and the insurer's telephone. The poll, the revoke and the prompt are of the case in progress
// (CaseInProgress::number). A real case polls "claimresult" at once and then every 5 s;
// the first reply passed on ("200" or "203") reports `onClaimResult` with its "result".
// Polls do not wait for earlier replies: the prompt opens once, later replies are ignored.
// The timer stops on that reply, when the screen disappears (for good: it never polls again)
// and before it leaves for the home page.
//
// "撤销案件" asks "请您确认是否撤销报案" with "确定" (index 0) and "取消"; only a tap of "确定"
// revokes ("taskstate" with type "1"). "返回首页" leaves for a new home page.
class ReportResultViewController : public BaseTableViewController, public ui::AlertViewDelegate {
public:
    static constexpr const char* kTitle = "温馨提示";
    static constexpr const char* kRevokeTitle = "撤销案件";
    static constexpr const char* kRevokeQuestion = "请您确认是否撤销报案";
    static constexpr const char* kConfirmTitle = "确定";
    static constexpr const char* kCancelTitle = "取消";
    static constexpr const char* kHomeTitle = "返回首页";
    static constexpr const char* kSubmittingText = "正在提交...";
    static constexpr const char* kMessage =
        "保险报案已成功，保险公司将进行审核并与您联系，双方车辆可以自行驶离！\n如果有问题请联系";
    // Stands where the insurer's telephone belongs when the record has none.
    static constexpr const char* kNoPhoneText = "您的保险公司";
    static constexpr double kPollInterval = 5.0;

    struct Arguments {
        // The insurer (an empty record stands for none); its `insphone` is shown.
        InsuranceCompany curCompary;
        GivenCaseMode simualateState;
        // Shows the back item (the history).
        bool isBackBtn = false;
    };
    explicit ReportResultViewController(Arguments arguments);
    ~ReportResultViewController() override;
    std::string className() const override { return "ReportResultViewController"; }

    // The insurer (never null: an empty record stands for none); its `insphone` is shown.
    std::shared_ptr<InsuranceCompany> curCompary;
    const CaseMode simualateState;
    // Shows the back item (the history).
    const bool isBackBtn;

    // The first passed poll: the case number and the reply's "result" as text (unset when it
    // has none).
    Output<void(const std::string& accidentno, std::optional<std::string> result)> onClaimResult{this, "onClaimResult"};

    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;
    // One poll.
    void loadDataSource() override;
    // "撤销案件": asks for the revoke.
    void clickAction();
    // "返回首页".
    void clickBtnAction();
    void backItemClick();
    void clickedButtonAtIndex(ui::AlertView& alert, int buttonIndex) override;

    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

private:
    friend class ReportResultTestAPI;
    // The one row's text.
    std::string messageText() const;
    // Made once: the "返回首页" button under the row.
    std::shared_ptr<ui::View> footerView();
    void stopPolling();
    void receive(const nlohmann::json& reply);
    void revoke();
    void leaveForHomePage();

    std::shared_ptr<foundation::Timer> timer_;
    std::shared_ptr<ui::View> footerView_;
    std::shared_ptr<ui::Button> button_;
    // Whether polling is over for good.
    bool pollingOver_ = false;
    bool revoking_ = false;
};
