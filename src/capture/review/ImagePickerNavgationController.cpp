#include "capture/review/ImagePickerNavgationController.h"

#include "core/Theme.h"
#include "platform/foundation/WeakBind.h"

ImagePickerNavgationController::ImagePickerNavgationController(std::shared_ptr<ui::ViewController> root)
    : ui::NavigationController(std::move(root)) {}

void ImagePickerNavgationController::viewDidLoad() {
    ui::NavigationController::viewDidLoad();
    navigationItem()->setTitle(kTitle);
    Theme::styleNavigationBar(*navigationBar());
    Theme::addBackItem(*this, foundation::weakBind(this, &ImagePickerNavgationController::backBtnClick));
}
