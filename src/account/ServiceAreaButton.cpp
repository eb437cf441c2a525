#include "account/ServiceAreaButton.h"

#include "core/Theme.h"

namespace ServiceAreaButton {

std::shared_ptr<ui::Button> make(std::function<void()> tapped) {
    auto button = std::make_shared<ui::Button>(ui::ButtonType::Custom);
    button->setImage(ui::Image::named("area"));
    button->setTitle(kTitle);
    button->setTitleColor(Theme::hintGrey());
    button->titleLabel()->setFont(ui::Font::systemFont(15));
    button->addTarget(std::move(tapped), ui::ControlEvent::TouchUpInside);
    return button;
}

}  // namespace ServiceAreaButton
