#include "core/ShowTheWindow.h"

#include <string>

#include "platform/foundation/Log.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Window.h"

void ShowTheWindow::showTheWindown(int level) {
    auto window = ui::Application::shared().keyWindow();
    if (!window) return;
    std::string name = "microphone_" + std::to_string(level) + ".png";
    auto image = ui::Image::named(name);
    if (!image) foundation::log("ShowTheWindow: the image " + name + " is missing");
    if (auto existing = std::dynamic_pointer_cast<ui::ImageView>(window->viewWithTag(kTag))) {
        existing->setImage(image);
        return;
    }
    auto imageView = std::make_shared<ui::ImageView>(image);
    ui::Size size = image ? image->size() : ui::Size{0, 0};
    imageView->setTag(kTag);
    imageView->setFrame({0, 0, size.width / 2, size.height / 2});
    imageView->setCenter(window->bounds().center());
    window->addSubview(imageView);
}

void ShowTheWindow::removeTheWindow() {
    auto window = ui::Application::shared().keyWindow();
    if (!window) return;
    if (auto view = window->viewWithTag(kTag)) view->removeFromSuperview();
}
