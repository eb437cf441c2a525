#include "platform/media/CaptureDeviceInput.h"

#include "platform/media/CameraSimulation.h"

namespace media {

CaptureDeviceInput::Ptr CaptureDeviceInput::deviceInputWithDevice(const CaptureDevice::Ptr& device, Error* error) {
    if (!device) {
        if (error) *error = Error{"AVFoundationErrorDomain", -11814, "Cannot Record", "No capture device."};
        return nullptr;
    }
    return std::make_shared<CaptureDeviceInput>(device);
}

graphics::Size CaptureDeviceInput::cleanApertureSize() const { return cameraSimulation().sceneSize; }

}  // namespace media
