#pragma once

namespace media {

// How the phone is held. Set by tests and the simulator; read by the camera screens.
enum class DeviceOrientation {
    Unknown = 0,
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeLeft = 3,
    LandscapeRight = 4,
    FaceUp = 5,
    FaceDown = 6,
};

class Device {
public:
    static Device& current();
    DeviceOrientation orientation() const;
    // Posts "UIDeviceOrientationDidChangeNotification" on the calling thread when it changes.
    void setOrientation(DeviceOrientation orientation);
};

const char* const kDeviceOrientationDidChangeNotification = "UIDeviceOrientationDidChangeNotification";

}  // namespace media
