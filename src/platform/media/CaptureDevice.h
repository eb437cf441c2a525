#pragma once
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/Geometry.h"
#include "platform/media/MediaError.h"

namespace media {

enum class MediaType { Video, Audio };
enum class CaptureDevicePosition { Unspecified = 0, Back = 1, Front = 2 };
enum class FlashMode { Off = 0, On = 1, Auto = 2 };
enum class FocusMode { Locked = 0, AutoFocus = 1, ContinuousAutoFocus = 2 };
enum class ExposureMode { Locked = 0, AutoExpose = 1, ContinuousAutoExposure = 2 };

// A camera of the stand-in phone. Modes change only while the device is locked for
// configuration; a change without the lock is ignored.
class CaptureDevice {
public:
    using Ptr = std::shared_ptr<CaptureDevice>;

    // Whether the platform offers capture devices at all.
    static bool classAvailable();
    static std::vector<Ptr> devicesWithMediaType(MediaType type);
    static Ptr defaultDeviceWithMediaType(MediaType type);  // the back camera, else the first

    CaptureDevicePosition position() const { return position_; }
    std::string localizedName() const;
    bool hasMediaType(MediaType type) const { return type == MediaType::Video; }

    bool lockForConfiguration(Error* error = nullptr);
    void unlockForConfiguration();
    bool isLocked() const;

    bool hasFlash() const;
    bool isFlashModeSupported(FlashMode mode) const;
    FlashMode flashMode() const;
    void setFlashMode(FlashMode mode);

    bool isFocusModeSupported(FocusMode mode) const;
    FocusMode focusMode() const;
    void setFocusMode(FocusMode mode);
    bool isFocusPointOfInterestSupported() const;
    graphics::Point focusPointOfInterest() const;
    void setFocusPointOfInterest(graphics::Point point);

    bool isExposureModeSupported(ExposureMode mode) const;
    ExposureMode exposureMode() const;
    void setExposureMode(ExposureMode mode);
    bool isExposurePointOfInterestSupported() const;
    graphics::Point exposurePointOfInterest() const;
    void setExposurePointOfInterest(graphics::Point point);

    bool isSubjectAreaChangeMonitoringEnabled() const;
    void setSubjectAreaChangeMonitoringEnabled(bool enabled);

    CaptureDevice(CaptureDevicePosition position, bool flash);

private:
    bool changeAllowed(const char* what) const;

    CaptureDevicePosition position_;
    bool flash_;
    mutable std::mutex mutex_;
    bool locked_ = false;
    FlashMode flashMode_ = FlashMode::Off;
    FocusMode focusMode_ = FocusMode::ContinuousAutoFocus;
    ExposureMode exposureMode_ = ExposureMode::ContinuousAutoExposure;
    graphics::Point focusPoint_{0.5, 0.5};
    graphics::Point exposurePoint_{0.5, 0.5};
    bool subjectAreaMonitoring_ = false;
};

}  // namespace media
