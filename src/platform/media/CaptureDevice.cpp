#include "platform/media/CaptureDevice.h"

#include "platform/foundation/Log.h"
#include "platform/media/CameraSimulation.h"

namespace media {

namespace detail {

std::mutex g_devicesMutex;
std::vector<CaptureDevice::Ptr> g_devices;
bool g_devicesBuilt = false;

// Called when the simulation changes: the next lookup builds fresh devices.
void resetCameraDevices() {
    std::lock_guard lock(g_devicesMutex);
    g_devices.clear();
    g_devicesBuilt = false;
}

}  // namespace detail

bool CaptureDevice::classAvailable() { return cameraSimulation().deviceClassPresent; }

std::vector<CaptureDevice::Ptr> CaptureDevice::devicesWithMediaType(MediaType type) {
    if (type != MediaType::Video) return {};
    CameraSimulation sim = cameraSimulation();
    if (!sim.deviceClassPresent) return {};
    std::lock_guard lock(detail::g_devicesMutex);
    if (!detail::g_devicesBuilt) {
        if (sim.backCamera) detail::g_devices.push_back(std::make_shared<CaptureDevice>(CaptureDevicePosition::Back, sim.flash));
        if (sim.frontCamera) detail::g_devices.push_back(std::make_shared<CaptureDevice>(CaptureDevicePosition::Front, false));
        detail::g_devicesBuilt = true;
    }
    return detail::g_devices;
}

CaptureDevice::Ptr CaptureDevice::defaultDeviceWithMediaType(MediaType type) {
    auto devices = devicesWithMediaType(type);
    for (const auto& d : devices) {
        if (d->position() == CaptureDevicePosition::Back) return d;
    }
    return devices.empty() ? nullptr : devices.front();
}

CaptureDevice::CaptureDevice(CaptureDevicePosition position, bool flash) : position_(position), flash_(flash) {}

std::string CaptureDevice::localizedName() const {
    return position_ == CaptureDevicePosition::Front ? "Front Camera" : "Back Camera";
}

bool CaptureDevice::lockForConfiguration(Error* error) {
    if (cameraSimulation().lockFails) {
        if (error) *error = Error{"AVFoundationErrorDomain", -11817, "Cannot lock the device for configuration.",
                                  "The device is in use by another client."};
        return false;
    }
    std::lock_guard lock(mutex_);
    locked_ = true;
    return true;
}

void CaptureDevice::unlockForConfiguration() {
    std::lock_guard lock(mutex_);
    locked_ = false;
}

bool CaptureDevice::isLocked() const {
    std::lock_guard lock(mutex_);
    return locked_;
}

bool CaptureDevice::changeAllowed(const char* what) const {
    if (locked_) return true;
    foundation::log(std::string("capture device: ") + what + " changed without the configuration lock; ignored");
    return false;
}

bool CaptureDevice::hasFlash() const { return flash_; }

bool CaptureDevice::isFlashModeSupported(FlashMode) const { return flash_; }

FlashMode CaptureDevice::flashMode() const {
    std::lock_guard lock(mutex_);
    return flashMode_;
}

void CaptureDevice::setFlashMode(FlashMode mode) {
    std::lock_guard lock(mutex_);
    if (flash_ && changeAllowed("flash mode")) flashMode_ = mode;
}

bool CaptureDevice::isFocusModeSupported(FocusMode mode) const {
    // The front camera has a fixed focus.
    return position_ == CaptureDevicePosition::Back || mode == FocusMode::Locked;
}

FocusMode CaptureDevice::focusMode() const {
    std::lock_guard lock(mutex_);
    return focusMode_;
}

void CaptureDevice::setFocusMode(FocusMode mode) {
    std::lock_guard lock(mutex_);
    if (isFocusModeSupported(mode) && changeAllowed("focus mode")) focusMode_ = mode;
}

bool CaptureDevice::isFocusPointOfInterestSupported() const { return position_ == CaptureDevicePosition::Back; }

graphics::Point CaptureDevice::focusPointOfInterest() const {
    std::lock_guard lock(mutex_);
    return focusPoint_;
}

void CaptureDevice::setFocusPointOfInterest(graphics::Point point) {
    std::lock_guard lock(mutex_);
    if (isFocusPointOfInterestSupported() && changeAllowed("focus point")) focusPoint_ = point;
}

bool CaptureDevice::isExposureModeSupported(ExposureMode mode) const {
    return mode != ExposureMode::AutoExpose || position_ == CaptureDevicePosition::Back;
}

ExposureMode CaptureDevice::exposureMode() const {
    std::lock_guard lock(mutex_);
    return exposureMode_;
}

void CaptureDevice::setExposureMode(ExposureMode mode) {
    std::lock_guard lock(mutex_);
    if (isExposureModeSupported(mode) && changeAllowed("exposure mode")) exposureMode_ = mode;
}

bool CaptureDevice::isExposurePointOfInterestSupported() const { return true; }

graphics::Point CaptureDevice::exposurePointOfInterest() const {
    std::lock_guard lock(mutex_);
    return exposurePoint_;
}

void CaptureDevice::setExposurePointOfInterest(graphics::Point point) {
    std::lock_guard lock(mutex_);
    if (changeAllowed("exposure point")) exposurePoint_ = point;
}

bool CaptureDevice::isSubjectAreaChangeMonitoringEnabled() const {
    std::lock_guard lock(mutex_);
    return subjectAreaMonitoring_;
}

void CaptureDevice::setSubjectAreaChangeMonitoringEnabled(bool enabled) {
    std::lock_guard lock(mutex_);
    if (changeAllowed("subject-area monitoring")) subjectAreaMonitoring_ = enabled;
}

}  // namespace media
