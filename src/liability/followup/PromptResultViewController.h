#pragma once
#include "core/CaseMode.h"
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "core/BaseTableViewController.h"
#include "core/Output.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Button.h"

// "温馨提示": the insurer's claim result for one case, and the way on to the rating
// ("满意度评价"). Opened without a text it waits: the row "目前无理赔结果信息,请等待...", a grey
// spinner, the rating button disabled, and a poll of "claimresult" at once and then every
// 5 s. The first passed reply ("200" or "203") whose "result" is text (a number counts as its
// decimal text) shows it, stops polling and enables the button; a passed reply without a
// usable "result" (absent, null, a list, a dictionary, true or false) keeps it waiting. Later
// replies are ignored. Disappearing stops the waiting for good.
class PromptResultViewController : public BaseTableViewController {
public:
    static constexpr const char* kTitle = "温馨提示";
    static constexpr const char* kWaitingText = "目前无理赔结果信息,请等待...";
    static constexpr const char* kRatingTitle = "满意度评价";
    static constexpr double kPollInterval = 5.0;

    struct Arguments {
        std::string accidentno;
        // The result to show; unset makes the screen wait for it.
        std::optional<std::string> textValue;
        // YES: the rating button and no back item; NO: a back item and no button.
        bool isShowBtn = false;
        // Passed on to the rating.
        GivenCaseMode simualateState;
    };
    explicit PromptResultViewController(Arguments arguments);
    ~PromptResultViewController() override;
    std::string className() const override { return "PromptResultViewController"; }

    std::string accidentno;
    // The result to show; unset makes the screen wait for it.
    std::optional<std::string> textValue;
    // YES: the rating button and no back item; NO: a back item and no button.
    const bool isShowBtn;
    // Passed on to the rating.
    const CaseMode simualateState;

    // "满意度评价" tapped (the waiting is over).
    Output<void()> onRating{this, "onRating"};

    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;
    // One poll.
    void loadDataSource() override;
    // "满意度评价": the rating of this case.
    void clickAction();
    void backItemClick();

    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

private:
    friend class PromptResultTestAPI;
    void stopWaiting();
    void receive(const nlohmann::json& reply);

    std::shared_ptr<foundation::Timer> timer_;
    std::shared_ptr<ui::Button> button_;
    std::shared_ptr<ui::ActivityIndicatorView> activityIndicator_;
    bool waiting_ = false;
    bool pollingOver_ = false;
};
