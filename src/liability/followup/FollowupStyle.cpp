#include "liability/followup/FollowupStyle.h"

#include "core/CustomNavigationController.h"
#include "core/ImageExtension.h"
#include "core/KeyValue.h"
#include "core/ScreenRegistry.h"
#include "core/UserDateSingleton.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace followupstyle {

ui::Color backgroundGrey() { return ui::Color::rgbBytes(248, 248, 248, 1); }

void setUpNavigationItem(ui::ViewController& screen, const std::string& title, bool withBackItem,
                         std::function<void()> backAction) {
    screen.setTitle(title);
    auto item = screen.navigationItem();
    item->setHidesBackButton(true);
    if (withBackItem) {
        item->setLeftBarButtonItem(std::make_shared<ui::BarButtonItem>(ImageExtension::imageModeAlwaysOriginal("返回"),
                                                                       ui::BarButtonItemStyle::Plain,
                                                                       std::move(backAction)));
    } else {
        item->setLeftBarButtonItem(nullptr);
    }
}

void setRightTitleItem(ui::ViewController& screen, const std::string& title, std::function<void()> action) {
    auto item = std::make_shared<ui::BarButtonItem>(title, ui::BarButtonItemStyle::Plain, std::move(action));
    item->setTintColor(ui::Color::white());
    screen.navigationItem()->setRightBarButtonItem(item);
}

void styleTable(ui::TableView& table) {
    auto screen = ui::Screen::mainScreen().bounds();
    table.setFrame({0, 0, screen.width(), screen.height() - 64});
    table.setBackgroundColor(backgroundGrey());
    table.setAlpha(1);
    table.setSeparatorStyle(ui::TableViewCellSeparatorStyle::None);
    // The frame is the content area below the bar; it does not follow the view.
    table.setAutoresizingMask(ui::AutoresizingNone);
}

double textRowHeight(const std::string& text) {
    double width = ui::Screen::mainScreen().bounds().width() - 30;
    return graphics::measureText(text, ui::Font::systemFont(18), width).height + 30;
}

std::shared_ptr<ui::TableViewCell> textCell(ui::TableView& table, ui::IndexPath indexPath, const std::string& text,
                                            bool clearBackground) {
    auto cell = table.dequeueReusableCellWithIdentifier("UITableViewCell", indexPath);
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    if (clearBackground) cell->setBackgroundColor(ui::Color::clear());
    auto label = cell->textLabel();
    label->setNumberOfLines(0);
    label->setFont(ui::Font::systemFont(18));
    label->setLineBreakMode(ui::LineBreakMode::CharWrapping);
    label->setText(text);
    return cell;
}

std::shared_ptr<ui::View> footerWithButton(double height, const std::string& title, std::function<void()> action,
                                           std::shared_ptr<ui::Button>& button) {
    double width = ui::Screen::mainScreen().bounds().width();
    auto footer = std::make_shared<ui::View>(ui::Rect(0, 0, width, height));
    button = std::make_shared<ui::Button>(ui::ButtonType::Custom, ui::Rect(10, 60, width - 20, 44));
    button->setTitle(title);
    button->setBackgroundImage(ui::Image::named("灰色btn"), ui::ControlStates::Normal);
    button->setBackgroundImage(ui::Image::named("灰色btn-按下"), ui::ControlStates::Highlighted);
    button->addTarget(std::move(action), ui::ControlEvent::TouchUpInside);
    footer->addSubview(button);
    return footer;
}

bool leaveForNewHomePage() {
    auto window = ui::Application::shared().keyWindow();
    if (!window) {
        foundation::log("follow-up: no key window to show the home page in");
        return false;
    }
    auto home = ScreenRegistry::make("HomeViewController");
    if (!home) return false;
    window->setRootViewController(std::make_shared<CustomNavigationController>(home));
    return true;
}

std::optional<std::string> textOf(const nlohmann::json& value) {
    if (value.is_boolean()) return std::nullopt;
    return keyvalue::stringFromJson(value);
}

std::optional<std::string> textMember(const nlohmann::json& dictionary, const char* key) {
    if (!dictionary.is_object()) return std::nullopt;
    auto it = dictionary.find(key);
    if (it == dictionary.end()) return std::nullopt;
    return textOf(*it);
}

std::optional<std::string> signedInUserid() {
    auto userid = UserDateSingleton::shareUserDateInstance().userid();
    if (!userid || userid->empty()) return std::nullopt;
    return userid;
}

}  // namespace followupstyle
