#include "core/AppConfig.h"

#include <mutex>

namespace {
struct Values {
    std::mutex mutex;
    std::string host = AppConfig::kDefaultHost;
    int port = AppConfig::kDefaultPort;
    double timeout = AppConfig::kDefaultTimeout;
};
Values& values() {
    static Values v;
    return v;
}
}  // namespace

std::string AppConfig::host() {
    std::lock_guard lock(values().mutex);
    return values().host;
}

int AppConfig::port() {
    std::lock_guard lock(values().mutex);
    return values().port;
}

void AppConfig::setHost(const std::string& host) {
    std::lock_guard lock(values().mutex);
    values().host = host;
}

void AppConfig::setPort(int port) {
    std::lock_guard lock(values().mutex);
    values().port = port;
}

std::string AppConfig::baseURL() {
    std::lock_guard lock(values().mutex);
    return "http://" + values().host + ":" + std::to_string(values().port) + kBasePath;
}

double AppConfig::requestTimeout() {
    std::lock_guard lock(values().mutex);
    return values().timeout;
}

void AppConfig::setRequestTimeout(double seconds) {
    std::lock_guard lock(values().mutex);
    values().timeout = seconds > 0 ? seconds : kDefaultTimeout;
}

void AppConfig::reset() {
    std::lock_guard lock(values().mutex);
    values().host = kDefaultHost;
    values().port = kDefaultPort;
    values().timeout = kDefaultTimeout;
}
