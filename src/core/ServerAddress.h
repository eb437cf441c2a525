#pragma once
#include <optional>
#include <string>

// Where the accident server is: scheme, host and port. Written "HOST", "HOST:PORT",
// "http://HOST[:PORT]" or "https://HOST[:PORT]" (a final "/" allowed); the scheme defaults to
// http and the port to the server's 8091. The host is a name of letters, digits, "-" and ".",
// or an IPv6 address in brackets.
struct ServerAddress {
    std::string scheme = "http";
    std::string host;
    int port = 8091;

    // "scheme://host:port"
    std::string origin() const;

    // The address the text writes, or nullopt and a sentence saying what is wrong with it (a
    // scheme other than http and https, no host, a bad port, a path, a query, credentials...).
    static std::optional<ServerAddress> parse(const std::string& text, std::string& error);
};
