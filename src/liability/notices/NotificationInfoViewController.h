#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "core/BaseTableViewController.h"
#include "core/Output.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/View.h"

// "温馨提示": one notice about a case, opened by a push notice as the window's new root. By its
// kind it shows
//   0  nothing (a notice the application does not know): only "返回";
//   1  the loss estimate is running, with the service's telephone number, and "撤销案件" in
//      the bar, which asks "请您确认是否撤销报案" and on "确定" revokes the case ("taskstate"
//      with type "1") and starts afresh on a new home page;
//   2  the damage must be assessed at the insurer's centre, with "我将自行前往定损中心";
//   3  the insurer's claim result, with "满意度评价".
// The buttons of kinds 2 and 3 ask for the rating of the notice's case (onAppraisal); that
// rating is always of a real case. "返回" leaves for a new home page as the window's root, or,
// when the notice lies over the driver's case, closes it.
//
// A notice of type "ClAIMRESULT" loads its claim result ("claimresult") at once: an answer
// shows its "result" as the one row (a number as its text; anything else, or none, as an empty
// row), anything else leaves no row.
class NotificationInfoViewController : public BaseTableViewController, public ui::AlertViewDelegate {
public:
    static constexpr const char* kTitle = "温馨提示";
    static constexpr const char* kRevokeTitle = "撤销案件";
    static constexpr const char* kRevokeQuestion = "请您确认是否撤销报案";
    static constexpr const char* kConfirmTitle = "确定";
    static constexpr const char* kCancelTitle = "取消";
    static constexpr const char* kLoadingText = "正在加载...";
    static constexpr const char* kSubmittingText = "正在提交...";
    static constexpr const char* kClaimResultType = "ClAIMRESULT";
    static constexpr const char* kClaimType = "ClAIM";
    // The service's telephone number that ends the text of kind 1.
    static constexpr const char* kServiceTelephone = "010-12122";
    static constexpr const char* kEstimatingText =
        "车辆损失照片已审核通过，正在估算损失结果，请稍后！如果等候时间过长请联系";
    static constexpr const char* kOfflineText =
        "您的车辆不满足在线定损条件，可能需要进一步拆解定损，请前往保险公司定损中心进行线下定损并理赔";
    static constexpr const char* kOfflineTitle = "我将自行前往定损中心";
    static constexpr const char* kRatingTitle = "满意度评价";
    static constexpr const char* kButtonImage = "蓝色btn";
    static constexpr const char* kButtonHighlightedImage = "蓝色btn-按下";
    static constexpr double kFooterHeight = 200;

    struct Arguments {
        // 0 to 3 (see above); any other number shows like 0.
        int notiType = 0;
        // The one row; none shows no row.
        std::optional<std::string> text;
        std::string btnTitle;
        bool isButton = false;
        std::string btnImage;
        std::string btnHightImage;
        bool isBarItem = false;
        // The case the notice is about.
        std::string accidentno;
        // Loads the claim result as the text when the screen loads.
        bool loadsClaimResult = false;

        // What a push notice of type `type` with `content` shows: "ClAIMRESULT" is kind 3,
        // loading its result; "ClAIM" is the kind its content's "claimstate" names (0, 1 or 2,
        // as a number or its text; any other value is 0); every other type is kind 0. The case
        // number is the content's "accidentno" (a number counts as its text).
        static Arguments forNotice(const std::string& type, const nlohmann::json& content);
        // Kind 1 to 3 as the table above sets them up, for the case `accidentno`; kind 3 shows
        // `result` (empty when none).
        static Arguments forKind(int kind, std::string accidentno, std::optional<std::string> result = std::nullopt);
    };
    explicit NotificationInfoViewController(Arguments arguments);
    std::string className() const override { return "NotificationInfoViewController"; }

    // The footer button of kinds 2 and 3: the rating of case `accidentno`, as a real case.
    Output<void(const std::string& accidentno)> onAppraisal{this, "onAppraisal"};

    const int notiType;
    const bool isButton;
    const bool isBarItem;
    const std::string btnTitle;
    const std::string btnImage;
    const std::string btnHightImage;
    const std::string accidentno;

    void viewDidLoad() override;
    // The claim result of the case (kind 3 of a "ClAIMRESULT" notice).
    void loadDataSource() override;
    // The footer button.
    void clickAction();
    // "撤销案件": asks before revoking.
    void barClickAction();
    // "返回": a new home page as the window's root; over the driver's case, the notice closes.
    void backClickAction();

    void clickedButtonAtIndex(ui::AlertView& alert, int buttonIndex) override;

    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

private:
    // Made once; the button takes the title and images each time.
    std::shared_ptr<ui::View> tableFooterView();
    void receiveClaimResult(const nlohmann::json& reply);
    void revoke();

    const bool loadsClaimResult_;
    std::shared_ptr<ui::View> footerView_;
    std::weak_ptr<ui::Button> button_;
    bool revoking_ = false;
};
