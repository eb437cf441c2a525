#pragma once
#include "core/CaseMode.h"
#include <functional>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "core/BaseTableViewController.h"
#include "input/PlaceholderTextView.h"
#include "liability/followup/Appraisal.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextView.h"

// "评价": the service rating at the end of a case. Four grades ("非常满意" checked at start);
// "一般" and "不满意" ask for a reason from the server's list ("getreason"; the fixed list in
// practice) in the picker "原因"; an optional suggestion of at most 50 characters; "提交" checks
// ("请选择原因", then "请输入建议" for reason "5") and sends "evaluationInfo". A sent rating,
// and "提交" in practice, start afresh on a new home page (the login without a signed-in user
// in practice).
//
// The reason list is used as far as it holds entries with a code and a name; a list without
// any shows kNoReasonsText and no picker. The picker starts at the current reason, or at the
// first row when the reason is not in the new list.
class AppraisalViewController : public BaseTableViewController, public ui::TextViewDelegate {
public:
    using ReasonsBlock = std::function<void(const nlohmann::json& reasons)>;

    static constexpr const char* kTitle = "评价";
    static constexpr const char* kHeaderText = "您已完成此次交通事故案件的处理流程，邀请您对此次服务进行满意度评价";
    static constexpr const char* kPlaceholder = "请输入意见与建议";
    static constexpr const char* kSubmitTitle = "提交";
    static constexpr const char* kPickerTitle = "原因";
    static constexpr const char* kLoadingText = "正在加载...";
    static constexpr const char* kSubmittingText = "正在提交...";
    static constexpr const char* kNeedReasonText = "请选择原因";
    static constexpr const char* kNeedSuggestionText = "请输入建议";
    static constexpr const char* kNoReasonsText = "暂无可选原因";
    static constexpr size_t kSuggestionLimit = 50;

    struct Arguments {
        std::string accidentno;
        GivenCaseMode simualateState;
        // Shows a back item.
        bool isBackBtn = false;
    };
    explicit AppraisalViewController(Arguments arguments);
    std::string className() const override { return "AppraisalViewController"; }

    // Shows a back item.
    const bool isBackBtn;
    const CaseMode simualateState;
    std::shared_ptr<Appraisal> curAppraisal;
    std::string accidentno;
    // The row that carries the checkmark.
    int index = 0;

    void viewDidLoad() override;
    // The reason list: the server's (real case, under the loading indicator) or the fixed one.
    void loadDataSource(ReasonsBlock completion);
    // "提交".
    void clickAction();
    void backItemClick();

    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

    bool shouldChangeTextInRange(ui::TextView& view, ui::TextRange range, const std::string& replacement) override;

private:
    friend class AppraisalTestAPI;
    using BaseTableViewController::loadDataSource;
    void chooseReason(const nlohmann::json& reasons);
    void leaveForHomePage();

    // The grade rows: {"title", "code"}.
    nlohmann::json grades_;
    std::shared_ptr<PlaceholderTextView> textView_;
    std::shared_ptr<ui::Button> button_;
    std::shared_ptr<ui::Label> headerLabel_;
    bool submitting_ = false;
};
