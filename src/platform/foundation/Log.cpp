#include "platform/foundation/Log.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace foundation {

namespace {
std::atomic<bool> enabled{true};
std::mutex& logMutex() {
    static std::mutex m;
    return m;
}
ErrorObserver& observer() {
    static ErrorObserver o;
    return o;
}
}  // namespace

void log(const std::string& message) {
    if (!enabled.load()) return;
    std::lock_guard<std::mutex> lock(logMutex());
    std::fprintf(stderr, "[veskard] %s\n", message.c_str());
    std::fflush(stderr);
}

void setLogEnabled(bool on) { enabled.store(on); }

bool logEnabled() { return enabled.load(); }

void logError(const std::string& message) {
    ErrorObserver current;
    {
        std::lock_guard<std::mutex> lock(logMutex());
        std::fprintf(stderr, "[veskard] error: %s\n", message.c_str());
        std::fflush(stderr);
        current = observer();
    }
    if (current) current(message);
}

void setErrorObserver(ErrorObserver o) {
    std::lock_guard<std::mutex> lock(logMutex());
    observer() = std::move(o);
}

}  // namespace foundation
