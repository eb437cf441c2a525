#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "capture/review/DisqualificationResult.h"
#include "core/BaseViewController.h"
#include "core/CaseMode.h"
#include "core/Output.h"
#include "core/ScreenRegistry.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Label.h"

// "温馨提示": the wait while a reviewer checks the evidence photos of a multi-car case. The
// screen polls "getphotoresult" every 5 s while it is shown (and once when it loads). A
// rejection ("0") presents the re-take of the rejected photos in its own navigation controller;
// an acceptance ("1") goes on to the move-car tips (`onMoveCar`).
//
// One hand-over per wait: polls do not wait for earlier replies, so a reply acts only while the
// screen is shown, no hand-over or give-up is under way, and it was asked for during the
// current appearance; every other reply is ignored.
//
// Giving up ("退出", or the left item of a new case) asks first; only "确定" cancels the case
// ("cancelcheck"): the right item then leaves for a new home page, the left item goes back to
// the accident-kind screen (`accidentKindScreen`), and stays when there is none in the stack.
// Opened from the history (`isHistory`), the left item simply goes back.
//
// Practice (`simulateState`) sends nothing: the move-car tips follow 2 s after loading, and the
// give-up cancels without a request.
class WaitTipViewController : public BaseViewController, public ui::ActionSheetDelegate, public TimerHoldingScreen {
public:
    static constexpr const char* kTitle = "温馨提示";
    static constexpr const char* kQuitTitle = "退出";
    static constexpr const char* kTipText =
        "您拍摄的现场取证照片已上传，系统正在查验是否清晰，请您在确保安全的情况下，在原地稍候。。。";
    static constexpr const char* kGiveUpQuestion = "您确定放弃照片审核吗?如果放弃此事故会被视为无效事故";
    static constexpr const char* kGiveUpConfirm = "确定";
    static constexpr const char* kGiveUpCancel = "取消";
    static constexpr const char* kLeavingText = "正在退出";
    static constexpr double kPollInterval = 5.0;
    static constexpr double kPracticeDelay = 2.0;
    // The sheet's tag: which item opened it.
    static constexpr int kLeftItemTag = 0;
    static constexpr int kRightItemTag = 1;

    struct Arguments {
        GivenCaseMode simulateState;
        bool isHistory = false;
    };
    explicit WaitTipViewController(Arguments arguments);
    ~WaitTipViewController() override;
    std::string className() const override { return "WaitTipViewController"; }

    const CaseMode simulateState;
    const bool isHistory;

    // Every photo accepted: the move-car tips.
    Output<void()> onMoveCar{this, "onMoveCar"};
    // The accident-kind screen of the case, as the opener knows it (null: none).
    std::function<std::shared_ptr<ui::ViewController>()> accidentKindScreen;

    // The rejected photos of the last rejection, converted once from the reply's "list".
    const std::vector<DisqualificationResult>& resultArray() const { return resultArray_; }

    // The repeating poll timer while it runs (the application delegate stops it in the background).
    std::shared_ptr<foundation::Timer>& timer() override { return timer_; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // One poll.
    void heartRequest();
    // Starts the repeating poll unless a valid timer runs.
    void openTimer();
    void backBtnClick();
    void quitBtnClick();
    void didDismissWithButtonIndex(ui::ActionSheet& sheet, int buttonIndex) override;

private:
    friend class WaitTipTestAPI;

    // Whether a reply asked for in appearance `round` may hand over now.
    bool mayHandOver(std::uint64_t round) const;
    void presentRetake(const nlohmann::json& list);
    void openMoveCar();
    void showGiveUpSheet(int tag);
    void giveUp(int tag);
    void leaveAfterGiveUp(int tag);
    void layout();

    std::vector<DisqualificationResult> resultArray_;
    std::shared_ptr<foundation::Timer> timer_;
    std::shared_ptr<ui::ActionSheet> sheet_;
    std::weak_ptr<ui::Label> tip_;
    // Counts the appearances: a reply acts only in the appearance it was asked for in.
    std::uint64_t round_ = 0;
    bool shown_ = false;
    bool handingOver_ = false;
    bool givingUp_ = false;
    // "cancelcheck" is on its way: no poll goes out, and the spinner stays until it answers.
    bool cancelling_ = false;
};
