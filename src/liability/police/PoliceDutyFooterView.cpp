#include "liability/police/PoliceDutyFooterView.h"

#include "core/Theme.h"
#include "input/TextFieldLimitLength.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Screen.h"

namespace {

// The code row 12.5 from the top and 38.5 high, the sign buttons 12.5 below it, the
// confirmation 12.5 below them.
constexpr double kCodeHeight = 38.5;
constexpr double kSignTop = 12.5 + kCodeHeight + 12.5;
constexpr double kConfirmTop = kSignTop + SignButtonPair::kHeight + 12.5;

}  // namespace

PoliceDutyFooterView::PoliceDutyFooterView()
    : FooterButtonView(Theme::blueButton(kConfirmTitle), FooterButtonLayout{kHeight, 12.5, kConfirmTop, 39, std::nullopt}) {
    onTap = [this] { if (auto d = delegate_.lock()) d->confirmBtnDidClick(); };
    auto confirm = button();
    confirm->setStaysInSightWhileTyping(true);
    double width = frame().width();
    double half = (width - 37.5) / 2;

    auto box = std::make_shared<ui::ImageView>(ui::Rect(12.5, 12.5, half, kCodeHeight));
    box->setImage(ui::Image::named("验证码输入框"));
    box->setUserInteractionEnabled(true);
    insertSubviewBelow(box, confirm);
    box2_ = box;
    auto code = std::make_shared<ui::TextField>(ui::Rect(1, 0, half - 2, kCodeHeight));
    code->setPlaceholder(kCodePlaceholder);
    code->setKeyboardType(ui::KeyboardType::NumberPad);
    code->setFont(ui::Font::named("STHeiti", 15));
    code->setTag(kCodeTag);
    TextFieldLimitLength::limitTextLength(code, kCodeLength);
    box->addSubview(code);
    code2_ = code;

    auto getCode = Theme::blueButton(kGetCodeTitle);
    getCode->setFrame({box->frame().maxX() + 12.5, 12.5, half, kCodeHeight});
    getCode->addTarget([this] { if (auto d = delegate_.lock()) d->getCodeBtnDidClick(); },
                       ui::ControlEvent::TouchUpInside, this);
    insertSubviewBelow(getCode, confirm);
    getCode_ = getCode;

    signs_.add(*this, kSignTop, confirm, [this](bool own, const std::shared_ptr<ui::Button>& b) {
        auto d = delegate_.lock();
        if (!d) return;
        if (own) d->sign1BtnDidClick(b);
        else d->sign2BtnDidClick(b);
    });

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
    for (auto& weak : {cancel_, getCode_})
        if (auto b = weak.lock()) b->removeTarget(this);
}
