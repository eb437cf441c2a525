#include "core/Theme.h"

#include "core/ButtonExtension.h"
#include "core/ImageExtension.h"
#include "platform/foundation/WeakBind.h"
#include "platform/graphics/Font.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

ui::Color Theme::pageGrey() { return ui::Color::rgbBytes(kPageGrey, kPageGrey, kPageGrey); }

ui::Color Theme::hintGrey() { return ui::Color::rgbBytes(kHintGrey, kHintGrey, kHintGrey); }

ui::Color Theme::ownParty() { return ui::Color::rgbBytes(24, 108, 126); }

ui::Color Theme::otherParty() { return ui::Color::rgbBytes(158, 74, 46); }

void Theme::applyPageBackground(ui::ViewController& screen) { screen.view()->setBackgroundColor(pageGrey()); }

void Theme::styleNavigationBar(ui::NavigationBar& bar) {
    bar.setBackgroundImage(ui::Image::named(kBarImage));
    bar.setTintColor(ui::Color::white());
    ui::TextAttributes attributes;
    attributes.font = ui::Font::boldSystemFont(kBarTitleSize);
    attributes.color = ui::Color::white();
    bar.setTitleTextAttributes(attributes);
}

void Theme::styleNavigationBar(ui::ViewController& screen) {
    if (auto navigation = screen.navigationController()) styleNavigationBar(*navigation->navigationBar());
}

void Theme::styleNavigationBar(ui::ViewController& screen, const std::string& title) {
    screen.setTitle(title);
    styleNavigationBar(screen);
}

void Theme::addBackItem(ui::ViewController& screen, std::function<void()> action) {
    auto item = std::make_shared<ui::BarButtonItem>(ImageExtension::imageModeAlwaysOriginal(kBackImage),
                                                    ui::BarButtonItemStyle::Plain, std::move(action));
    auto navigationItem = screen.navigationItem();
    navigationItem->setHidesBackButton(true);
    navigationItem->setLeftBarButtonItem(item);
}

void Theme::addBackItem(const std::shared_ptr<ui::ViewController>& screen) {
    if (!screen) return;
    addBackItem(*screen, foundation::weakBind(screen, [](const auto& self) {
        if (auto navigation = self->navigationController()) navigation->popViewController(true);
    }));
}

void Theme::hideBackItem(ui::ViewController& screen) {
    auto navigationItem = screen.navigationItem();
    navigationItem->setHidesBackButton(true);
    navigationItem->setLeftBarButtonItem(nullptr);
}

void Theme::addBackItemOrNone(ui::ViewController& screen, bool shown, std::function<void()> action) {
    if (shown)
        addBackItem(screen, std::move(action));
    else
        hideBackItem(screen);
}

void Theme::addRightTitleItem(ui::ViewController& screen, const std::string& title, std::function<void()> action) {
    auto item = std::make_shared<ui::BarButtonItem>(title, ui::BarButtonItemStyle::Plain, std::move(action));
    item->setTintColor(ui::Color::white());
    screen.navigationItem()->setRightBarButtonItem(item);
}

std::shared_ptr<ui::Button> Theme::blueButton(const std::string& title) {
    return ButtonExtension::buttonWithName(title, kBlueImage, kBlueHighlightedImage);
}

std::shared_ptr<ui::Button> Theme::blueButton(const std::string& title, const ui::Font& titleFont) {
    auto button = blueButton(title);
    button->titleLabel()->setFont(titleFont);
    return button;
}

std::shared_ptr<ui::Button> Theme::greyButton(const std::string& title) {
    return ButtonExtension::buttonWithName(title, kGreyImage, kGreyHighlightedImage);
}

std::shared_ptr<ui::Label> Theme::label(const std::string& text, double fontSize, const ui::Color& colour) {
    auto label = std::make_shared<ui::Label>();
    label->setText(text);
    label->setFont(ui::Font::systemFont(fontSize));
    label->setTextColor(colour);
    return label;
}

void Theme::styleContentTable(ui::TableView& table) {
    auto screen = ui::Screen::mainScreen().bounds();
    table.setFrame({0, 0, screen.width(), screen.height() - 64});
    table.setBackgroundColor(pageGrey());
    table.setAlpha(1);
    table.setSeparatorStyle(ui::TableViewCellSeparatorStyle::None);
    table.setAutoresizingMask(ui::AutoresizingNone);
}
