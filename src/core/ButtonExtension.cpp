#include "core/ButtonExtension.h"

#include "core/ImageExtension.h"

#include "platform/foundation/Log.h"
#include "platform/ui/Label.h"

namespace {
ui::ImagePtr namedImage(const std::string& name) {
    auto image = ui::Image::named(name);
    if (!image) foundation::log("ButtonExtension: the image " + name + " is missing");
    return image;
}

// A background picture stretches to whatever size the button has.
ui::ImagePtr backgroundImage(const std::string& name) {
    auto image = ImageExtension::stretchableImageNamed(name);
    if (!image) foundation::log("ButtonExtension: the image " + name + " is missing");
    return image;
}
}  // namespace

std::shared_ptr<ui::Button> ButtonExtension::buttonWithName(const std::string& title, const std::string& normalBackImage,
                                                            const std::string& hilightBackImage) {
    auto button = ui::Button::create(ui::ButtonType::Custom);
    for (auto state : {ui::ControlStates::Normal, ui::ControlStates::Highlighted}) {
        button->setTitle(title, state);
        button->setTitleColor(ui::Color::white(), state);
    }
    button->titleLabel()->setFont(ui::Font::named("STHeiti", 15));
    button->setBackgroundImage(backgroundImage(normalBackImage), ui::ControlStates::Normal);
    button->setBackgroundImage(backgroundImage(hilightBackImage), ui::ControlStates::Highlighted);
    return button;
}

std::shared_ptr<ui::Button> ButtonExtension::buttonWithNormalImage(const std::string& normalImage,
                                                                   const std::string& selectedImage) {
    auto button = ui::Button::create(ui::ButtonType::Custom);
    button->setImage(namedImage(normalImage), ui::ControlStates::Normal);
    button->setImage(namedImage(selectedImage), ui::ControlStates::Selected);
    return button;
}
