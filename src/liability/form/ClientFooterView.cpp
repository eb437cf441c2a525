#include "liability/form/ClientFooterView.h"

#include "core/Theme.h"

ClientFooterView::ClientFooterView()
    : FooterButtonView(Theme::blueButton(kConfirmTitle), FooterButtonLayout::confirmation()) {
    onTap = [this] { confirmBtnClick(); };
    if (auto next = button()) next->setStaysInSightWhileTyping(true);
}

void ClientFooterView::confirmBtnClick() {
    if (auto target = delegate()) target->confirmBtnDidClick();
}
