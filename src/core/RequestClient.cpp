#include "core/RequestClient.h"

#include "platform/foundation/Activity.h"

#include <atomic>
#include <list>
#include <mutex>
#include <thread>

#include <curl/curl.h>

#include "core/AppConfig.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/JsonText.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/WeakBind.h"

const char* describe(RequestError::Kind kind) {
    switch (kind) {
    case RequestError::Kind::ConnectionFailed: return "connection failed";
    case RequestError::Kind::TimedOut: return "timed out";
    case RequestError::Kind::HTTPStatus: return "HTTP error status";
    case RequestError::Kind::NotJSON: return "broken reply";
    case RequestError::Kind::Cancelled: return "cancelled";
    }
    return "unknown";
}

namespace {

void initCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Replies are dictionaries of a few kilobytes; a body past this size is refused rather than
// held in memory until the time-out.
constexpr size_t kMaxReplyBytes = 16u * 1024u * 1024u;

struct Received {
    std::string body;
    bool tooLarge = false;
};

size_t appendBody(char* data, size_t size, size_t count, void* user) {
    auto* received = static_cast<Received*>(user);
    if (received->body.size() + size * count > kMaxReplyBytes) {
        received->tooLarge = true;
        return 0;  // ends the transfer
    }
    received->body.append(data, size * count);
    return size * count;
}

int checkAbort(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<std::atomic<bool>*>(user)->load() ? 1 : 0;
}

std::string paramText(const nlohmann::json& value) {
    if (value.is_string()) return value.get<std::string>();
    // Checked first: is_number_integer() holds for unsigned numbers too.
    if (value.is_number_unsigned()) return std::to_string(value.get<unsigned long long>());
    if (value.is_number_integer()) return std::to_string(value.get<long long>());
    return value.dump();
}

// " (name1, name2)" of an object's keys; empty for no parameters.
std::string parameterNames(const nlohmann::json& params) {
    if (!params.is_object() || params.empty()) return "";
    std::string names;
    for (const auto& [key, value] : params.items()) names += (names.empty() ? "" : ", ") + key;
    return " (" + names + ")";
}

}  // namespace

struct RequestClient::Impl {
    std::string baseURL;   // empty: AppConfig's
    double timeout = 0;    // <= 0: AppConfig's
    std::atomic<bool> aborting{false};

    struct Transfer {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished = std::make_shared<std::atomic<bool>>(false);
    };
    std::mutex mutex;
    std::list<Transfer> transfers;

    std::string currentBaseURL() const { return baseURL.empty() ? AppConfig::baseURL() : baseURL; }
    double currentTimeout() const { return timeout > 0 ? timeout : AppConfig::requestTimeout(); }

    // Joins the threads of finished transfers (caller holds the lock).
    void reapLocked() {
        for (auto it = transfers.begin(); it != transfers.end();) {
            if (it->finished->load()) {
                if (it->thread.joinable()) it->thread.join();
                it = transfers.erase(it);
            } else {
                ++it;
            }
        }
    }

    void joinAll() {
        std::list<Transfer> all;
        {
            std::lock_guard lock(mutex);
            all.swap(transfers);
        }
        for (auto& t : all)
            if (t.thread.joinable()) t.thread.join();
    }

    // Runs one transfer on the calling (worker) thread and returns its outcome.
    std::pair<nlohmann::json, std::optional<RequestError>> perform(const std::string& method, const std::string& url,
                                                                   const std::string& body, double timeoutSeconds,
                                                                   const std::string& authorities) {
        CURL* curl = curl_easy_init();
        if (!curl) return {nullptr, RequestError{RequestError::Kind::ConnectionFailed, 0, "no transfer handle"}};
        Received received;
        char errorText[CURL_ERROR_SIZE] = {0};
        long timeoutMs = static_cast<long>(timeoutSeconds * 1000);
        if (timeoutMs < 1) timeoutMs = 1;
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &received);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, checkAbort);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &aborting);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
        curl_easy_setopt(curl, CURLOPT_PROXY, "");
        // The server is reached over http or https only, and no redirect is followed. Over https
        // its certificate must be valid for its name and signed by a trusted authority.
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!authorities.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, authorities.c_str());
        struct curl_slist* headers = nullptr;
        headers = curl_slist_append(headers, "Accept: application/json");
        if (method == "POST") {
            headers = curl_slist_append(headers, "Content-Type: application/json; charset=utf-8");
            curl_easy_setopt(curl, CURLOPT_POST, 1L);
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
            curl_easy_setopt(curl, CURLOPT_COPYPOSTFIELDS, body.c_str());
        }
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);

        CURLcode code = curl_easy_perform(curl);
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        curl_easy_cleanup(curl);
        curl_slist_free_all(headers);

        if (received.tooLarge) {
            return {nullptr, RequestError{RequestError::Kind::NotJSON, static_cast<int>(status),
                                          "reply larger than " + std::to_string(kMaxReplyBytes) + " bytes"}};
        }
        if (code != CURLE_OK) {
            RequestError error;
            error.status = static_cast<int>(status);
            error.kind = code == CURLE_OPERATION_TIMEDOUT      ? RequestError::Kind::TimedOut
                         : code == CURLE_ABORTED_BY_CALLBACK ? RequestError::Kind::Cancelled
                                                              : RequestError::Kind::ConnectionFailed;
            error.description = std::string(curl_easy_strerror(code)) + (errorText[0] ? std::string(": ") + errorText : "");
            return {nullptr, error};
        }
        if (status < 200 || status > 299) {
            return {nullptr, RequestError{RequestError::Kind::HTTPStatus, static_cast<int>(status),
                                          "HTTP status " + std::to_string(status)}};
        }
        nlohmann::json reply = foundation::parseJson(received.body);
        if (reply.is_discarded() || !reply.is_object()) {
            return {nullptr, RequestError{RequestError::Kind::NotJSON, static_cast<int>(status),
                                          "reply of " + std::to_string(received.body.size()) + " bytes is not a JSON object"}};
        }
        return {std::move(reply), std::nullopt};
    }
};

std::shared_ptr<RequestClient> RequestClient::shared() {
    static std::shared_ptr<RequestClient> client = [] {
        auto made = std::make_shared<RequestClient>();
        foundation::registerActivityProbe(
            "server requests", foundation::weakBind(made, [](const auto& c) { return c->activeTransfers() > 0; }));
        return made;
    }();
    return client;
}

RequestClient::RequestClient() : impl_(std::make_shared<Impl>()) { initCurlOnce(); }

RequestClient::RequestClient(std::string baseURL, double timeoutSeconds) : RequestClient() {
    impl_->baseURL = std::move(baseURL);
    impl_->timeout = timeoutSeconds;
}

RequestClient::~RequestClient() { cancelAll(); }

std::string RequestClient::baseURL() const { return impl_->currentBaseURL(); }
double RequestClient::timeout() const { return impl_->currentTimeout(); }

size_t RequestClient::activeTransfers() const {
    std::lock_guard lock(impl_->mutex);
    size_t n = 0;
    for (const auto& t : impl_->transfers)
        if (!t.finished->load()) ++n;
    return n;
}

void RequestClient::cancelAll() {
    impl_->aborting = true;
    impl_->joinAll();
    impl_->aborting = false;
}

void RequestClient::GET(const std::string& pathWord, const nlohmann::json& params, Completion completion) {
    start("GET", pathWord, params, std::move(completion));
}

void RequestClient::POST(const std::string& pathWord, const nlohmann::json& params, Completion completion) {
    start("POST", pathWord, params, std::move(completion));
}

void RequestClient::start(const std::string& method, const std::string& pathWord, const nlohmann::json& params,
                          Completion completion) {
    std::string url = impl_->currentBaseURL() + pathWord;
    std::string body;
    if (method == "GET") {
        std::string query = queryString(params);
        if (!query.empty()) url += "?" + query;
    } else {
        const nlohmann::json& object = params.is_null() ? nlohmann::json::object() : params;
        body = object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }
    double timeout = impl_->currentTimeout();
    const std::string authorities = AppConfig::certificateAuthorities();
    // The path word and the parameters' names: their values (the user id, the signature,
    // telephone numbers, the parties' data) stay out of the log.
    const std::string logged = "RequestClient: " + method + " " + pathWord + parameterNames(params);
    foundation::log(logged);

    std::lock_guard lock(impl_->mutex);
    impl_->reapLocked();
    Impl::Transfer& transfer = impl_->transfers.emplace_back();
    auto finished = transfer.finished;
    // The thread holds only what it needs; the client joins it before it goes away.
    Impl* impl = impl_.get();
    transfer.thread = std::thread([impl, method, url, body, timeout, authorities, logged, finished,
                                   completion = std::move(completion)]() mutable {
        auto [reply, error] = impl->perform(method, url, body, timeout, authorities);
        if (error) foundation::log(logged + " failed: " + error->description);
        bool cancelled = impl->aborting.load() || (error && error->kind == RequestError::Kind::Cancelled);
        if (!cancelled && completion) {
            foundation::dispatch::mainQueue()->async(
                [completion = std::move(completion), reply = std::move(reply), error = std::move(error)] {
                    completion(reply, error);
                });
        }
        finished->store(true);
    });
}

std::string RequestClient::percentEncode(const std::string& text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string RequestClient::queryString(const nlohmann::json& params) {
    std::string out;
    if (!params.is_object()) return out;
    for (const auto& [key, value] : params.items()) {
        if (value.is_null()) continue;
        if (!out.empty()) out += '&';
        out += percentEncode(key) + "=" + percentEncode(paramText(value));
    }
    return out;
}
