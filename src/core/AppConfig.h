#pragma once
#include <string>

#include "core/ServerAddress.h"

// Compiled-in configuration of the application core: the accident server's address, the
// application key and signing secret, and the fixed texts the API client shows.
// Scheme, host, port, the request time-out and the certificates trusted for https are settable
// (the simulator and the tests point the client at the stand-in server on 127.0.0.1 and a free
// port, or at a server of their own over https).
class AppConfig {
public:
    static constexpr const char* kDefaultHost = "api.veskard.cn";
    static constexpr int kDefaultPort = 8091;
    static constexpr const char* kBasePath = "/Veskard_mobile/mobile/standard/";
    // The ten-digit application key every signed request carries under "appkey".
    static constexpr const char* kAppKey = "1039485726";
    // The secret that goes into the request signature (never sent).
    static constexpr const char* kSigningSecret = "Vk7#pS2q-9fLm";
    // The toast shown when a request fails in transport.
    static constexpr const char* kNetworkFailureText = "网络连接失败,请打开后再试";
    static constexpr double kDefaultTimeout = 30.0;

    static std::string host();
    static int port();
    // "http" (the default) or "https"; https is always verified against the trusted certificates.
    static std::string scheme();
    static void setHost(const std::string& host);
    static void setPort(int port);
    // Anything but "http" and "https" is refused (and logged): the scheme stays what it was.
    static void setScheme(const std::string& scheme);
    static void setServerAddress(const ServerAddress& address);
    // "SCHEME://HOST:PORT/Veskard_mobile/mobile/standard/"
    static std::string baseURL();

    // A PEM file of the certificate authorities https trusts, in place of the system's (empty:
    // the system's).
    static std::string certificateAuthorities();
    static void setCertificateAuthorities(const std::string& pemFile);

    // Seconds a request may take from connecting to its last byte (default 30).
    static double requestTimeout();
    static void setRequestTimeout(double seconds);

    // Back to the compiled-in address, time-out and trust.
    static void reset();

    static std::string appKey() { return kAppKey; }
};
