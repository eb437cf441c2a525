#include "liability/notices/NotificationInfoViewController.h"

#include "core/AppConfig.h"
#include "core/ApplicationRoutes.h"
#include "core/ButtonExtension.h"
#include "core/FooterButtonView.h"
#include "core/KeyValue.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/TextValues.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

namespace {

}  // namespace

NotificationInfoViewController::Arguments NotificationInfoViewController::Arguments::forNotice(
    const std::string& type, const nlohmann::json& content) {
    Arguments arguments;
    arguments.accidentno = TextValues::replyText(content, "accidentno").value_or("");
    if (type == kClaimResultType) {
        arguments = forKind(3, arguments.accidentno);
        arguments.text.reset();
        arguments.loadsClaimResult = true;
    } else if (type == kClaimType) {
        // The claim state picks the kind: 0, 1 or 2, as a number or its text; anything else is 0.
        int kind = 0;
        auto it = content.is_object() ? content.find("claimstate") : content.end();
        if (it != content.end()) {
            if (it->is_number_integer() && it->get<long long>() >= 0 && it->get<long long>() <= 2)
                kind = static_cast<int>(it->get<long long>());
            else if (it->is_string() && (*it == "0" || *it == "1" || *it == "2"))
                kind = it->get<std::string>()[0] - '0';
        }
        if (kind == 0 && it != content.end() && *it != 0 && *it != "0")
            foundation::log("NotificationInfoViewController: a claim state of " + it->dump() +
                            " shows the empty notice");
        arguments = forKind(kind, arguments.accidentno);
    }
    return arguments;
}

NotificationInfoViewController::Arguments NotificationInfoViewController::Arguments::forKind(
    int kind, std::string accidentno, std::optional<std::string> result) {
    Arguments arguments;
    arguments.notiType = kind;
    arguments.accidentno = std::move(accidentno);
    switch (kind) {
        case 1:
            arguments.text = std::string(kEstimatingText) + kServiceTelephone;
            arguments.isBarItem = true;
            break;
        case 2:
        case 3:
            arguments.text = kind == 2 ? std::string(kOfflineText) : result.value_or("");
            arguments.btnTitle = kind == 2 ? kOfflineTitle : kRatingTitle;
            arguments.isButton = true;
            arguments.btnImage = kButtonImage;
            arguments.btnHightImage = kButtonHighlightedImage;
            break;
        default:
            arguments.notiType = 0;
            break;
    }
    return arguments;
}

NotificationInfoViewController::NotificationInfoViewController(Arguments arguments)
    : notiType(arguments.notiType),
      isButton(arguments.isButton),
      isBarItem(arguments.isBarItem),
      btnTitle(std::move(arguments.btnTitle)),
      btnImage(std::move(arguments.btnImage)),
      btnHightImage(std::move(arguments.btnHightImage)),
      accidentno(std::move(arguments.accidentno)),
      loadsClaimResult_(arguments.loadsClaimResult) {
    if (arguments.text) setDataSource({*arguments.text});
}

void NotificationInfoViewController::viewDidLoad() {
    BaseTableViewController::viewDidLoad();
    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItem(*this, foundation::weakBind(this, &NotificationInfoViewController::backClickAction));
    if (isBarItem) {
        Theme::addRightTitleItem(*this, kRevokeTitle,
                                 foundation::weakBind(this, &NotificationInfoViewController::barClickAction));
    }
    view()->setBackgroundColor(Theme::pageGrey());
    auto table = tableView();
    Theme::styleContentTable(*table);
    table->setTableFooterView(isButton ? tableFooterView() : std::make_shared<ui::View>());
    table->reloadData();
    if (loadsClaimResult_) loadDataSource();
}

std::shared_ptr<ui::View> NotificationInfoViewController::tableFooterView() {
    if (!footerView_) {
        auto footer = std::make_shared<FooterButtonView>(ButtonExtension::buttonWithName(btnTitle, btnImage, btnHightImage),
                                                         FooterButtonLayout::spacious(kFooterHeight));
        footer->onTap = foundation::weakBind(this, &NotificationInfoViewController::clickAction);
        button_ = footer->button();
        footerView_ = footer;
    }
    return footerView_;
}

void NotificationInfoViewController::loadDataSource() {
    auto userid = UserDateSingleton::shareUserDateInstance().userid();
    auto params = UserDateSingleton::params({{"userid", userid},
                                             {"accidentno", accidentno},
                                             {"appkey", AppConfig::appKey()},
                                             {"sn", userid ? std::optional(StringExtension::snWithString(*userid))
                                                           : std::nullopt}});
    beginLoadingWithText(kLoadingText);
    RequestManager::shareRequestManager().request_Result_WithParams(
        params, foundation::weakBind(this, [](const auto& self, const nlohmann::json& result, const RequestOutcome&) {
            self->receiveClaimResult(result);
        }));
}

void NotificationInfoViewController::receiveClaimResult(const nlohmann::json& reply) {
    endLoading();
    if (reply.is_null()) return;
    setDataSource({TextValues::replyText(reply, "result").value_or("")});
    auto table = tableView();
    table->setTableFooterView(tableFooterView());
    table->reloadData();
}

void NotificationInfoViewController::clickAction() {
    if (notiType != 2 && notiType != 3) return;
    onAppraisal(accidentno);
}

void NotificationInfoViewController::barClickAction() {
    auto alert = std::make_shared<ui::AlertView>(
        "", kRevokeQuestion,
        std::static_pointer_cast<ui::AlertViewDelegate>(sharedAs<NotificationInfoViewController>()), kConfirmTitle,
        std::vector<std::string>{kCancelTitle});
    alert->show();
}

void NotificationInfoViewController::clickedButtonAtIndex(ui::AlertView&, int buttonIndex) {
    // "确定" is the alert's first button (index 0); "取消" does nothing.
    if (buttonIndex == 0) revoke();
}

void NotificationInfoViewController::revoke() {
    if (revoking_) return;
    revoking_ = true;
    // The revoke pair as the service takes it: no "appkey" or "sn".
    auto params = UserDateSingleton::params({{"userid", UserDateSingleton::shareUserDateInstance().userid()},
                                             {"accidentno", accidentno},
                                             {"accidenttype", std::string("0")},
                                             {"type", std::string("1")}});
    beginLoadingWithText(kSubmittingText);
    RequestManager::shareRequestManager().request_Taskstate_WithParams(
        params, foundation::weakBind(this, [](const auto& self, const nlohmann::json& result, const RequestOutcome&) {
            self->revoking_ = false;
            self->endLoading();
            // Refused or failed: the client has said why; the notice stays as it was.
            if (result.is_null()) return;
            // The case is gone: a fresh home page replaces the notice, which cannot revoke again.
            ApplicationRoutes::leaveForNewHomePage();
        }));
}

void NotificationInfoViewController::backClickAction() { ApplicationRoutes::closeOrLeaveForNewHomePage(*this); }

double NotificationInfoViewController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) {
    const auto* text = entry<std::string>(static_cast<size_t>(indexPath.row));
    double width = ui::Screen::mainScreen().bounds().width() - 30;
    return graphics::measureText(text ? *text : "", ui::Font::systemFont(18), width).height + 30;
}

std::shared_ptr<ui::TableViewCell> NotificationInfoViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                       ui::IndexPath indexPath) {
    const auto* text = entry<std::string>(static_cast<size_t>(indexPath.row));
    auto cell = tableView.dequeueReusableCellWithIdentifier("UITableViewCell", indexPath);
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    cell->setBackgroundColor(ui::Color::clear());
    auto label = cell->textLabel();
    label->setNumberOfLines(0);
    label->setFont(ui::Font::systemFont(18));
    label->setLineBreakMode(ui::LineBreakMode::CharWrapping);
    label->setText(text ? *text : "");
    return cell;
}
