#include "tools/server/StandInServer.h"

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <httplib.h>

#include "platform/foundation/JsonText.h"

namespace standin {

namespace {

const char* kSignatureErrorText = "签名错误";

std::string jsonText(const nlohmann::json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::optional<std::string> stringParam(const nlohmann::json& object, const std::string& name) {
    if (!object.is_object()) return std::nullopt;
    auto it = object.find(name);
    if (it == object.end()) return std::nullopt;
    if (it->is_string()) return it->get<std::string>();
    if (it->is_number_integer()) return std::to_string(it->get<long long>());
    if (it->is_number_unsigned()) return std::to_string(it->get<unsigned long long>());
    if (it->is_number_float() || it->is_boolean()) return jsonText(*it);
    return std::nullopt;
}

int portOf(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return -1;
}

// Shuts the server's end of one connection so that the client gets no reply at all.
// The HTTP library does not hand the socket to a handler, so find it by its two ports.
bool shutDownConnection(int localPort, int remotePort) {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return false;
    bool found = false;
    while (dirent* entry = readdir(dir)) {
        char* end = nullptr;
        long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == dirfd(dir)) continue;
        struct stat st {};
        if (fstat(static_cast<int>(fd), &st) != 0 || !S_ISSOCK(st.st_mode)) continue;
        sockaddr_storage local {}, peer {};
        socklen_t localLength = sizeof local, peerLength = sizeof peer;
        if (getsockname(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&local), &localLength) != 0) continue;
        if (getpeername(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0) continue;
        if (portOf(local) == localPort && portOf(peer) == remotePort) {
            ::shutdown(static_cast<int>(fd), SHUT_RDWR);
            found = true;
            break;
        }
    }
    closedir(dir);
    return found;
}

// Every text longer than kLongText inside `value` replaced by its short form.
void shortenLongTexts(nlohmann::json& value) {
    if (value.is_string()) {
        if (value.get_ref<const std::string&>().size() > StandInServer::kLongText)
            value = shortText(value.get_ref<const std::string&>());
    } else if (value.is_structured()) {
        for (auto& item : value) shortenLongTexts(item);
    }
}

}  // namespace

std::string shortText(const std::string& text) {
    constexpr size_t kLongest = 80;
    if (text.size() <= kLongest) return text;
    for (const char* jpeg : {"/9j/", "%2F9j%2F"})
        if (text.rfind(jpeg, 0) == 0) return "<JPEG photo, " + std::to_string(text.size()) + " characters of Base64>";
    if (text.rfind("iVBORw0KGgo", 0) == 0)
        return "<PNG picture, " + std::to_string(text.size()) + " characters of Base64>";
    size_t cut = 60;  // on a character boundary
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "... (" + std::to_string(text.size()) + " bytes)";
}

// ---- RecordedRequest and Reply ----

std::optional<std::string> RecordedRequest::param(const std::string& name) const {
    if (auto v = stringParam(query, name)) return v;
    return stringParam(body, name);
}

Reply Reply::json(nlohmann::json body, int status) {
    Reply r;
    r.status = status;
    r.body = std::move(body);
    return r;
}

Reply Reply::raw(std::string bytes, int status) {
    Reply r;
    r.status = status;
    r.rawBody = std::move(bytes);
    return r;
}

Reply Reply::dropped() {
    Reply r;
    r.drop = true;
    return r;
}

Reply Reply::held(std::shared_ptr<ReplyGate> gate, Reply reply) {
    reply.gate = std::move(gate);
    return reply;
}

void ReplyGate::open() {
    {
        std::lock_guard lock(mutex_);
        open_ = true;
    }
    opened_.notify_all();
}

bool ReplyGate::isOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

bool ReplyGate::waitOpen(double seconds) const {
    std::unique_lock lock(mutex_);
    return opened_.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return open_; });
}

Reply Reply::delayed(double seconds, nlohmann::json body) {
    Reply r = json(std::move(body));
    r.delaySeconds = seconds;
    return r;
}

Reply Reply::rescode(const std::string& code, const std::string& description, const nlohmann::json& extra) {
    nlohmann::json body = nlohmann::json::object();
    if (extra.is_object()) body = extra;
    body["rescode"] = code;
    body["resdes"] = description;
    return json(std::move(body));
}

// ---- the server ----

struct StandInServer::Http {
    httplib::Server server;
};

StandInServer::StandInServer() : StandInServer(true) {}

StandInServer::StandInServer(bool installDefaults) : http_(std::make_unique<Http>()) {
    installRoutes();
    if (installDefaults) registerDefaults(*this);
}

StandInServer::~StandInServer() { stop(); }

void StandInServer::installRoutes() {
    const std::string pattern = std::string(kBasePath) + "([^/]+)";
    http_->server.Get(pattern, [this](const httplib::Request& req, httplib::Response& res) {
        handle("GET", std::string(req.matches[1]), req, res, req.body);
    });
    http_->server.Get(std::string(kVoicePath) + "([^/]+)", [this](const httplib::Request& req, httplib::Response& res) {
        handle("GET", kVoiceWord + std::string(req.matches[1]), req, res, req.body);
    });
    // The body is read here, chunk by chunk, so that the link can be slowed or cut.
    http_->server.Post(pattern, [this](const httplib::Request& req, httplib::Response& res,
                                       const httplib::ContentReader& reader) {
        std::string body;
        bool cut = false;
        reader([&](const char* data, size_t length) { return receive(body, data, length, cut); });
        if (cut) {
            {
                std::lock_guard lock(mutex_);
                ++cutUploads_;
            }
            changed_.notify_all();
            shutDownConnection(req.local_port, req.remote_port);
            res.status = 500;
            res.set_header("Connection", "close");
            return;
        }
        handle("POST", std::string(req.matches[1]), req, res, body);
    });
    // Payloads of several megabytes (Base64 photographs) are ordinary here.
    http_->server.set_payload_max_length(64u * 1024u * 1024u);
    http_->server.set_keep_alive_timeout(1);
    // Wake up every 100 ms so that a stop is seen even while no client connects.
    http_->server.set_idle_interval(0, 100000);
}

bool StandInServer::start(int port) {
    if (thread_.joinable()) return true;
    {
        std::lock_guard lock(mutex_);
        stopping_ = false;
    }
    int bound = -1;
    if (port == 0) {
        bound = http_->server.bind_to_any_port("127.0.0.1");
    } else if (http_->server.bind_to_port("127.0.0.1", port)) {
        bound = port;
    }
    if (bound <= 0) return false;
    port_ = bound;
    // The socket listens from here on: connections wait in the backlog until the loop accepts.
    thread_ = std::thread([this] { http_->server.listen_after_bind(); });
    // The library ignores stop() until its loop runs; wait for it so that stop() right after
    // start() cannot leave the loop listening for ever.
    for (int i = 0; i < 5000 && !http_->server.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void StandInServer::stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    http_->server.stop();
    thread_.join();
    // The HTTP library cannot listen again after stop; a restart gets a fresh one.
    http_ = std::make_unique<Http>();
    installRoutes();
}

std::string StandInServer::voiceURL(const std::string& name) const {
    return "http://127.0.0.1:" + std::to_string(port_) + kVoicePath + name;
}

void StandInServer::serveVoice(const std::string& name, std::string mp3) {
    Reply reply = Reply::raw(std::move(mp3));
    reply.contentType = "audio/mpeg";
    script(kVoiceWord + name, std::move(reply));
}

bool StandInServer::isRunning() const { return thread_.joinable(); }

int StandInServer::port() const { return port_; }

std::string StandInServer::baseURL() const {
    return "http://127.0.0.1:" + std::to_string(port_) + kBasePath;
}

bool StandInServer::receive(std::string& body, const char* data, size_t length, bool& cut) {
    Link link;
    {
        std::lock_guard lock(mutex_);
        link = link_;
    }
    if (link.dropAfterBytes >= 0 && body.size() + length > static_cast<size_t>(link.dropAfterBytes)) {
        body.append(data, static_cast<size_t>(link.dropAfterBytes) - body.size());
        cut = true;
        return false;
    }
    body.append(data, length);
    if (link.bytesPerSecond <= 0) return true;
    // One link shared by every connection: each chunk takes its turn on it.
    std::chrono::steady_clock::time_point done;
    {
        std::lock_guard lock(mutex_);
        auto now = std::chrono::steady_clock::now();
        if (linkFreeAt_ < now) linkFreeAt_ = now;
        linkFreeAt_ += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(static_cast<double>(length) / link.bytesPerSecond));
        done = linkFreeAt_;
    }
    auto wait = std::chrono::duration<double>(done - std::chrono::steady_clock::now()).count();
    if (wait > 0 && !sleepUnlessStopping(wait)) {
        cut = true;
        return false;
    }
    return true;
}

void StandInServer::setLink(Link link) {
    std::lock_guard lock(mutex_);
    link_ = link;
}

StandInServer::Link StandInServer::link() const {
    std::lock_guard lock(mutex_);
    return link_;
}

size_t StandInServer::cutUploads() const {
    std::lock_guard lock(mutex_);
    return cutUploads_;
}

void StandInServer::handle(const std::string& method, const std::string& pathWord, const httplib::Request& req,
                           httplib::Response& res, const std::string& body) {
    RecordedRequest recorded;
    recorded.method = method;
    recorded.pathWord = pathWord;
    for (const auto& [key, value] : req.params) {
        if (!recorded.query.contains(key)) recorded.query[key] = value;
    }
    recorded.rawBody = body;
    if (!body.empty()) {
        recorded.body = foundation::parseJson(body);
        if (recorded.body.is_discarded()) recorded.body = nullptr;
    }
    // A one-off reply goes to the request recorded with it: a test that waits for one request
    // before it sends the next knows which reply each one gets, however the threads run.
    std::optional<Reply> once;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(recorded);
        wholeBodyBytes_ += recorded.rawBody.size();
        while (wholeBodyBytes_ > wholeBodyLimit_ && firstWhole_ + 1 < requests_.size()) {
            RecordedRequest& old = requests_[firstWhole_++];
            wholeBodyBytes_ -= old.rawBody.size();
            std::string().swap(old.rawBody);
            shortenLongTexts(old.query);
            shortenLongTexts(old.body);
        }
        if (!wronglySigned(recorded)) once = takeOnce(recorded.pathWord);
    }
    changed_.notify_all();

    Reply reply = once ? std::move(*once) : answer(recorded);

    if (reply.delaySeconds > 0 && !sleepUnlessStopping(reply.delaySeconds)) reply.drop = true;
    // A held reply waits for its gate; a stop does not wait for it.
    while (reply.gate && !reply.drop && !reply.gate->waitOpen(0.05)) {
        std::lock_guard lock(mutex_);
        if (stopping_) reply.drop = true;
    }
    if (reply.drop) {
        shutDownConnection(req.local_port, req.remote_port);
        res.status = 500;
        res.set_header("Connection", "close");
        return;
    }
    res.status = reply.status;
    if (reply.rawBody) {
        res.set_content(*reply.rawBody, reply.contentType);
    } else if (!reply.body.is_null()) {
        res.set_content(jsonText(reply.body), "application/json;charset=UTF-8");
    }
}

bool StandInServer::wronglySigned(const RecordedRequest& request) {
    auto userid = request.param("userid");
    auto sn = request.param("sn");
    return userid && sn && *sn != signatureFor(*userid);
}

std::optional<Reply> StandInServer::takeOnce(const std::string& pathWord) {
    auto once = once_.find(pathWord);
    if (once == once_.end() || once->second.empty()) return std::nullopt;
    Reply r = std::move(once->second.front());
    once->second.pop_front();
    return r;
}

Reply StandInServer::answer(const RecordedRequest& request) {
    if (wronglySigned(request)) return Reply::rescode("401", kSignatureErrorText);

    ReplyHandler handler;
    {
        std::lock_guard lock(mutex_);
        if (auto once = takeOnce(request.pathWord)) return std::move(*once);
        if (auto h = handlers_.find(request.pathWord); h != handlers_.end()) {
            handler = h->second;
        } else if (auto p = persistent_.find(request.pathWord); p != persistent_.end()) {
            return p->second;
        } else if (auto d = defaults_.find(request.pathWord); d != defaults_.end()) {
            handler = d->second;
        }
    }
    if (!handler) {
        // A voice file nobody serves is not there.
        if (request.pathWord.rfind(kVoiceWord, 0) == 0) {
            Reply missing = Reply::raw("no such voice file\n", 404);
            missing.contentType = "text/plain;charset=UTF-8";
            return missing;
        }
        return Reply::rescode("200", "成功");
    }
    try {
        return handler(request);
    } catch (const std::exception& e) {
        return Reply::rescode("500", std::string("stand-in handler failed: ") + e.what());
    }
}

bool StandInServer::sleepUnlessStopping(double seconds) {
    std::unique_lock lock(mutex_);
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    return !changed_.wait_until(lock, until, [this] { return stopping_; });
}

// ---- recorded requests ----

void StandInServer::setWholeBodyLimit(size_t bytes) {
    std::lock_guard lock(mutex_);
    wholeBodyLimit_ = bytes;
}

std::vector<RecordedRequest> StandInServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<RecordedRequest> StandInServer::requests(const std::string& pathWord) const {
    std::lock_guard lock(mutex_);
    std::vector<RecordedRequest> out;
    for (const auto& r : requests_) {
        if (r.pathWord == pathWord) out.push_back(r);
    }
    return out;
}

std::optional<RecordedRequest> StandInServer::lastRequest(const std::string& pathWord) const {
    std::lock_guard lock(mutex_);
    for (auto it = requests_.rbegin(); it != requests_.rend(); ++it) {
        if (it->pathWord == pathWord) return *it;
    }
    return std::nullopt;
}

size_t StandInServer::count(const std::string& pathWord) const {
    std::lock_guard lock(mutex_);
    size_t n = 0;
    for (const auto& r : requests_) n += r.pathWord == pathWord ? 1 : 0;
    return n;
}

void StandInServer::clearRequests() {
    std::lock_guard lock(mutex_);
    requests_.clear();
    wholeBodyBytes_ = 0;
    firstWhole_ = 0;
}

bool StandInServer::waitForRequests(const std::string& pathWord, size_t n, double limitSeconds) const {
    std::unique_lock lock(mutex_);
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(limitSeconds);
    return changed_.wait_until(lock, until, [&] {
        size_t seen = 0;
        for (const auto& r : requests_) seen += r.pathWord == pathWord ? 1 : 0;
        return seen >= n;
    });
}

// ---- scripts and defaults ----

void StandInServer::script(const std::string& pathWord, Reply reply) {
    std::lock_guard lock(mutex_);
    handlers_.erase(pathWord);
    persistent_[pathWord] = std::move(reply);
}

void StandInServer::scriptOnce(const std::string& pathWord, Reply reply) {
    std::lock_guard lock(mutex_);
    once_[pathWord].push_back(std::move(reply));
}

void StandInServer::scriptHandler(const std::string& pathWord, ReplyHandler handler) {
    std::lock_guard lock(mutex_);
    persistent_.erase(pathWord);
    handlers_[pathWord] = std::move(handler);
}

void StandInServer::clearScripts() {
    std::lock_guard lock(mutex_);
    once_.clear();
    persistent_.clear();
    handlers_.clear();
}

void StandInServer::registerDefault(const std::string& pathWord, ReplyHandler handler) {
    std::lock_guard lock(mutex_);
    defaults_[pathWord] = std::move(handler);
}

void StandInServer::clearDefaults() {
    std::lock_guard lock(mutex_);
    defaults_.clear();
}

bool StandInServer::hasDefault(const std::string& pathWord) const {
    std::lock_guard lock(mutex_);
    return defaults_.count(pathWord) != 0;
}

// ---- simulated state ----

void StandInServer::withState(const std::function<void(SimulatedState&)>& f) {
    std::lock_guard lock(stateMutex_);
    f(state_);
}

SimulatedState StandInServer::stateSnapshot() const {
    std::lock_guard lock(stateMutex_);
    return state_;
}

std::string StandInServer::nextAccidentNumber() {
    std::lock_guard lock(stateMutex_);
    state_.accidentCounter = state_.accidentCounter % 9999 + 1;
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", state_.accidentCounter);
    return std::string("BJ20261207") + digits;
}

nlohmann::json& SimulatedState::caseRecord(const std::string& number) {
    auto& cases = data["cases"];
    if (!cases.is_object()) cases = nlohmann::json::object();
    auto& record = cases[number];
    if (!record.is_object()) record = nlohmann::json::object();
    return record;
}

}  // namespace standin
