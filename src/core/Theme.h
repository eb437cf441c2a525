#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/Types.h"

namespace ui {
class Button;
class Label;
class NavigationBar;
class TableView;
class ViewController;
}  // namespace ui

// The one look of every screen: the grey page, the navigation bar with its back item, the blue
// and grey full-width buttons and the grey hint text.
class Theme {
public:
    Theme() = delete;

    // 248/255 in all three components: pages, tables, section headers and the window.
    static constexpr unsigned char kPageGrey = 248;
    // 112/255 in all three components: hint texts (reading 4.5:1 on white and on the page grey)
    // and the tip lines white text is written on.
    static constexpr unsigned char kHintGrey = 112;
    // The bar's title: bold system font of this size, white.
    static constexpr double kBarTitleSize = 17;
    // The images of the back item and of the two kinds of buttons.
    static constexpr const char* kBackImage = "返回";
    static constexpr const char* kBarImage = "title";
    static constexpr const char* kBlueImage = "蓝色btn";
    static constexpr const char* kBlueHighlightedImage = "蓝色btn-按下";
    static constexpr const char* kGreyImage = "灰色btn";
    static constexpr const char* kGreyHighlightedImage = "灰色btn-按下";

    static ui::Color pageGrey();
    static ui::Color hintGrey();
    // The parties' colours, the same on every screen: the own party blue-green, the other party
    // orange, in shades that read on white, on the page grey and on the signing buttons' tints.
    static ui::Color ownParty();
    static ui::Color otherParty();
    // The light tints of the two parties' signing buttons.
    static constexpr const char* kOwnSignImage = "签字绿";
    static constexpr const char* kOwnSignPressedImage = "签字绿-按下";
    static constexpr const char* kOtherSignImage = "签字橘";
    static constexpr const char* kOtherSignPressedImage = "签字橘-按下";

    // The screen's view in page grey.
    static void applyPageBackground(ui::ViewController& screen);

    // The bar look: background image "title", white items, white bold 17 title.
    static void styleNavigationBar(ui::NavigationBar& bar);
    // The bar of the screen's navigation controller, when it has one.
    static void styleNavigationBar(ui::ViewController& screen);
    // The screen's title, and its navigation controller's bar as above.
    static void styleNavigationBar(ui::ViewController& screen, const std::string& title);

    // The left item: the image "返回" in its own colours (never tinted) running `action`; the
    // system back button hidden.
    static void addBackItem(ui::ViewController& screen, std::function<void()> action);
    // The back item whose action pops the screen off its navigation controller (the screen is
    // held weakly).
    static void addBackItem(const std::shared_ptr<ui::ViewController>& screen);
    // Neither a back item nor the system back button: the screen is left through its own controls.
    static void hideBackItem(ui::ViewController& screen);
    // The back item running `action` when `shown`, else none (as hideBackItem).
    static void addBackItemOrNone(ui::ViewController& screen, bool shown, std::function<void()> action);
    // A right item showing `title` in white, running `action`.
    static void addRightTitleItem(ui::ViewController& screen, const std::string& title, std::function<void()> action);

    // A custom button titled `title` for the normal and highlighted states in white "STHeiti"
    // 15 on "蓝色btn" / "蓝色btn-按下".
    static std::shared_ptr<ui::Button> blueButton(const std::string& title);
    // The same with the title in `titleFont` (the tips screens and the accident cards title
    // theirs in the system font).
    static std::shared_ptr<ui::Button> blueButton(const std::string& title, const ui::Font& titleFont);
    // The system font of action buttons that are not titled in "STHeiti".
    static ui::Font systemButtonFont() { return ui::Font::systemFont(15); }
    // The same on "灰色btn" / "灰色btn-按下".
    static std::shared_ptr<ui::Button> greyButton(const std::string& title);

    // A label in the system font of `fontSize`, `colour` text.
    static std::shared_ptr<ui::Label> label(const std::string& text, double fontSize, const ui::Color& colour);

    // A table under the bar: x 0, y 0, the screen's width, the screen's height less 64, page
    // grey, opaque, no separators; its frame does not follow its superview.
    static void styleContentTable(ui::TableView& table);
};
