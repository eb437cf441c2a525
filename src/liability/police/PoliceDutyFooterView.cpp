#include "liability/police/PoliceDutyFooterView.h"

#include "core/ButtonExtension.h"
#include "core/Theme.h"
#include "input/TextFieldLimitLength.h"
#include "liability/negotiation/ConfirmSignFooterView.h"
#include "liability/negotiation/PartyRows.h"
#include "platform/graphics/Font.h"
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

PoliceDutyFooterView::PoliceDutyFooterView() {
    double width = ui::Screen::mainScreen().bounds().width();
    setFrame({0, 0, width, kHeight});
    double half = (width - 37.5) / 2;

    auto box = std::make_shared<ui::ImageView>(ui::Rect(12.5, 12.5, half, 38.5));
    box->setImage(ui::Image::named("验证码输入框"));
    box->setUserInteractionEnabled(true);
    addSubview(box);
    box2_ = box;
    auto code = std::make_shared<ui::TextField>(ui::Rect(1, 0, half - 2, 38.5));
    code->setPlaceholder(kCodePlaceholder);
    code->setKeyboardType(ui::KeyboardType::NumberPad);
    code->setFont(ui::Font::named("STHeiti", 15));
    code->setTag(kCodeTag);
    TextFieldLimitLength::limitTextLength(code, kCodeLength);
    box->addSubview(code);
    code2_ = code;

    auto getCode = Theme::blueButton(kGetCodeTitle);
    getCode->setFrame({box->frame().maxX() + 12.5, 12.5, half, 38.5});
    getCode->addTarget([this] { if (auto d = delegate_.lock()) d->getCodeBtnDidClick(); },
                       ui::ControlEvent::TouchUpInside, this);
    addSubview(getCode);
    getCode_ = getCode;

    auto sign1 = makeSignButton(ConfirmSignFooterView::kSign1Title, ConfirmSignFooterView::kOrangeImage,
                                ConfirmSignFooterView::kGreenPressedImage, PartyRows::orange());
    sign1->setFrame({12.5, box->frame().maxY() + 12.5, half, 39});
    std::weak_ptr<ui::Button> weak1 = sign1;
    sign1->addTarget([this, weak1] {
        auto d = delegate_.lock();
        if (auto b = weak1.lock(); d && b) d->sign1BtnDidClick(b);
    }, ui::ControlEvent::TouchUpInside, this);
    addSubview(sign1);
    sign1_ = sign1;

    auto sign2 = makeSignButton(ConfirmSignFooterView::kSign2Title, ConfirmSignFooterView::kGreenImage,
                                ConfirmSignFooterView::kOrangePressedImage, PartyRows::blue());
    sign2->setFrame({sign1->frame().maxX() + 12.5, sign1->frame().y(), half, 39});
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

    auto cancel = Theme::blueButton(kCancelTitle);
    cancel->titleLabel()->setFont(ui::Font::systemFont(13));
    cancel->setFrame({width - 125, confirm->frame().maxY() + 12.5, 100, 35});
    cancel->addTarget([this] { if (auto d = delegate_.lock()) d->cancelBtnDidClick(); },
                      ui::ControlEvent::TouchUpInside, this);
    addSubview(cancel);
    cancel_ = cancel;
}

PoliceDutyFooterView::~PoliceDutyFooterView() {
    // A button somebody still holds no longer reaches this footer.
    for (auto& weak : {sign1_, sign2_, confirm_, cancel_, getCode_})
        if (auto b = weak.lock()) b->removeTarget(this);
}
