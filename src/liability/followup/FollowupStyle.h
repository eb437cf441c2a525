#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/graphics/Color.h"
#include "platform/ui/Button.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/ViewController.h"

class BaseViewController;

// What the report, result, prompt and rating screens share: the grey table, the bar items,
// the one-text row, the footer button and the way back to a new home page.
namespace followupstyle {

// The grey 248/255 behind every table of these screens.
ui::Color backgroundGrey();

// The title, the system back button hidden, and (when `withBackItem`) a left item with the
// image "返回" in its own colours running `backAction`.
void setUpNavigationItem(ui::ViewController& screen, const std::string& title, bool withBackItem,
                         std::function<void()> backAction);
// A right bar item with a white title.
void setRightTitleItem(ui::ViewController& screen, const std::string& title, std::function<void()> action);

// The table of these screens: x 0, y 0, the screen's width, the screen's height less 64, grey,
// no separators.
void styleTable(ui::TableView& table);

// The height a text row needs: the text in system font 18 wrapped to the screen's width less
// 30, plus 30.
double textRowHeight(const std::string& text);
// A plain cell ("UITableViewCell") showing `text` on any number of lines in system font 18,
// wrapped by character, without a selection look.
std::shared_ptr<ui::TableViewCell> textCell(ui::TableView& table, ui::IndexPath indexPath, const std::string& text,
                                            bool clearBackground);

// A footer `height` high and as wide as the screen with one button 10 from both sides, 60 from
// the top and 44 high: `title` on "灰色btn" / "灰色btn-按下", `action` on touch-up-inside.
std::shared_ptr<ui::View> footerWithButton(double height, const std::string& title, std::function<void()> action,
                                           std::shared_ptr<ui::Button>& button);

// Replaces the key window's root by a new home page in a new CustomNavigationController (the
// home page comes from ScreenRegistry, "HomeViewController"). False (logged) when there is no
// key window or no home page.
bool leaveForNewHomePage();

// The text of a JSON value shown to the driver: a string as it is, a number as its decimal
// text; nullopt for anything else (absent, null, a list, a dictionary, true or false).
std::optional<std::string> textOf(const nlohmann::json& value);
// The value under `key` of a dictionary as text (see textOf); nullopt when absent.
std::optional<std::string> textMember(const nlohmann::json& dictionary, const char* key);

// The signed-in user: UserDateSingleton's user id when it is not empty.
std::optional<std::string> signedInUserid();

}  // namespace followupstyle
