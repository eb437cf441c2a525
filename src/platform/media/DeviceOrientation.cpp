#include "platform/media/DeviceOrientation.h"

#include <atomic>

#include "platform/foundation/NotificationCenter.h"

namespace media {

namespace {
std::atomic<int> g_orientation{static_cast<int>(DeviceOrientation::Portrait)};
}

Device& Device::current() {
    static Device device;
    return device;
}

DeviceOrientation Device::orientation() const { return static_cast<DeviceOrientation>(g_orientation.load()); }

void Device::setOrientation(DeviceOrientation orientation) {
    int value = static_cast<int>(orientation);
    if (value < 0 || value > 6) value = 0;
    if (g_orientation.exchange(value) != value) {
        foundation::NotificationCenter::defaultCenter().post(kDeviceOrientationDidChangeNotification, this);
    }
}

}  // namespace media
