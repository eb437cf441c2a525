#pragma once
#include <memory>

#include "platform/ui/NavigationController.h"

// The application's navigation controller: bar background image "title", white items, the
// title in white bold system font 17.
class CustomNavigationController : public ui::NavigationController {
public:
    explicit CustomNavigationController(std::shared_ptr<ui::ViewController> root);
    std::string className() const override { return "CustomNavigationController"; }

    void loadView() override;

    // The look every bar of the application has.
    static void styleBar(ui::NavigationBar& bar);
};
