#include "capture/vehicle/CarListFooterView.h"

#include "core/Theme.h"

CarListFooterView::CarListFooterView()
    : FooterButtonView(Theme::blueButton(kConfirmTitle), FooterButtonLayout::confirmation(Theme::pageGrey())) {
    onTap = [this] { confirmBtnClick(); };
}

void CarListFooterView::confirmBtnClick() {
    if (auto target = delegate()) target->confirmBtnDidClick();
}
