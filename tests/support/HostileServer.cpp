#include "support/HostileServer.h"

#include <httplib.h>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <zlib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace hostile {

namespace {

void check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("test certificate: ") + what);
}

void addExtension(X509* certificate, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    check(extension != nullptr, "extension");
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

void appendChunk(std::string& png, const char* type, const std::string& data) {
    auto be32 = [&](uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<char>((v >> shift) & 0xff));
    };
    be32(static_cast<uint32_t>(data.size()));
    std::string typed = std::string(type, 4) + data;
    png += typed;
    be32(
        static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()))));
}

}  // namespace

std::string greyPNG(uint32_t width, uint32_t height) {
    std::string header;
    for (uint32_t v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) header.push_back(static_cast<char>((v >> shift) & 0xff));
    header += std::string("\x08\x00\x00\x00\x00", 5);  // 8-bit grey, deflate, no interlace
    // Each row: filter "none", then its pixels.
    std::vector<unsigned char> row(size_t(width) + 1, 0);
    std::string compressed;
    z_stream stream{};
    deflateInit(&stream, Z_BEST_COMPRESSION);
    std::vector<unsigned char> out(1 << 16);
    for (uint32_t y = 0; y <= height; ++y) {
        stream.next_in = row.data();
        stream.avail_in = y < height ? static_cast<uInt>(row.size()) : 0;
        int flush = y < height ? Z_NO_FLUSH : Z_FINISH;
        do {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            deflate(&stream, flush);
            compressed.append(reinterpret_cast<char*>(out.data()), out.size() - stream.avail_out);
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    std::string png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", compressed);
    appendChunk(png, "IEND", "");
    return png;
}

Certificate Certificate::make(const std::filesystem::path& directory, const std::string& name) {
    std::filesystem::create_directories(directory);
    EVP_PKEY* key = EVP_EC_gen("P-256");
    check(key != nullptr, "key");
    X509* certificate = X509_new();
    X509_set_version(certificate, 2);
    static int serial = 0;
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), ++serial);
    X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate), 24 * 3600);
    X509_set_pubkey(certificate, key);
    X509_NAME* subject = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(name.c_str()), -1,
                               -1, 0);
    X509_set_issuer_name(certificate, subject);
    addExtension(certificate, NID_basic_constraints, "critical,CA:TRUE");
    addExtension(certificate, NID_key_usage, "critical,digitalSignature,keyCertSign");
    addExtension(certificate, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
    addExtension(certificate, NID_subject_key_identifier, "hash");
    check(X509_sign(certificate, key, EVP_sha256()) > 0, "signature");

    Certificate made{directory / (name + ".crt"), directory / (name + ".key")};
    std::FILE* out = std::fopen(made.certificateFile.c_str(), "w");
    check(out && PEM_write_X509(out, certificate) == 1, "certificate file");
    std::fclose(out);
    out = std::fopen(made.keyFile.c_str(), "w");
    check(out && PEM_write_PrivateKey(out, key, nullptr, nullptr, 0, nullptr, nullptr) == 1, "key file");
    std::fclose(out);
    X509_free(certificate);
    EVP_PKEY_free(key);
    return made;
}

// What the server knows, shared with its threads: the routes the test added (by exact path)
// and what each was asked and sent.
struct Server::Counters {
    mutable std::mutex mutex;
    std::map<std::string, std::function<void(const httplib::Request&, httplib::Response&)>> routes;
    std::map<std::string, int> hits;
    std::map<std::string, long long> sent;

    void add(const std::string& path, long long bytes) {
        std::lock_guard lock(mutex);
        sent[path] += bytes;
    }
};

Server::Server() : server_(std::make_unique<httplib::Server>()), counters_(std::make_shared<Counters>()) { start(); }

Server::Server(const Certificate& certificate)
    : server_(std::make_unique<httplib::SSLServer>(certificate.certificateFile.c_str(), certificate.keyFile.c_str())),
      counters_(std::make_shared<Counters>()),
      tls_(true) {
    start();
}

void Server::start() {
    if (!server_->is_valid()) throw std::runtime_error("the hostile server could not start");
    // One handler, set before the server listens; the routes are looked up under the lock, so a
    // test may add them while the server runs.
    auto counters = counters_;
    server_->Get(".*", [counters](const httplib::Request& req, httplib::Response& res) {
        std::function<void(const httplib::Request&, httplib::Response&)> route;
        {
            std::lock_guard lock(counters->mutex);
            auto it = counters->routes.find(req.path);
            if (it != counters->routes.end()) route = it->second;
        }
        if (route) route(req, res);
        else res.status = 404;
    });
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
}

Server::~Server() {
    server_->stop();
    if (thread_.joinable()) thread_.join();
}

std::string Server::url(const std::string& path) const {
    return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + path;
}

void Server::route(const std::string& path, std::function<void(const httplib::Request&, httplib::Response&)> handler) {
    std::lock_guard lock(counters_->mutex);
    counters_->routes[path] = std::move(handler);
}

void Server::count(const std::string& path) {
    std::lock_guard lock(counters_->mutex);
    ++counters_->hits[path];
}

int Server::hits(const std::string& path) const {
    std::lock_guard lock(counters_->mutex);
    auto it = counters_->hits.find(path);
    return it == counters_->hits.end() ? 0 : it->second;
}

long long Server::bytesSent(const std::string& path) const {
    std::lock_guard lock(counters_->mutex);
    auto it = counters_->sent.find(path);
    return it == counters_->sent.end() ? 0 : it->second;
}

void Server::serve(const std::string& path, std::string body, const std::string& type,
                   std::map<std::string, std::string> headers) {
    route(path, [this, path, body, type, headers](const httplib::Request&, httplib::Response& res) {
        count(path);
        for (const auto& [name, value] : headers) res.set_header(name, value);
        res.set_content(body, type);
        counters_->add(path, static_cast<long long>(body.size()));
    });
}

void Server::redirect(const std::string& path, const std::string& to) {
    route(path, [this, path, to](const httplib::Request&, httplib::Response& res) {
        count(path);
        res.status = 302;
        res.set_header("Location", to);
    });
}

void Server::endless(const std::string& path, std::string chunk, long long cap, long long announced) {
    route(path, [this, path, chunk, cap, announced](const httplib::Request&, httplib::Response& res) {
        count(path);
        auto counters = counters_;
        // Writes until the client goes (false) or the cap is reached (true).
        auto provide = [counters, path, chunk, cap](size_t offset, httplib::DataSink& sink) {
            for (auto sent = static_cast<long long>(offset); sent < cap; sent += static_cast<long long>(chunk.size())) {
                if (!sink.write(chunk.data(), chunk.size())) return false;
                counters->add(path, static_cast<long long>(chunk.size()));
            }
            return true;
        };
        if (announced > 0) {
            res.set_content_provider(static_cast<size_t>(announced), "application/octet-stream",
                                     [provide](size_t offset, size_t, httplib::DataSink& sink) {
                                         provide(offset, sink);
                                         return false;  // never the whole of what it announced
                                     });
        } else {
            res.set_chunked_content_provider("application/octet-stream",
                                             [provide](size_t offset, httplib::DataSink& sink) {
                                                 if (!provide(offset, sink)) return false;  // the client went
                                                 sink.done();
                                                 return true;
                                             });
        }
    });
}

void Server::trickle(const std::string& path, std::string chunk, double interval) {
    route(path, [this, path, chunk, interval](const httplib::Request&, httplib::Response& res) {
        count(path);
        auto counters = counters_;
        res.set_chunked_content_provider("application/octet-stream",
                                         [counters, path, chunk, interval](size_t, httplib::DataSink& sink) {
                                             // The delay is the server's way of being slow, not a wait of the test.
                                             std::this_thread::sleep_for(std::chrono::duration<double>(interval));
                                             if (!sink.write(chunk.data(), chunk.size())) return false;
                                             counters->add(path, static_cast<long long>(chunk.size()));
                                             return true;
                                         });
    });
}

Tripwire::Tripwire() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener_, 64) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("the tripwire could not listen");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { acceptLoop(); });
}

Tripwire::~Tripwire() {
    stopping_ = true;
    thread_.join();
    ::close(listener_);
}

void Tripwire::acceptLoop() {
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, 50) <= 0) continue;
        sockaddr_in peer{};
        socklen_t length = sizeof(peer);
        int connection = ::accept(listener_, reinterpret_cast<sockaddr*>(&peer), &length);
        if (connection < 0) continue;
        {
            std::lock_guard lock(mutex_);
            ++peers_[ntohs(peer.sin_port)];
            ++accepted_;
        }
        ::close(connection);
    }
}

int Tripwire::connections() {
    int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port_));
    if (probe < 0 || ::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
        throw std::runtime_error("the tripwire's own connection failed");
    sockaddr_in own{};
    socklen_t length = sizeof(own);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&own), &length);
    const int ownPort = ntohs(own.sin_port);
    // Accepted in the order they came: once this one is in, every earlier one is counted.
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            auto it = peers_.find(ownPort);
            if (it != peers_.end()) {
                if (--it->second == 0) peers_.erase(it);
                --accepted_;
                break;
            }
        }
        pollfd closed{probe, POLLIN, 0};
        ::poll(&closed, 1, 10);  // the tripwire closes it once accepted
    }
    ::close(probe);
    std::lock_guard lock(mutex_);
    return accepted_;
}

}  // namespace hostile
