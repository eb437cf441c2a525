#include "core/AppConfig.h"

#include <mutex>

#include "platform/foundation/Log.h"

namespace {
struct Values {
    std::mutex mutex;
    std::string scheme = "http";
    std::string certificateAuthorities;
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

std::string AppConfig::scheme() {
    std::lock_guard lock(values().mutex);
    return values().scheme;
}

void AppConfig::setScheme(const std::string& scheme) {
    if (scheme != "http" && scheme != "https") {
        foundation::log("AppConfig: the server is reached over http or https only, not \"" + scheme + "\"");
        return;
    }
    std::lock_guard lock(values().mutex);
    values().scheme = scheme;
}

void AppConfig::setServerAddress(const ServerAddress& address) {
    setScheme(address.scheme);
    setHost(address.host);
    setPort(address.port);
}

std::string AppConfig::certificateAuthorities() {
    std::lock_guard lock(values().mutex);
    return values().certificateAuthorities;
}

void AppConfig::setCertificateAuthorities(const std::string& pemFile) {
    std::lock_guard lock(values().mutex);
    values().certificateAuthorities = pemFile;
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
    return values().scheme + "://" + values().host + ":" + std::to_string(values().port) + kBasePath;
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
    values().scheme = "http";
    values().certificateAuthorities.clear();
    values().host = kDefaultHost;
    values().port = kDefaultPort;
    values().timeout = kDefaultTimeout;
}
