#pragma once
#include <functional>
#include <optional>
#include <string>

#include "platform/location/LocationError.h"

namespace push {

enum NotificationType : unsigned { None = 0, Badge = 1u << 0, Sound = 1u << 1, Alert = 1u << 2 };

// The stand-in push service: registration answers one fixed device token. Payloads are
// delivered to the application delegate by the testing driver and the simulator.
class RemoteNotifications {
public:
    using Completion = std::function<void(std::optional<std::string> deviceToken, std::optional<location::Error>)>;

    // The fixed 32-byte device token, and its lower-case hexadecimal text (64 digits).
    static std::string deviceToken();
    static std::string deviceTokenHex();

    // Answers on the main loop with the token (or an error when failing is switched on).
    static void registerForRemoteNotificationTypes(unsigned types, Completion completion);
    static unsigned registeredTypes();
    static bool isRegistered();
    static void setRegistrationFails(bool fails);
    static void reset();
};

}  // namespace push
