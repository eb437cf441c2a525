#include "liability/negotiation/ConfirmSignFooterView.h"

#include "core/Theme.h"

// The sign buttons 12.5 from the top, "完成" 12.5 below them.
ConfirmSignFooterView::ConfirmSignFooterView()
    : FooterButtonView(Theme::blueButton(kConfirmTitle), 
                       FooterButtonLayout{kHeight, 12.5, 12.5 + SignButtonPair::kHeight + 12.5, 39, std::nullopt}) {
    onTap = [this] { if (auto d = delegate_.lock()) d->confirmBtnDidClick(); };
    signs_.add(*this, 12.5, button(), [this](bool own, const std::shared_ptr<ui::Button>& b) {
        auto d = delegate_.lock();
        if (!d) return;
        if (own) d->sign1BtnDidClick(b);
        else d->sign2BtnDidClick(b);
    });
}
