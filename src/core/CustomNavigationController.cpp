#include "core/CustomNavigationController.h"

#include "core/Theme.h"

CustomNavigationController::CustomNavigationController(std::shared_ptr<ui::ViewController> root)
    : ui::NavigationController(std::move(root)) {}

void CustomNavigationController::loadView() {
    ui::NavigationController::loadView();
    styleBar(*navigationBar());
}

void CustomNavigationController::styleBar(ui::NavigationBar& bar) { Theme::styleNavigationBar(bar); }
