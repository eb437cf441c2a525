#include <gtest/gtest.h>

#include "core/ButtonExtension.h"
#include "core/ImageExtension.h"
#include "core/ViewExtension.h"
#include "platform/ui/Label.h"
#include "support/PlatformTest.h"

class ViewHelpersTest : public PlatformTest {};

TEST_F(ViewHelpersTest, ActionButtonWithTitleAndBackgrounds) {
    auto button = ButtonExtension::buttonWithName("下一步", "蓝色btn", "蓝色btn-按下");
    EXPECT_EQ(button->titleForState(ui::ControlStates::Normal), "下一步");
    EXPECT_EQ(button->titleForState(ui::ControlStates::Highlighted), "下一步");
    EXPECT_EQ(button->titleColorForState(ui::ControlStates::Normal), ui::Color::white());
    EXPECT_EQ(button->titleColorForState(ui::ControlStates::Highlighted), ui::Color::white());
    EXPECT_EQ(button->titleLabel()->font().name, "STHeiti");
    EXPECT_EQ(button->titleLabel()->font().size, 15);
    // The pictures stretch to the button's size.
    for (auto [state, name] : {std::pair{ui::ControlStates::Normal, "蓝色btn"}, {ui::ControlStates::Highlighted, "蓝色btn-按下"}}) {
        auto background = button->backgroundImageForState(state);
        ASSERT_TRUE(background) << name;
        EXPECT_EQ(background->name(), name);
        EXPECT_TRUE(background->isResizable()) << name;
    }
}

TEST_F(ViewHelpersTest, ImageButtonAndFrameSetters) {
    auto button = ButtonExtension::buttonWithNormalImage("flashing_off", "flashing_on");
    EXPECT_EQ(button->imageForState(ui::ControlStates::Normal), ui::Image::named("flashing_off"));
    EXPECT_EQ(button->imageForState(ui::ControlStates::Selected), ui::Image::named("flashing_on"));
    button->setSelected(true);
    EXPECT_EQ(button->currentImage(), ui::Image::named("flashing_on"));

    auto view = std::make_shared<ui::View>(ui::Rect(10, 20, 30, 40));
    ViewExtension::setHeight(view, 100);
    EXPECT_EQ(view->frame(), ui::Rect(10, 20, 30, 100));
    ViewExtension::setY(view, 5);
    EXPECT_EQ(view->frame(), ui::Rect(10, 5, 30, 100));
    EXPECT_EQ(ImageExtension::imageModeAlwaysOriginal("返回"), ui::Image::named("返回"));
    EXPECT_FALSE(ImageExtension::imageModeAlwaysOriginal("no such image"));
}
