#include "core/CustomNavigationController.h"

CustomNavigationController::CustomNavigationController(std::shared_ptr<ui::ViewController> root)
    : ui::NavigationController(std::move(root)) {}

void CustomNavigationController::loadView() {
    ui::NavigationController::loadView();
    styleBar(*navigationBar());
}

void CustomNavigationController::styleBar(ui::NavigationBar& bar) {
    bar.setBackgroundImage(ui::Image::named("title"));
    bar.setTintColor(ui::Color::white());
    ui::TextAttributes attributes;
    attributes.font = ui::Font::boldSystemFont(17);
    attributes.color = ui::Color::white();
    bar.setTitleTextAttributes(attributes);
}
