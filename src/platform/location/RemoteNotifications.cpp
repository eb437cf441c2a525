#include "platform/location/RemoteNotifications.h"

#include <mutex>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/RunLoop.h"

namespace push {

namespace {
std::mutex g_mutex;
bool g_fails = false;
bool g_registered = false;
unsigned g_types = None;
}  // namespace

std::string RemoteNotifications::deviceToken() {
    std::string token;
    for (int i = 0; i < 32; ++i) token.push_back(char((0x5a + 37 * i) & 0xff));
    return token;
}

std::string RemoteNotifications::deviceTokenHex() {
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (unsigned char c : deviceToken()) {
        out.push_back(hex[c >> 4]);
        out.push_back(hex[c & 0x0f]);
    }
    return out;
}

void RemoteNotifications::registerForRemoteNotificationTypes(unsigned types, Completion completion) {
    foundation::dispatch::mainQueue()->async([types, completion = std::move(completion)] {
        bool fails;
        {
            std::lock_guard lock(g_mutex);
            fails = g_fails;
            if (!fails) {
                g_registered = true;
                g_types = types;
            }
        }
        if (!completion) return;
        if (fails) {
            completion(std::nullopt, location::Error{location::ErrorCode::Registration, "远程通知注册失败"});
        } else {
            completion(deviceToken(), std::nullopt);
        }
    });
}

unsigned RemoteNotifications::registeredTypes() {
    std::lock_guard lock(g_mutex);
    return g_types;
}

bool RemoteNotifications::isRegistered() {
    std::lock_guard lock(g_mutex);
    return g_registered;
}

void RemoteNotifications::setRegistrationFails(bool fails) {
    std::lock_guard lock(g_mutex);
    g_fails = fails;
}

void RemoteNotifications::reset() {
    std::lock_guard lock(g_mutex);
    g_fails = false;
    g_registered = false;
    g_types = None;
}

}  // namespace push
