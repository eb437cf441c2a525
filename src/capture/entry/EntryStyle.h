#pragma once
#include <functional>
#include <memory>
#include <string>

namespace ui {
class Button;
class Label;
class ViewController;
}  // namespace ui

// The look the accident entry screens share: grey pages, the application's navigation bar with
// a back item, full-width action buttons.
namespace entrystyle {

// Grey 248/255, the background of the application's pages.
constexpr unsigned char kPageGrey = 248;
// 128/255, the grey of hint texts.
constexpr double kHintGrey = 128.0 / 255.0;

// The title, and the bar of the screen's navigation controller (when it has one): background
// image "title", title in white bold system font 17.
void styleNavigationBar(ui::ViewController& screen, const std::string& title);
// The left bar item: the untinted image "返回", calling `action` (the screen's backBtnClick).
void addBackItem(ui::ViewController& screen, std::function<void()> action);
// A full-width action button: white "STHeiti" 15 title on "蓝色btn" / "蓝色btn-按下".
std::shared_ptr<ui::Button> makeActionButton(const std::string& title);
// A system-font label of the size and colour given.
std::shared_ptr<ui::Label> makeLabel(const std::string& text, double fontSize, bool grey);

}  // namespace entrystyle
