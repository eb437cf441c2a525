#pragma once
#include <memory>
#include <string>

#include "platform/ui/Button.h"

class ButtonExtension {
public:
    // A custom button with the title for the normal and highlighted states in white "STHeiti" 15
    // on the two named background images (normal, highlighted), stretchable to any button size.
    static std::shared_ptr<ui::Button> buttonWithName(const std::string& title, const std::string& normalBackImage,
                                                      const std::string& hilightBackImage);
    // A custom button with the first named image for the normal and the second for the selected state.
    static std::shared_ptr<ui::Button> buttonWithNormalImage(const std::string& normalImage,
                                                             const std::string& selectedImage);
};
