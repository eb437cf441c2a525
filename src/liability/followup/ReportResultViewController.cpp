#include "liability/followup/ReportResultViewController.h"

#include "core/AppConfig.h"
#include "core/ApplicationRoutes.h"
#include "core/CaseInProgress.h"
#include "core/FooterButtonView.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/TextValues.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "liability/followup/FollowupRows.h"
#include "liability/followup/FollowupValues.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/NavigationController.h"

ReportResultViewController::ReportResultViewController(Arguments arguments)
    : curCompary(std::make_shared<InsuranceCompany>(arguments.curCompary)),
      simualateState(arguments.simualateState),
      isBackBtn(arguments.isBackBtn) {}

ReportResultViewController::~ReportResultViewController() {
    if (timer_) timer_->invalidate();
}

std::string ReportResultViewController::messageText() const {
    const auto& phone = curCompary->insphone;
    return std::string(kMessage) + (phone && !phone->empty() ? *phone : kNoPhoneText);
}

std::shared_ptr<ui::View> ReportResultViewController::footerView() {
    if (footerView_) return footerView_;
    auto footer = std::make_shared<FooterButtonView>(Theme::greyButton(kHomeTitle), FooterButtonLayout::spacious(104));
    footer->onTap = foundation::weakBind(this, &ReportResultViewController::clickBtnAction);
    button_ = footer->button();
    footerView_ = footer;
    return footerView_;
}

void ReportResultViewController::viewDidLoad() {
    BaseTableViewController::viewDidLoad();
    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItemOrNone(*this, isBackBtn, foundation::weakBind(this, &ReportResultViewController::backItemClick));
    Theme::addRightTitleItem(*this, kRevokeTitle, foundation::weakBind(this, &ReportResultViewController::clickAction));
    view()->setBackgroundColor(Theme::pageGrey());
    auto table = tableView();
    Theme::styleContentTable(*table);
    table->setTableFooterView(footerView());
    setDataSource({messageText()});
    table->reloadData();

    if (simualateState != CaseMode::Real) return;
    loadDataSource();
    timer_ = foundation::RunLoop::main().scheduleTimer(
        kPollInterval, true,
        foundation::weakBind(this, [](const auto& self, foundation::Timer&) { self->loadDataSource(); }));
}

void ReportResultViewController::viewWillDisappear(bool animated) {
    BaseTableViewController::viewWillDisappear(animated);
    stopPolling();
}

void ReportResultViewController::stopPolling() {
    pollingOver_ = true;
    if (timer_) {
        timer_->invalidate();
        timer_.reset();
    }
}

void ReportResultViewController::loadDataSource() {
    if (pollingOver_ || simualateState != CaseMode::Real) return;
    auto userid = UserDateSingleton::shareUserDateInstance().userid();
    auto params = UserDateSingleton::params({{"userid", userid},
                                             {"accidentno", CaseInProgress::number()},
                                             {"appkey", AppConfig::appKey()},
                                             {"sn", userid ? std::optional(StringExtension::snWithString(*userid))
                                                           : std::nullopt}});
    RequestManager::shareRequestManager().request_Result_WithParams(
        params, foundation::weakBind(
                    this, [](const auto& self, const nlohmann::json& result, const auto&) { self->receive(result); }));
}

void ReportResultViewController::receive(const nlohmann::json& reply) {
    // Ticks do not wait for earlier replies: only the first passed one counts. While a revoke
    // is on its way the result waits for the next tick (the revoke may end the case).
    if (reply.is_null() || pollingOver_ || revoking_) return;
    stopPolling();
    onClaimResult(CaseInProgress::number().value_or(""), TextValues::replyText(reply, "result"));
}

void ReportResultViewController::clickAction() {
    auto alert = std::make_shared<ui::AlertView>("", kRevokeQuestion,
                                                 std::static_pointer_cast<ui::AlertViewDelegate>(
                                                     sharedAs<ReportResultViewController>()),
                                                 kConfirmTitle, std::vector<std::string>{kCancelTitle});
    alert->show();
}

void ReportResultViewController::clickedButtonAtIndex(ui::AlertView&, int buttonIndex) {
    // Only a finger on "确定" (the cancel button, index 0) revokes.
    if (buttonIndex != 0) return;
    revoke();
}

void ReportResultViewController::revoke() {
    if (simualateState != CaseMode::Real) {
        if (followupstyle::signedInUserid()) {
            leaveForHomePage();
        } else {
            stopPolling();
            popLoginViewController();
        }
        return;
    }
    if (revoking_) return;
    revoking_ = true;
    beginLoadingWithText(kSubmittingText);
    auto userid = UserDateSingleton::shareUserDateInstance().userid();
    auto params = UserDateSingleton::params({{"userid", userid},
                                             {"accidentno", CaseInProgress::number()},
                                             {"accidenttype", std::string("0")},
                                             {"type", std::string("1")},
                                             {"appkey", AppConfig::appKey()},
                                             {"sn", userid ? std::optional(StringExtension::snWithString(*userid))
                                                           : std::nullopt}});
    RequestManager::shareRequestManager().request_Taskstate_WithParams(
        params, foundation::weakBind(this, [](const auto& self, const nlohmann::json& result, const auto&) {
            self->revoking_ = false;
            self->endLoading();
            if (result.is_null()) return;
            self->leaveForHomePage();
        }));
}

void ReportResultViewController::clickBtnAction() {
    if (simualateState != CaseMode::Real && !followupstyle::signedInUserid()) {
        stopPolling();
        popLoginViewController();
        return;
    }
    leaveForHomePage();
}

void ReportResultViewController::leaveForHomePage() {
    stopPolling();
    ApplicationRoutes::leaveForNewHomePage();
}

void ReportResultViewController::backItemClick() {
    if (auto navigation = navigationController()) navigation->popViewController(true);
}

double ReportResultViewController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) {
    const auto* text = entry<std::string>(static_cast<size_t>(indexPath.row));
    return followuprows::textRowHeight(text ? *text : "");
}

std::shared_ptr<ui::TableViewCell> ReportResultViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                   ui::IndexPath indexPath) {
    const auto* text = entry<std::string>(static_cast<size_t>(indexPath.row));
    return followuprows::textCell(tableView, indexPath, text ? *text : "", false);
}
