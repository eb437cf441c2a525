#include "liability/negotiation/ConfirmSignFooterView.h"

#include "core/ButtonExtension.h"
#include "core/Theme.h"
#include "liability/negotiation/PartyRows.h"
#include "platform/ui/Screen.h"

namespace {

std::shared_ptr<ui::Button> makeSignButton(const char* title, const char* image, const char* pressed,
                                           const ui::Color& colour) {
    auto button = ButtonExtension::buttonWithName(title, image, pressed);
    button->setTitleColor(colour, ui::ControlStates::Normal);
    button->setTitleColor(colour, ui::ControlStates::Highlighted);
    return button;
}

}  // namespace

ConfirmSignFooterView::ConfirmSignFooterView() {
    double width = ui::Screen::mainScreen().bounds().width();
    setFrame({0, 0, width, kHeight});
    double half = (width - 37.5) / 2;

    auto sign1 = makeSignButton(kSign1Title, kOrangeImage, kGreenPressedImage, PartyRows::orange());
    sign1->setFrame({12.5, 12.5, half, 39});
    std::weak_ptr<ui::Button> weak1 = sign1;
    sign1->addTarget([this, weak1] {
        auto d = delegate_.lock();
        if (auto b = weak1.lock(); d && b) d->sign1BtnDidClick(b);
    }, ui::ControlEvent::TouchUpInside, this);
    addSubview(sign1);
    sign1_ = sign1;

    auto sign2 = makeSignButton(kSign2Title, kGreenImage, kOrangePressedImage, PartyRows::blue());
    sign2->setFrame({sign1->frame().maxX() + 12.5, 12.5, half, 39});
    std::weak_ptr<ui::Button> weak2 = sign2;
    sign2->addTarget([this, weak2] {
        auto d = delegate_.lock();
        if (auto b = weak2.lock(); d && b) d->sign2BtnDidClick(b);
    }, ui::ControlEvent::TouchUpInside, this);
    addSubview(sign2);
    sign2_ = sign2;

    auto confirm = Theme::blueButton(kConfirmTitle);
    confirm->setFrame({12.5, sign1->frame().maxY() + 12.5, width - 25, 39});
    confirm->addTarget([this] { if (auto d = delegate_.lock()) d->confirmBtnDidClick(); },
                       ui::ControlEvent::TouchUpInside, this);
    addSubview(confirm);
    confirm_ = confirm;
}

ConfirmSignFooterView::~ConfirmSignFooterView() {
    // A button somebody still holds no longer reaches this footer.
    for (auto& weak : {sign1_, sign2_, confirm_})
        if (auto b = weak.lock()) b->removeTarget(this);
}
