#include "platform/ui/ImagePickerController.h"

namespace ui {

namespace {
std::function<ImagePtr()>& cameraProvider() {
    static std::function<ImagePtr()> p;
    return p;
}

class PickerScreen : public ViewController {
public:
    std::string className() const override { return "ImagePickerScreen"; }
    void viewDidLoad() override { view()->setBackgroundColor(Color::black()); }
};
}  // namespace

ImagePickerController::ImagePickerController() : NavigationController(std::make_shared<PickerScreen>()) {}

bool ImagePickerController::isSourceTypeAvailable(ImagePickerSourceType type) {
    if (type == ImagePickerSourceType::Camera) return static_cast<bool>(cameraProvider());
    return true;
}

void ImagePickerController::setCameraProvider(std::function<ImagePtr()> provider) {
    cameraProvider() = std::move(provider);
}

void ImagePickerController::finishPicking(ImagePtr image) {
    auto keep = weak_from_this().lock();
    ImagePickerInfo info{image, image};
    if (auto d = delegate()) d->didFinishPickingMediaWithInfo(*this, info);
    else dismissViewController(true);
}

bool ImagePickerController::takePicture() {
    auto provider = cameraProvider();
    if (!provider) return false;
    auto image = provider();
    if (!image) return false;
    finishPicking(image);
    return true;
}

void ImagePickerController::cancel() {
    auto keep = weak_from_this().lock();
    if (auto d = delegate()) d->imagePickerControllerDidCancel(*this);
    else dismissViewController(true);
}

}  // namespace ui
