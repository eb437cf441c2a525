#include "capture/entry/DangrousTipViewController.h"

#include "core/Theme.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/NavigationController.h"

void DangrousTipViewController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    view()->setBackgroundColor(Theme::pageGrey());
    Theme::addBackItem(*this, foundation::weakBind(this, &DangrousTipViewController::backBtnClick));
    setTitle(kTitle);

    auto tips = Theme::label(kTipsText, 20, Theme::hintGrey());
    tips->setNumberOfLines(0);
    view()->addSubview(tips);
    tips_ = tips;

    auto iknow = Theme::blueButton(kIknowTitle, Theme::systemButtonFont());
    iknow->addTarget(foundation::weakBind(this, &DangrousTipViewController::iknowBtnClick),
                     ui::ControlEvent::TouchUpInside);
    view()->addSubview(iknow);
    iknow_ = iknow;
}

void DangrousTipViewController::viewWillAppear(bool animated) {
    BaseViewController::viewWillAppear(animated);
    Theme::styleNavigationBar(*this, kTitle);
    layout();
}

void DangrousTipViewController::layout() {
    auto tips = tips_.lock();
    auto iknow = iknow_.lock();
    if (!tips || !iknow) return;
    const double margin = 12.5;
    double width = view()->bounds().width() - 2 * margin;
    tips->setFrame({margin, margin, width, 120});
    iknow->setFrame({margin, tips->frame().maxY() + margin, width, 44});
}

void DangrousTipViewController::iknowBtnClick() { onIknow(); }

void DangrousTipViewController::backBtnClick() {
    if (auto navigation = navigationController()) navigation->popViewController(true);
}
