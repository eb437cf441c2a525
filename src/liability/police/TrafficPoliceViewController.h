#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/BaseViewController.h"
#include "core/CaseMode.h"
#include "core/InsuranceCompany.h"
#include "core/Output.h"
#include "core/ScreenRegistry.h"
#include "liability/police/DecisionPoller.h"
#include "liability/police/PoliceDutyModel.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

// "指导定责": the wait for the traffic police's remote liability decision. A real case polls
// "processpapertimer" every 2 s with the case's identity until the answer is "200"; then the
// decision list is offered with the alert "交警给您发来事故责任认定意见,请接收", whose "接收"
// hands it on (`onDecision`). "联系交警" opens the case chat (`onChat`). Giving up ("返回" or
// "退出", then "确定" in the sheet) reports the task state "0","0" and goes back to the home
// page; practice gives up without a request. Reopened from the history, "返回" just goes back.
//
// There is one poll timer (DecisionPoller), running only while the screen is shown (between its
// appearance and its disappearance): an appearance or "STARTTIMER" (the return to the
// foreground) starts it only when none runs and the decision has not come, and at most one
// poll is in flight. The application stops the timer when it goes to the background with this
// screen on top (TimerHoldingScreen). A decision that comes while another screen lies on top
// is kept: its alert shows on the return.
//
// Practice sends nothing: each appearance shows the decision alert once, 2 s later, if the
// screen is still shown then.
class TrafficPoliceViewController : public BaseViewController,
                                    public TimerHoldingScreen,
                                    public ui::ActionSheetDelegate {
public:
    static constexpr const char* kClassName = "TrafficPoliceViewController";
    static constexpr const char* kTitle = "指导定责";
    static constexpr const char* kTip = "交警正在确认您的事故信息，请您耐心等待交警的定责指导结果！";
    static constexpr const char* kChatTitle = "联系交警";
    static constexpr const char* kQuitTitle = "退出";
    static constexpr const char* kGiveUpQuestion = "您确定放弃交警协助定责吗？如果放弃此事故会被视为无效事故";
    static constexpr const char* kRevokingText = "正在撤销案件";

    struct Arguments {
        GivenCaseMode simulateState;
        // The case's insurer, handed on.
        InsuranceCompany insurance;
        // Reopened from the case history: "返回" goes back without asking.
        bool isHistory = false;
        // No system back button (the screen shows its own left item anyway).
        bool hideBackButton = true;
    };
    explicit TrafficPoliceViewController(Arguments arguments)
        : insurance(std::move(arguments.insurance)), hideBackButton(arguments.hideBackButton),
          simulateState(arguments.simulateState), isHistory(arguments.isHistory),
          poller_(DecisionPoller::make({.owner = kClassName,
                                        .mode = simulateState,
                                        .keepLateDecision = true,
                                        .practiceAlert = true})) {}
    ~TrafficPoliceViewController() override;
    std::string className() const override { return kClassName; }

    const InsuranceCompany insurance;
    const bool hideBackButton;
    const CaseMode simulateState;
    const bool isHistory;

    // "接收": the police liability confirmation with the decision list (own party first).
    Output<void(std::vector<PoliceDutyModel> dateSorce, InsuranceCompany insruance)> onDecision{
        this, "onDecision"};
    // "联系交警": the case chat with the insurer.
    Output<void(InsuranceCompany insurance)> onChat{this, "onChat"};

    std::shared_ptr<foundation::Timer>& timer() override { return poller_->timer(); }

    // One poll tick.
    void loadData();
    // Starts polling when no timer runs and the screen is shown ("STARTTIMER").
    void openTimer();
    void backBtnClick();
    void quitBtnClick();
    void sendMessageBtnClick();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

    void didDismissWithButtonIndex(ui::ActionSheet& sheet, int buttonIndex) override;

private:
    friend class TrafficPoliceTestAPI;

    void buildViews();
    void accept(std::vector<PoliceDutyModel> records);
    void askToGiveUp();
    void giveUp();

    std::weak_ptr<ui::Label> tip_;
    std::weak_ptr<ui::ImageView> loadingView_;
    std::shared_ptr<ui::Button> sendMessage_;
    std::shared_ptr<DecisionPoller> poller_;
    std::shared_ptr<ui::ActionSheet> sheet_;
    bool givingUp_ = false;
};
