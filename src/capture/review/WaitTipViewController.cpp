#include "capture/review/WaitTipViewController.h"

#include "capture/review/PhotoResultModle.h"
#include "capture/review/PhotoTipViewController.h"
#include "core/AppConfig.h"
#include "core/ApplicationRoutes.h"
#include "core/CaseInProgress.h"
#include "core/CustomNavigationController.h"
#include "core/PhotoResultRequest.h"
#include "core/RequestManager.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"

WaitTipViewController::WaitTipViewController(Arguments arguments)
    : simulateState(arguments.simulateState), isHistory(arguments.isHistory) {}

WaitTipViewController::~WaitTipViewController() {
    if (timer_) timer_->invalidate();
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
}

void WaitTipViewController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItem(*this, foundation::weakBind(this, &WaitTipViewController::backBtnClick));
    Theme::addRightTitleItem(*this, kQuitTitle, foundation::weakBind(this, &WaitTipViewController::quitBtnClick));
    view()->setBackgroundColor(Theme::pageGrey());
    auto tip = Theme::label(kTipText, 20, Theme::hintGrey());
    tip->setNumberOfLines(0);
    view()->addSubview(tip);
    tip_ = tip;
    layout();
    heartRequest();
}

void WaitTipViewController::viewWillAppear(bool animated) {
    BaseViewController::viewWillAppear(animated);
    Theme::styleNavigationBar(*this, kTitle);
    ++round_;
    shown_ = true;
    handingOver_ = false;
    openTimer();
    auto& center = foundation::NotificationCenter::defaultCenter();
    center.removeObserver(this, "STARTTIMER");
    center.addObserver(
        "STARTTIMER",
        foundation::weakBind(this, [](const auto& self, const foundation::Notification&) { self->openTimer(); }), this);
    layout();
}

void WaitTipViewController::viewDidAppear(bool animated) {
    BaseViewController::viewDidAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false);
}

void WaitTipViewController::viewWillDisappear(bool animated) {
    BaseViewController::viewWillDisappear(animated);
    shown_ = false;
    if (timer_) {
        if (timer_->isValid()) timer_->invalidate();
        timer_.reset();
    }
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
}

void WaitTipViewController::layout() {
    if (auto tip = tip_.lock()) tip->setFrame({12.5, 12.5, view()->bounds().width() - 25, 120});
}

void WaitTipViewController::openTimer() {
    // One timer: a second start while one runs would poll twice as often, for ever.
    if (timer_ && timer_->isValid()) return;
    timer_ = foundation::RunLoop::main().scheduleTimer(
        kPollInterval, true,
        foundation::weakBind(this, [](const auto& self, foundation::Timer&) { self->heartRequest(); }));
}

bool WaitTipViewController::mayHandOver(std::uint64_t round) const {
    return shown_ && round == round_ && !handingOver_ && !givingUp_;
}

void WaitTipViewController::heartRequest() {
    // A poll of the load (before the first appearance) counts for the first appearance.
    std::uint64_t round = shown_ ? round_ : round_ + 1;
    if (simulateState != CaseMode::Real) {
        foundation::dispatch::after(kPracticeDelay, foundation::weakBind(this, [round](const auto& self) {
                                        if (!self->mayHandOver(round)) return;
                                        self->openMoveCar();
                                    }));
        return;
    }
    // No poll while the give-up is on its way: its answer decides where the driver goes.
    if (cancelling_) return;
    auto& state = UserDateSingleton::shareUserDateInstance();
    PhotoResultRequest request;
    request.userid = state.userid();
    request.accidentno = CaseInProgress::number();
    request.sn = state.sn();
    request.appkey = AppConfig::appKey();
    RequestManager::shareRequestManager().request_getphotoresult_WithParams(
        request.keyValues(), foundation::weakBind(this, [round](const auto& self, const nlohmann::json& reply,
                                                                const RequestOutcome& outcome) {
            // The API client takes every spinner away with a poll's answer; the give-up's
            // stays until the give-up itself answers.
            if (self->cancelling_) {
                ProgressHUD::showMessage(kLeavingText);
                return;
            }
            if (!outcome.answered() || !reply.is_object()) return;
            auto result = PhotoResultModle::objectWithKeyValues(reply)->result;
            if (!result || (*result != "0" && *result != "1")) return;
            if (!self->mayHandOver(round)) {
                foundation::log("getphotoresult: a late answer \"" + *result + "\" is ignored");
                return;
            }
            if (*result == "0") {
                auto it = reply.find("list");
                self->presentRetake(it != reply.end() ? *it : nlohmann::json());
            } else {
                self->openMoveCar();
            }
        }));
}

void WaitTipViewController::presentRetake(const nlohmann::json& list) {
    handingOver_ = true;
    auto& application = ui::Application::shared();
    application.setApplicationIconBadgeNumber(1);
    application.setApplicationIconBadgeNumber(0);
    resultArray_ = DisqualificationResult::resultsFromList(list);
    auto retake = std::make_shared<PhotoTipViewController>(
        PhotoTipViewController::Arguments{.simulateState = simulateState, .resultArray = resultArray_});
    presentViewController(std::make_shared<CustomNavigationController>(retake), true);
}

void WaitTipViewController::openMoveCar() {
    handingOver_ = true;
    if (!onMoveCar()) handingOver_ = false;
}

// ---- giving up ----

void WaitTipViewController::backBtnClick() {
    if (isHistory) {
        if (auto navigation = navigationController()) navigation->popViewController(true);
        return;
    }
    showGiveUpSheet(kLeftItemTag);
}

void WaitTipViewController::quitBtnClick() { showGiveUpSheet(kRightItemTag); }

void WaitTipViewController::showGiveUpSheet(int tag) {
    if (givingUp_) return;
    // While the question is up, polls hand over nothing.
    givingUp_ = true;
    std::weak_ptr<ui::ActionSheetDelegate> delegate = sharedAs<WaitTipViewController>();
    sheet_ = std::make_shared<ui::ActionSheet>(kGiveUpQuestion, delegate, kGiveUpCancel, "",
                                               std::vector<std::string>{kGiveUpConfirm});
    sheet_->setTag(tag);
    sheet_->showInView(view());
}

void WaitTipViewController::didDismissWithButtonIndex(ui::ActionSheet& sheet, int buttonIndex) {
    int tag = sheet.tag();
    if (sheet_.get() == &sheet) sheet_.reset();
    // Only a tap of "确定" gives up; "取消" or a dismissal that no tap caused keeps the wait.
    if (buttonIndex != 0) {
        givingUp_ = false;
        return;
    }
    giveUp(tag);
}

void WaitTipViewController::giveUp(int tag) {
    if (simulateState != CaseMode::Real) {
        leaveAfterGiveUp(tag);
        return;
    }
    ProgressHUD::showMessage(kLeavingText);
    cancelling_ = true;
    // Polls sent before the give-up answer for a wait the driver has left: none of them acts,
    // even after a failed give-up.
    ++round_;
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto params = UserDateSingleton::params({{"userid", state.userid()},
                                             {"accidentno", CaseInProgress::number()},
                                             {"sn", state.sn()},
                                             {"appkey", AppConfig::appKey()}});
    RequestManager::shareRequestManager().request_cancelcheck_WithParams(
        params,
        foundation::weakBind(this, [tag](const auto& self, const nlohmann::json&, const RequestOutcome& outcome) {
            self->cancelling_ = false;
            if (!outcome.answered()) {
                // The API client said why; the case stays under review and the wait goes on.
                self->givingUp_ = false;
                return;
            }
            ProgressHUD::hideHUD();
            self->leaveAfterGiveUp(tag);
        }));
}

void WaitTipViewController::leaveAfterGiveUp(int tag) {
    if (tag == kRightItemTag) {
        if (!ApplicationRoutes::leaveForNewHomePage()) {
            if (auto navigation = navigationController()) navigation->popToRootViewController(true);
        }
        return;
    }
    auto navigation = navigationController();
    auto accidentKind = accidentKindScreen ? accidentKindScreen() : nullptr;
    if (navigation && accidentKind) {
        for (const auto& screen : navigation->viewControllers()) {
            if (screen == accidentKind) {
                navigation->popToViewController(accidentKind, true);
                return;
            }
        }
    }
    // No accident-kind screen to go back to: the screen stays, and so does the polling.
    foundation::log("WaitTipViewController: no accident-kind screen in the stack; the wait stays");
    givingUp_ = false;
}
