#include "liability/followup/RkTipsViewController.h"

#include "core/ApplicationRoutes.h"
#include "core/CaseInProgress.h"
#include "core/FooterButtonView.h"
#include "core/RequestManager.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "liability/followup/FollowupRows.h"
#include "platform/foundation/WeakBind.h"

void RkTipsViewController::viewDidLoad() {
    BaseTableViewController::viewDidLoad();
    Theme::styleNavigationBar(*this, kTitle);
    Theme::hideBackItem(*this);
    Theme::addRightTitleItem(*this, kRevokeTitle, foundation::weakBind(this, &RkTipsViewController::clickAction));
    view()->setBackgroundColor(Theme::pageGrey());
    auto table = tableView();
    Theme::styleContentTable(*table);
    auto footer = std::make_shared<FooterButtonView>(Theme::greyButton(kExitTitle), FooterButtonLayout::spacious(104));
    footer->onTap = foundation::weakBind(this, &RkTipsViewController::clickBtnAction);
    button_ = footer->button();
    table->setTableFooterView(footer);
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
                                             {"accidentno", CaseInProgress::number()},
                                             {"accidenttype", std::string("0")},
                                             {"type", std::string("1")}});
    RequestManager::shareRequestManager().request_Taskstate_WithParams(
        params, foundation::weakBind(this, [](const auto& self, const nlohmann::json& result, const auto&) {
            self->revoking_ = false;
            self->endLoading();
            if (!result.is_null()) ApplicationRoutes::leaveForNewHomePage();
        }));
}

void RkTipsViewController::clickBtnAction() { ApplicationRoutes::leaveForNewHomePage(); }

double RkTipsViewController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) {
    const auto* text = entry<std::string>(static_cast<size_t>(indexPath.row));
    return followuprows::textRowHeight(text ? *text : "");
}

std::shared_ptr<ui::TableViewCell> RkTipsViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                             ui::IndexPath indexPath) {
    const auto* text = entry<std::string>(static_cast<size_t>(indexPath.row));
    return followuprows::textCell(tableView, indexPath, text ? *text : "", false);
}
