#include "capture/review/ImagePickerNavgationController.h"

#include "core/Theme.h"

ImagePickerNavgationController::ImagePickerNavgationController(std::shared_ptr<ui::ViewController> root)
    : ui::NavigationController(std::move(root)) {}

void ImagePickerNavgationController::viewDidLoad() {
    ui::NavigationController::viewDidLoad();
    navigationItem()->setTitle(kTitle);
    Theme::styleNavigationBar(*navigationBar());
    std::weak_ptr<ImagePickerNavgationController> weak = sharedAs<ImagePickerNavgationController>();
    Theme::addBackItem(*this, [weak] {
        if (auto self = weak.lock()) self->backBtnClick();
    });
}
