#pragma once
#include <memory>

namespace ui {
class Button;
class ViewController;
}  // namespace ui

// The look the account screens share with the rest of the application.
namespace screenstyle {
// Grey 248/255, the background of the application's pages.
void applyPageBackground(ui::ViewController& screen);
// The left bar item: the untinted image "返回", popping the screen.
void addBackItem(const std::shared_ptr<ui::ViewController>& screen);
// A full-width action button: white "STHeiti" 15 title on "蓝色btn" / "蓝色btn-按下".
std::shared_ptr<ui::Button> makeActionButton(const char* title);
}  // namespace screenstyle
