#include "liability/followup/RkTipsViewController.h"

#include "core/RequestManager.h"
#include "core/UserDateSingleton.h"
#include "liability/followup/FollowupStyle.h"

void RkTipsViewController::viewDidLoad() {
    BaseTableViewController::viewDidLoad();
    std::weak_ptr<RkTipsViewController> weak = sharedAs<RkTipsViewController>();
    followupstyle::setUpNavigationItem(*this, kTitle, false, nullptr);
    followupstyle::setRightTitleItem(*this, kRevokeTitle, [weak] {
        if (auto self = weak.lock()) self->clickAction();
    });
    view()->setBackgroundColor(followupstyle::backgroundGrey());
    auto table = tableView();
    followupstyle::styleTable(*table);
    table->setTableFooterView(followupstyle::footerWithButton(104, kExitTitle, [weak] {
        if (auto self = weak.lock()) self->clickBtnAction();
    }, button_));
    setDataSource({std::string(kMessage) + kPhonePlaceholder});
    table->reloadData();
}

void RkTipsViewController::clickAction() {
    auto alert = std::make_shared<ui::AlertView>(
        "", kRevokeQuestion, std::static_pointer_cast<ui::AlertViewDelegate>(sharedAs<RkTipsViewController>()),
        kConfirmTitle, std::vector<std::string>{kCancelTitle});
    alert->show();
}

void RkTipsViewController::clickedButtonAtIndex(ui::AlertView&, int buttonIndex) {
    if (buttonIndex == 0) revoke();
}

void RkTipsViewController::revoke() {
    if (revoking_) return;
    revoking_ = true;
    beginLoadingWithText(kSubmittingText);
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto params = UserDateSingleton::params({{"userid", state.userid()},
                                             {"accidentno", state.accidentno()},
                                             {"accidenttype", std::string("0")},
                                             {"type", std::string("1")}});
    std::weak_ptr<RkTipsViewController> weak = sharedAs<RkTipsViewController>();
    RequestManager::shareRequestManager().request_Taskstate_WithParams(params, [weak](const nlohmann::json& result,
                                                                                      const auto&) {
        auto self = weak.lock();
        if (!self) return;
        self->revoking_ = false;
        self->endLoading();
        if (!result.is_null()) followupstyle::leaveForNewHomePage();
    });
}

void RkTipsViewController::clickBtnAction() { followupstyle::leaveForNewHomePage(); }

double RkTipsViewController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) {
    const auto* text = entry<std::string>(static_cast<size_t>(indexPath.row));
    return followupstyle::textRowHeight(text ? *text : "");
}

std::shared_ptr<ui::TableViewCell> RkTipsViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                             ui::IndexPath indexPath) {
    const auto* text = entry<std::string>(static_cast<size_t>(indexPath.row));
    return followupstyle::textCell(tableView, indexPath, text ? *text : "", false);
}
