#include "liability/police/TrafficPoliceViewController.h"

#include "core/AppConfig.h"
#include "core/CaseInProgress.h"
#include "core/RequestManager.h"
#include "core/TextValues.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "liability/police/PoliceValues.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

using TextValues::sentValue;

TrafficPoliceViewController::~TrafficPoliceViewController() {
    foundation::NotificationCenter::defaultCenter().removeObserver(this);
}

// --- Views ----------------------------------------------------------------------------------------

void TrafficPoliceViewController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    view()->setBackgroundColor(ui::Color::white());
    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItem(*this, foundation::weakBind(this, &TrafficPoliceViewController::backBtnClick));
    Theme::addRightTitleItem(*this, kQuitTitle, foundation::weakBind(this, &TrafficPoliceViewController::quitBtnClick));
    buildViews();

    // The case chat finds the insurer in the user state.
    auto& state = UserDateSingleton::shareUserDateInstance();
    state.setInscomcode(insurance.inscomcode);
    state.setInscomname(insurance.inscomname);
    state.setInsphone(insurance.insphone);
    state.setInsreporttel(insurance.insreporttel);

    poller_->onAccept = foundation::weakBind(
        this, [](const auto& self, std::vector<PoliceDutyModel> records) { self->accept(std::move(records)); });
    foundation::NotificationCenter::defaultCenter().addObserver(
        "STARTTIMER",
        foundation::weakBind(this, [](const auto& self, const foundation::Notification&) { self->openTimer(); }), this);
}

void TrafficPoliceViewController::buildViews() {
    double width = ui::Screen::mainScreen().bounds().width();
    auto tip = std::make_shared<ui::Label>(ui::Rect(12.5, 12.5, width - 25, 100));
    tip->setNumberOfLines(0);
    tip->setFont(ui::Font::systemFont(17));
    tip->setText(kTip);
    view()->addSubview(tip);
    tip_ = tip;

    auto loading = std::make_shared<ui::ImageView>(ui::Rect(width / 2 - 87.5, tip->frame().maxY(), 175, 175));
    std::vector<ui::ImagePtr> frames;
    for (long i = 1; i <= 6; ++i) {
        if (auto image = ui::Image::named("loading00" + std::to_string(i))) frames.push_back(image);
    }
    if (!frames.empty()) loading->setImage(frames.front());
    loading->setAnimationImages(std::move(frames));
    loading->setAnimationDuration(1.2);
    view()->addSubview(loading);
    loadingView_ = loading;

    sendMessage_ = Theme::blueButton(kChatTitle);
    sendMessage_->setFrame({12.5, loading->frame().maxY() + 12.5, width - 25, 44});
    sendMessage_->addTarget(foundation::weakBind(this, &TrafficPoliceViewController::sendMessageBtnClick),
                            ui::ControlEvent::TouchUpInside, this);
    view()->addSubview(sendMessage_);
}

// --- Appearance and the timer ---------------------------------------------------------------------

void TrafficPoliceViewController::viewWillAppear(bool animated) {
    BaseViewController::viewWillAppear(animated);
    Theme::styleNavigationBar(*this);
    if (hideBackButton) navigationItem()->setHidesBackButton(true);
    if (auto loading = loadingView_.lock()) loading->startAnimating();
    poller_->start();
}

void TrafficPoliceViewController::viewDidAppear(bool animated) {
    BaseViewController::viewDidAppear(animated);
    poller_->appeared();
}

void TrafficPoliceViewController::viewWillDisappear(bool animated) {
    BaseViewController::viewWillDisappear(animated);
    poller_->stop();
}

void TrafficPoliceViewController::viewDidDisappear(bool animated) {
    BaseViewController::viewDidDisappear(animated);
    if (auto loading = loadingView_.lock()) loading->stopAnimating();
    poller_->stop();
}

void TrafficPoliceViewController::openTimer() { poller_->resume(); }

// --- Polling --------------------------------------------------------------------------------------

void TrafficPoliceViewController::loadData() { poller_->poll(); }

void TrafficPoliceViewController::accept(std::vector<PoliceDutyModel> records) {
    onDecision(std::move(records), insurance);
}

// --- Chat and giving up ---------------------------------------------------------------------------

void TrafficPoliceViewController::sendMessageBtnClick() { onChat(insurance); }

void TrafficPoliceViewController::backBtnClick() {
    if (isHistory) {
        if (auto navigation = navigationController()) navigation->popViewController(true);
        return;
    }
    askToGiveUp();
}

void TrafficPoliceViewController::quitBtnClick() { askToGiveUp(); }

void TrafficPoliceViewController::askToGiveUp() {
    if (sheet_ && sheet_->isVisible()) return;
    std::weak_ptr<ui::ActionSheetDelegate> delegate = sharedAs<TrafficPoliceViewController>();
    sheet_ = std::make_shared<ui::ActionSheet>(kGiveUpQuestion, delegate, "取消", "", std::vector<std::string>{"确定"});
    sheet_->showInView(view());
}

void TrafficPoliceViewController::didDismissWithButtonIndex(ui::ActionSheet& sheet, int buttonIndex) {
    bool confirmed = sheet.buttonTitleAtIndex(buttonIndex) == "确定";
    if (sheet_.get() == &sheet) sheet_.reset();
    // Only a tap of "确定" gives up; any other way the sheet goes changes nothing.
    if (confirmed) giveUp();
}

void TrafficPoliceViewController::giveUp() {
    auto navigation = navigationController();
    if (simulateState == CaseMode::Practice) {
        if (navigation) navigation->popToRootViewController(true);
        return;
    }
    if (givingUp_) return;
    givingUp_ = true;
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto params = UserDateSingleton::params({{"userid", sentValue(state.userid())},
                                             {"accidentno", sentValue(CaseInProgress::number())},
                                             {"appkey", AppConfig::appKey()},
                                             {"sn", sentValue(state.sn())},
                                             {"accidenttype", std::string("0")},
                                             {"type", std::string("0")}});
    ProgressHUD::showMessage(kRevokingText);
    std::weak_ptr<TrafficPoliceViewController> weak = sharedAs<TrafficPoliceViewController>();
    RequestManager::shareRequestManager().request_Taskstate_WithParams(
        params, [weak](const nlohmann::json&, const RequestOutcome& outcome) {
            auto self = weak.lock();
            if (self) self->givingUp_ = false;
            if (!outcome.answered()) return;  // the API client hid the spinner and said why
            ProgressHUD::hideHUD();
            if (!self) return;
            if (auto navigation = self->navigationController()) navigation->popToRootViewController(true);
        });
}
