#include "platform/foundation/Activity.h"

#include <map>
#include <mutex>

namespace foundation {

namespace {
std::mutex& probeMutex() {
    static std::mutex m;
    return m;
}
std::map<std::string, std::function<bool()>>& probes() {
    static std::map<std::string, std::function<bool()>> p;
    return p;
}
}  // namespace

void registerActivityProbe(const std::string& name, std::function<bool()> busy) {
    std::lock_guard lock(probeMutex());
    if (busy)
        probes()[name] = std::move(busy);
    else
        probes().erase(name);
}

bool activityInFlight(std::string* which) {
    std::map<std::string, std::function<bool()>> copy;
    {
        std::lock_guard lock(probeMutex());
        copy = probes();
    }
    for (const auto& [name, busy] : copy) {
        if (busy && busy()) {
            if (which) *which = name;
            return true;
        }
    }
    return false;
}

}  // namespace foundation
