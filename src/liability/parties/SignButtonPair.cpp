#include "liability/parties/SignButtonPair.h"

#include "core/ButtonExtension.h"
#include "core/Theme.h"
#include "liability/parties/PartyRows.h"

namespace {

std::shared_ptr<ui::Button> makeSignButton(const char* title, const char* image, const char* pressed,
                                           const ui::Color& colour) {
    auto button = ButtonExtension::buttonWithName(title, image, pressed);
    button->setTitleColor(colour, ui::ControlStates::Normal);
    button->setTitleColor(colour, ui::ControlStates::Highlighted);
    // A signature, wider than the button is tall, keeps its shape.
    button->imageView()->setContentMode(ui::ContentMode::ScaleAspectFit);
    return button;
}

}  // namespace

SignButtonPair::~SignButtonPair() {
    for (auto& weak : {sign1_, sign2_})
        if (auto button = weak.lock()) button->removeTarget(this);
}

void SignButtonPair::add(ui::View& footer, double top, const std::shared_ptr<ui::View>& above, Tapped tapped) {
    tapped_ = std::move(tapped);
    double half = (footer.frame().width() - 37.5) / 2;
    auto sign1 = makeSignButton(kSign1Title, Theme::kOwnSignImage, Theme::kOwnSignPressedImage, Theme::ownParty());
    sign1->setFrame({12.5, top, half, kHeight});
    auto sign2 =
        makeSignButton(kSign2Title, Theme::kOtherSignImage, Theme::kOtherSignPressedImage, Theme::otherParty());
    sign2->setFrame({sign1->frame().maxX() + 12.5, top, half, kHeight});
    for (const auto& [button, own] : {std::pair{sign1, true}, std::pair{sign2, false}}) {
        std::weak_ptr<ui::Button> weak = button;
        button->addTarget([this, weak, own] {
            if (auto b = weak.lock(); b && tapped_) tapped_(own, b);
        }, ui::ControlEvent::TouchUpInside, this);
        footer.insertSubviewBelow(button, above);
    }
    sign1_ = sign1;
    sign2_ = sign2;
}
