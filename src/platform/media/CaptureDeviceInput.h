#pragma once
#include <memory>
#include <vector>

#include "platform/media/CaptureConnection.h"

namespace media {

// The input of one camera into a session.
class CaptureDeviceInput {
public:
    using Ptr = std::shared_ptr<CaptureDeviceInput>;
    // Null (and the error) without a device.
    static Ptr deviceInputWithDevice(const CaptureDevice::Ptr& device, Error* error = nullptr);

    CaptureDevice::Ptr device() const { return device_; }
    std::vector<CaptureInputPort> ports() const { return {CaptureInputPort{MediaType::Video}}; }
    // The clean aperture of the active video format, in pixels (the scene size).
    graphics::Size cleanApertureSize() const;

    explicit CaptureDeviceInput(CaptureDevice::Ptr device) : device_(std::move(device)) {}

private:
    CaptureDevice::Ptr device_;
};

}  // namespace media
