#include "capture/entry/CallPoliceTipsViewController.h"

#include "core/AccountTool.h"
#include "core/Theme.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"

void CallPoliceTipsViewController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    view()->setBackgroundColor(ui::Color::white());
    navigationItem()->setHidesBackButton(true);
    Theme::addBackItem(*this, foundation::weakBind(this, &CallPoliceTipsViewController::backBtnClick));
    setTitle(kTitle);

    auto header = Theme::label(kHeaderText, 20, Theme::hintGrey());
    view()->addSubview(header);
    headerTips_ = header;

    auto main = Theme::label(kMainText, 20, ui::Color::black());
    main->setNumberOfLines(0);
    view()->addSubview(main);
    mainTips_ = main;

    auto confirm = Theme::blueButton(kConfirmTitle, Theme::systemButtonFont());
    confirm->addTarget(foundation::weakBind(this, &CallPoliceTipsViewController::confirmBtnClick),
                       ui::ControlEvent::TouchUpInside);
    view()->addSubview(confirm);
    confirm_ = confirm;

    auto callPolice = Theme::blueButton(kCallPoliceTitle, Theme::systemButtonFont());
    callPolice->addTarget(foundation::weakBind(this, &CallPoliceTipsViewController::callPoliceBtnClick),
                          ui::ControlEvent::TouchUpInside);
    view()->addSubview(callPolice);
    callPolice_ = callPolice;
}

void CallPoliceTipsViewController::viewWillAppear(bool animated) {
    BaseViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, animated);
    Theme::styleNavigationBar(*this, kTitle);
    layout();
}

void CallPoliceTipsViewController::layout() {
    auto header = headerTips_.lock();
    auto main = mainTips_.lock();
    auto confirm = confirm_.lock();
    auto callPolice = callPolice_.lock();
    if (!header || !main || !confirm || !callPolice) return;
    const double margin = 12.5;
    double width = view()->bounds().width() - 2 * margin;
    header->setFrame({margin, margin, width, 0});
    header->sizeToFit();
    main->setFrame({margin, header->frame().maxY() + margin, width, 0});
    main->sizeToFit();
    confirm->setFrame({margin, main->frame().maxY() + 25, width, 44});
    callPolice->setFrame({margin, confirm->frame().maxY() + 25, width, 44});
}

void CallPoliceTipsViewController::confirmBtnClick() { onConfirm(); }

void CallPoliceTipsViewController::callPoliceBtnClick() {
    bool signedIn = true;
    if (simulateNormal == CaseMode::Real) {
        // The phone asks the driver to confirm the call.
        if (!ui::Application::shared().openURL(kPoliceURL)) foundation::log("CallPoliceTipsViewController: cannot dial 122");
    } else {
        auto account = AccountTool::account();
        signedIn = account && account->userid && !account->userid->empty();
    }
    onLeaveCase(signedIn);
}

void CallPoliceTipsViewController::backBtnClick() {
    if (auto navigation = navigationController()) navigation->popViewController(true);
}
