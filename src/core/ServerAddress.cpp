#include "core/ServerAddress.h"

#include <cctype>

namespace {

std::string lowerCase(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool isHostName(const std::string& host) {
    if (host.empty() || host.size() > 253 || host.front() == '.' || host.front() == '-') return false;
    for (unsigned char c : host)
        if (!std::isalnum(c) && c != '-' && c != '.') return false;
    return true;
}

bool isBracketedIPv6(const std::string& host) {
    if (host.size() < 4 || host.front() != '[' || host.back() != ']') return false;
    for (size_t i = 1; i + 1 < host.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(host[i]);
        if (!std::isxdigit(c) && c != ':' && c != '.') return false;
    }
    return true;
}

}  // namespace

std::string ServerAddress::origin() const { return scheme + "://" + host + ":" + std::to_string(port); }

std::optional<ServerAddress> ServerAddress::parse(const std::string& text, std::string& error) {
    error.clear();
    auto refuse = [&](const std::string& why) {
        error = why + ": \"" + text + "\"";
        return std::nullopt;
    };
    for (unsigned char c : text)
        if (c <= ' ' || c >= 0x7f)
            return refuse("the server address holds a space or a character that is not plain ASCII");
    ServerAddress address;
    std::string rest = text;
    if (size_t scheme = rest.find("://"); scheme != std::string::npos) {
        address.scheme = lowerCase(rest.substr(0, scheme));
        if (address.scheme != "http" && address.scheme != "https")
            return refuse("the server is reached over http or https only, not \"" + address.scheme + "\"");
        rest = rest.substr(scheme + 3);
    }
    if (!rest.empty() && rest.back() == '/') rest.pop_back();
    if (rest.find_first_of("/?#") != std::string::npos)
        return refuse("the server address takes no path, query or fragment");
    if (rest.find('@') != std::string::npos) return refuse("the server address takes no user name or password");
    // The port follows the host's one ':' (an IPv6 host has its own, in brackets).
    size_t hostEnd = rest.size();
    const size_t colon = rest.rfind(':'), bracket = rest.rfind(']');
    if (colon != std::string::npos && (bracket == std::string::npos ? rest.find(':') == colon : colon > bracket)) {
        const std::string port = rest.substr(colon + 1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(port) < 1 || std::stoi(port) > 65535)
            return refuse("the server's port is a number from 1 to 65535");
        address.port = std::stoi(port);
        hostEnd = colon;
    }
    address.host = lowerCase(rest.substr(0, hostEnd));
    if (address.host.empty()) return refuse("the server address names no host");
    if (!isHostName(address.host) && !isBracketedIPv6(address.host))
        return refuse(
            "the server's host is a name of letters, digits, \"-\" and \".\", or an IPv6 address in brackets");
    return address;
}
