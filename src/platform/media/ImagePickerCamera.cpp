#include "platform/media/ImagePickerCamera.h"

#include <utility>

#include "platform/media/CameraSimulation.h"
#include "platform/media/CaptureDevice.h"
#include "platform/ui/ImagePickerController.h"

namespace media {

graphics::Image::Ptr takePickerPicture() {
    auto camera = CaptureDevice::defaultDeviceWithMediaType(MediaType::Video);
    if (!camera || camera->position() != CaptureDevicePosition::Back) return nullptr;
    if (cameraSimulation().captureDeliversNoData) return nullptr;
    std::string jpeg = CameraScene::shared().nextShot();
    return jpeg.empty() ? nullptr : graphics::Image::fromData(std::move(jpeg));
}

void installImagePickerCamera() {
    ui::ImagePickerController::setCameraProvider(takePickerPicture);
    ui::ImagePickerController::setCameraPreviewProvider([]() -> graphics::Image::Ptr {
        auto camera = CaptureDevice::defaultDeviceWithMediaType(MediaType::Video);
        if (!camera || camera->position() != CaptureDevicePosition::Back) return nullptr;
        return CameraScene::shared().currentPicture();
    });
}

}  // namespace media
