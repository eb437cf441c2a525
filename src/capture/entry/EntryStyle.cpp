#include "capture/entry/EntryStyle.h"

#include <functional>

#include "core/CustomNavigationController.h"
#include "core/ImageExtension.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"

namespace entrystyle {

void styleNavigationBar(ui::ViewController& screen, const std::string& title) {
    screen.setTitle(title);
    if (auto navigation = screen.navigationController()) CustomNavigationController::styleBar(*navigation->navigationBar());
}

void addBackItem(ui::ViewController& screen, std::function<void()> action) {
    auto item = std::make_shared<ui::BarButtonItem>(ImageExtension::imageModeAlwaysOriginal("返回"),
                                                    ui::BarButtonItemStyle::Plain, std::move(action));
    screen.navigationItem()->setLeftBarButtonItem(item);
}

std::shared_ptr<ui::Button> makeActionButton(const std::string& title) {
    auto button = std::make_shared<ui::Button>(ui::ButtonType::Custom);
    button->setTitle(title);
    button->setTitle(title, ui::ControlStates::Highlighted);
    button->setTitleColor(ui::Color::white());
    button->setTitleColor(ui::Color::white(), ui::ControlStates::Highlighted);
    button->titleLabel()->setFont(ui::Font::named("STHeiti", 15));
    button->setBackgroundImage(ui::Image::named("蓝色btn"));
    button->setBackgroundImage(ui::Image::named("蓝色btn-按下"), ui::ControlStates::Highlighted);
    return button;
}

std::shared_ptr<ui::Label> makeLabel(const std::string& text, double fontSize, bool grey) {
    auto label = std::make_shared<ui::Label>();
    label->setText(text);
    label->setFont(ui::Font::systemFont(fontSize));
    label->setTextColor(grey ? ui::Color::grey(kHintGrey) : ui::Color::black());
    return label;
}

}  // namespace entrystyle
