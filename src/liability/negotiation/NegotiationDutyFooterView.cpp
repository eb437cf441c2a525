#include "liability/negotiation/NegotiationDutyFooterView.h"

#include "core/Theme.h"
#include "platform/ui/Screen.h"

NegotiationDutyFooterView::NegotiationDutyFooterView() {
    double width = ui::Screen::mainScreen().bounds().width();
    setFrame({0, 0, width, kHeight});
    double buttonWidth = (width - 37.5) / 2;
    auto confirm = Theme::blueButton(kConfirmTitle);
    confirm->setFrame({12.5, 12.5, buttonWidth, 39});
    confirm->addTarget([this] { if (auto d = delegate_.lock()) d->confirmBtnDidClick(); },
                       ui::ControlEvent::TouchUpInside, this);
    addSubview(confirm);
    confirm_ = confirm;
    auto police = Theme::blueButton(kNeedPoliceTitle);
    police->setFrame({confirm->frame().maxX() + 12.5, 12.5, buttonWidth, 39});
    police->addTarget([this] { if (auto d = delegate_.lock()) d->needPoliceBtnDidClick(); },
                      ui::ControlEvent::TouchUpInside, this);
    addSubview(police);
    needPolice_ = police;
}

NegotiationDutyFooterView::~NegotiationDutyFooterView() {
    // A button somebody still holds no longer reaches this footer.
    if (auto b = confirm_.lock()) b->removeTarget(this);
    if (auto b = needPolice_.lock()) b->removeTarget(this);
}
