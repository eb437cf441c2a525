#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

// Why a request failed in transport.
struct RequestError {
    enum class Kind {
        ConnectionFailed,  // refused, unreachable, or dropped before a reply
        TimedOut,          // no complete reply within the time-out
        HTTPStatus,        // the server answered with a status outside 200..299
        NotJSON,           // a broken reply: the body is not a JSON object (malformed, truncated, an
                           // array, nested more than 256 levels deep, larger than 16 MiB...), or
                           // the object has no rescode that is text or a number
        Cancelled,         // the client shut down while the request was under way
    };
    Kind kind = Kind::ConnectionFailed;
    int status = 0;            // the HTTP status when there was one
    std::string description;   // for the log
};

const char* describe(RequestError::Kind kind);

// The HTTP client of the API client: base URL plus path word, GET parameters as the
// percent-encoded UTF-8 query, POST parameters as a JSON body, JSON object replies.
// Transfers run on a thread of their own; every completion is posted to the main run loop.
class RequestClient {
public:
    // The reply object (null on failure) and the failure (nullopt on success).
    using Completion = std::function<void(const nlohmann::json& reply, const std::optional<RequestError>& error)>;

    // The client of the API client, bound to AppConfig's base URL and time-out (read per request).
    static std::shared_ptr<RequestClient> shared();

    RequestClient();
    // A client bound to a fixed base URL ("http://host:port/path/").
    explicit RequestClient(std::string baseURL, double timeoutSeconds = 30.0);
    ~RequestClient();
    RequestClient(const RequestClient&) = delete;
    RequestClient& operator=(const RequestClient&) = delete;

    void GET(const std::string& pathWord, const nlohmann::json& params, Completion completion);
    void POST(const std::string& pathWord, const nlohmann::json& params, Completion completion);

    std::string baseURL() const;
    double timeout() const;

    // Transfers under way (tests).
    size_t activeTransfers() const;
    // Aborts every transfer and waits for their threads; completions of aborted transfers are
    // not delivered. The client stays usable.
    void cancelAll();

    // "k1=v1&k2=v2": keys in order, strings percent-encoded as UTF-8 (everything but
    // A-Z a-z 0-9 - . _ ~), numbers as decimal text, other values as their JSON text, nulls left out.
    static std::string queryString(const nlohmann::json& params);
    static std::string percentEncode(const std::string& text);

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
    void start(const std::string& method, const std::string& pathWord, const nlohmann::json& params,
               Completion completion);
};
