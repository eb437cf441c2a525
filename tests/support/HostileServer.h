#pragma once
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace hostile {

// A real PNG of that many 8-bit grey pixels, all black: a few hundred kilobytes however large
// the area it claims.
std::string greyPNG(uint32_t width, uint32_t height);

// A certificate and its private key for 127.0.0.1, made at test time and signed by itself,
// written as PEM files into `directory`. The certificate file doubles as the trust store that
// trusts it (and nothing else).
struct Certificate {
    std::filesystem::path certificateFile;
    std::filesystem::path keyFile;

    static Certificate make(const std::filesystem::path& directory, const std::string& name);
};

// A web server of the test's own on 127.0.0.1 that answers as an attacker would: redirects
// anywhere, bodies without end, names of its choosing. Plain http, or https with a certificate.
class Server {
public:
    Server();
    explicit Server(const Certificate& certificate);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:PORT" (https with a certificate) followed by the path.
    std::string url(const std::string& path) const;

    // The path answers the body with the headers given.
    void serve(const std::string& path, std::string body, const std::string& type = "application/octet-stream",
               std::map<std::string, std::string> headers = {});
    // The path answers a redirect to `to`.
    void redirect(const std::string& path, const std::string& to);
    // The path answers `chunk` over and over. With `announced` > 0 the reply says it is that
    // long; otherwise it comes in chunks without a length. It stops only when the client goes or
    // `cap` bytes are out (the test's own bound, should the client never stop).
    void endless(const std::string& path, std::string chunk, long long cap, long long announced = 0);
    // The path answers one `chunk` at a time, every `interval` seconds, until the client goes.
    void trickle(const std::string& path, std::string chunk, double interval);

    // Requests the path received, and the body bytes sent for it so far.
    int hits(const std::string& path) const;
    long long bytesSent(const std::string& path) const;

private:
    struct Counters;
    void start();
    void route(const std::string& path, std::function<void(const httplib::Request&, httplib::Response&)> handler);
    void count(const std::string& path);

    std::unique_ptr<httplib::Server> server_;
    std::shared_ptr<Counters> counters_;
    bool tls_ = false;
    int port_ = 0;
    std::thread thread_;
};

// A TCP port on 127.0.0.1 that accepts connections, counts them and answers nothing: where a
// hostile address points, to see whether anything went there.
class Tripwire {
public:
    Tripwire();
    ~Tripwire();
    Tripwire(const Tripwire&) = delete;
    Tripwire& operator=(const Tripwire&) = delete;

    int port() const { return port_; }
    // The connections made so far by others: a connection of its own goes through after every
    // one made before it, so none still waiting in the queue is missed.
    int connections();

private:
    void acceptLoop();

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::map<int, int> peers_;  // the peer port of each accepted connection -> how many
    int accepted_ = 0;
    std::thread thread_;
};

}  // namespace hostile
