#include "account/ScreenStyle.h"

#include "core/ImageExtension.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"

namespace screenstyle {

void applyPageBackground(ui::ViewController& screen) {
    screen.view()->setBackgroundColor(ui::Color::rgbBytes(248, 248, 248));
}

void addBackItem(const std::shared_ptr<ui::ViewController>& screen) {
    std::weak_ptr<ui::ViewController> weak = screen;
    auto item = std::make_shared<ui::BarButtonItem>(ImageExtension::imageModeAlwaysOriginal("返回"),
                                                    ui::BarButtonItemStyle::Plain, [weak] {
                                                        auto self = weak.lock();
                                                        if (!self) return;
                                                        if (auto navigation = self->navigationController())
                                                            navigation->popViewController(true);
                                                    });
    screen->navigationItem()->setLeftBarButtonItem(item);
}

std::shared_ptr<ui::Button> makeActionButton(const char* title) {
    auto button = std::make_shared<ui::Button>(ui::ButtonType::Custom);
    button->setTitle(title);
    button->setTitleColor(ui::Color::white());
    button->titleLabel()->setFont(ui::Font::named("STHeiti", 15));
    button->setBackgroundImage(ui::Image::named("蓝色btn"));
    button->setBackgroundImage(ui::Image::named("蓝色btn-按下"), ui::ControlStates::Highlighted);
    return button;
}

}  // namespace screenstyle
