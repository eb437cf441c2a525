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
LogSink& sink() {
    static LogSink s;
    return s;
}
}  // namespace

void log(const std::string& message) {
    std::lock_guard<std::mutex> lock(logMutex());
    if (sink()) sink()(message);
    if (!enabled.load()) return;
    std::fprintf(stderr, "[veskard] %s\n", message.c_str());
    std::fflush(stderr);
}

void setLogSink(LogSink s) {
    std::lock_guard<std::mutex> lock(logMutex());
    sink() = std::move(s);
}

std::string loggableURL(const std::string& url) {
    std::string rest = url.substr(0, url.find('#'));
    std::string query;
    if (size_t mark = rest.find('?'); mark != std::string::npos) {
        query = rest.substr(mark + 1);
        rest.resize(mark);
    }
    // No "user:password@" before the host.
    size_t scheme = rest.find("://");
    size_t hostStart = scheme == std::string::npos ? 0 : scheme + 3;
    size_t hostEnd = rest.find('/', hostStart);
    size_t at = rest.rfind('@', hostEnd == std::string::npos ? std::string::npos : hostEnd);
    if (scheme != std::string::npos && at != std::string::npos && at >= hostStart)
        rest.erase(hostStart, at + 1 - hostStart);
    if (query.empty()) return rest;
    std::string names;
    size_t pos = 0;
    while (pos <= query.size()) {
        size_t amp = query.find('&', pos);
        std::string pair = query.substr(pos, amp == std::string::npos ? std::string::npos : amp - pos);
        std::string name = pair.substr(0, pair.find('='));
        if (!name.empty()) names += (names.empty() ? "" : "&") + name;
        if (amp == std::string::npos) break;
        pos = amp + 1;
    }
    return names.empty() ? rest : rest + "?" + names;
}

void setLogEnabled(bool on) { enabled.store(on); }

bool logEnabled() { return enabled.load(); }

void logError(const std::string& message) {
    ErrorObserver current;
    {
        std::lock_guard<std::mutex> lock(logMutex());
        if (sink()) sink()("error: " + message);
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
