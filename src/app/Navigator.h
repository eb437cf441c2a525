#pragma once
#include <memory>
#include <string>

namespace ui {
class NavigationController;
class ViewController;
}  // namespace ui

// What the roads share to move the driver on: the key window's navigation, and the word that
// a screen of the road is not built yet.
namespace app {

// The navigation controller at the root of the key window, or null.
std::shared_ptr<ui::NavigationController> currentNavigation();
// Pushes a screen onto the key window's navigation (logged when there is none).
void push(const std::shared_ptr<ui::ViewController>& screen);
// Tells the driver on the screen that `what` is not built yet: the spinner goes, an error toast
// says so, the driver stays where they are.
void notBuiltYet(const std::string& what);

// The toast of a screen that is not built yet.
inline constexpr const char* kNotBuiltText = "该功能尚未开放,敬请期待";

}  // namespace app
