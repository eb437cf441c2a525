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
}  // namespace

void log(const std::string& message) {
    if (!enabled.load()) return;
    std::lock_guard<std::mutex> lock(logMutex());
    std::fprintf(stderr, "[veskard] %s\n", message.c_str());
    std::fflush(stderr);
}

void setLogEnabled(bool on) { enabled.store(on); }

bool logEnabled() { return enabled.load(); }

}  // namespace foundation
