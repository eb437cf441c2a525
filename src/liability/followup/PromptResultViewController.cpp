#include "liability/followup/PromptResultViewController.h"

#include "core/AppConfig.h"
#include "core/ApplicationRoutes.h"
#include "core/FooterButtonView.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/TextValues.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "liability/followup/FollowupRows.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/NavigationController.h"

PromptResultViewController::PromptResultViewController(Arguments arguments)
    : accidentno(std::move(arguments.accidentno)),
      textValue(std::move(arguments.textValue)),
      isShowBtn(arguments.isShowBtn),
      simualateState(arguments.simualateState) {}

PromptResultViewController::~PromptResultViewController() {
    if (timer_) timer_->invalidate();
}

void PromptResultViewController::viewDidLoad() {
    BaseTableViewController::viewDidLoad();
    Theme::styleNavigationBar(*this, kTitle);
    // No back item beside the rating button, unless a notice opened this as the application's
    // only screen: without a way out the driver would be held here for as long as the server
    // has no result to give.
    auto navigation = navigationController();
    const bool onlyScreen = isShowBtn && navigation && navigation->viewControllers().size() == 1 &&
                            navigation->topViewController().get() == this;
    auto back = foundation::weakBind(this, [onlyScreen](const auto& self) {
        if (!onlyScreen) return self->backItemClick();
        self->stopWaiting();
        ApplicationRoutes::closeOrLeaveForNewHomePage(*self);
    });
    Theme::addBackItemOrNone(*this, !isShowBtn || onlyScreen, back);
    view()->setBackgroundColor(Theme::pageGrey());
    auto table = tableView();
    Theme::styleContentTable(*table);
    if (isShowBtn) {
        auto footer =
            std::make_shared<FooterButtonView>(Theme::greyButton(kRatingTitle), FooterButtonLayout::spacious(200));
        footer->onTap = foundation::weakBind(this, &PromptResultViewController::clickAction);
        button_ = footer->button();
        table->setTableFooterView(footer);
    }

    if (textValue) {
        setDataSource({*textValue});
        table->reloadData();
        return;
    }

    waiting_ = true;
    if (button_) button_->setEnabled(false);
    activityIndicator_ = std::make_shared<ui::ActivityIndicatorView>(ui::ActivityIndicatorViewStyle::WhiteLarge);
    activityIndicator_->setColor(ui::Color::gray());
    auto bounds = view()->bounds();
    auto size = activityIndicator_->frame().size;
    activityIndicator_->setFrame({(bounds.width() - size.width) / 2, (bounds.height() - size.height) / 2, size.width,
                                  size.height});
    view()->addSubview(activityIndicator_);
    activityIndicator_->startAnimating();
    setDataSource({std::string(kWaitingText)});
    table->reloadData();

    loadDataSource();
    timer_ = foundation::RunLoop::main().scheduleTimer(
        kPollInterval, true,
        foundation::weakBind(this, [](const auto& self, foundation::Timer&) { self->loadDataSource(); }));
}

void PromptResultViewController::viewWillDisappear(bool animated) {
    BaseTableViewController::viewWillDisappear(animated);
    stopWaiting();
}

void PromptResultViewController::stopWaiting() {
    pollingOver_ = true;
    if (timer_) {
        timer_->invalidate();
        timer_.reset();
    }
    if (activityIndicator_) activityIndicator_->stopAnimating();
}

void PromptResultViewController::loadDataSource() {
    if (pollingOver_ || !waiting_) return;
    auto userid = UserDateSingleton::shareUserDateInstance().userid();
    auto params = UserDateSingleton::params({{"userid", userid},
                                             {"accidentno", accidentno},
                                             {"appkey", AppConfig::appKey()},
                                             {"sn", userid ? std::optional(StringExtension::snWithString(*userid))
                                                           : std::nullopt}});
    RequestManager::shareRequestManager().request_Result_WithParams(
        params, foundation::weakBind(
                    this, [](const auto& self, const nlohmann::json& result, const auto&) { self->receive(result); }));
}

void PromptResultViewController::receive(const nlohmann::json& reply) {
    if (reply.is_null() || pollingOver_ || !waiting_) return;
    auto text = TextValues::replyText(reply, "result");
    if (!text) return;  // passed, but nothing to show yet: keep waiting
    waiting_ = false;
    stopWaiting();
    setDataSource({*text});
    tableView()->reloadData();
    if (button_) button_->setEnabled(true);
}

void PromptResultViewController::clickAction() {
    stopWaiting();
    onRating();
}

void PromptResultViewController::backItemClick() {
    if (auto navigation = navigationController()) navigation->popViewController(true);
}

double PromptResultViewController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) {
    const auto* text = entry<std::string>(static_cast<size_t>(indexPath.row));
    return followuprows::textRowHeight(text ? *text : "");
}

std::shared_ptr<ui::TableViewCell> PromptResultViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                   ui::IndexPath indexPath) {
    const auto* text = entry<std::string>(static_cast<size_t>(indexPath.row));
    return followuprows::textCell(tableView, indexPath, text ? *text : "", true);
}
