#pragma once
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

// How the tasks of one session behave.
struct URLSessionConfiguration {
    // Seconds without any data before a transfer gives up.
    double timeoutIntervalForRequest = 60;
    // Seconds the whole transfer may take.
    double timeoutIntervalForResource = 7 * 24 * 3600;
    // Bytes a download may bring (0: no bound). A larger one is cut off while it arrives and
    // fails with a TooLarge error, leaving no file behind.
    long long maximumContentLength = 0;
    // Headers added to every request of the session (the request's own win).
    std::map<std::string, std::string> HTTPAdditionalHeaders;

    static URLSessionConfiguration defaultSessionConfiguration() { return {}; }
};

// What to fetch.
struct URLSessionRequest {
    std::string URL;
    std::string HTTPMethod = "GET";
    std::map<std::string, std::string> allHTTPHeaderFields;
    std::string HTTPBody;

    static URLSessionRequest requestWithURL(const std::string& url) {
        URLSessionRequest r;
        r.URL = url;
        return r;
    }
};

// What the server answered (status 0 when no answer came).
struct URLSessionResponse {
    std::string URL;
    int statusCode = 0;
    long long expectedContentLength = -1;
    std::string MIMEType;
    std::map<std::string, std::string> allHeaderFields;  // names in lower case
    // The last path component of the URL, or "download" when it has none.
    std::string suggestedFilename() const;
};

// Why a task failed.
struct URLSessionError {
    // BadURL also covers an address (or a redirect) of a scheme other than http and https.
    enum class Kind { BadURL, Transport, TimedOut, HTTPStatus, Cancelled, File, TooLarge };
    Kind kind = Kind::Transport;
    int code = 0;               // the HTTP status, or the transfer library's error number
    std::string description;
};

class URLSessionManager;

// Whether the address is one the session fetches: http or https (the scheme in any case).
// Nothing else is ever transferred, neither asked for nor as the target of a redirect: no
// local files, no other protocols that send raw bytes to any host and port.
bool isFetchableURL(const std::string& url);

// A download to a temporary file, moved where the destination block says. Made by the
// manager and started with resume().
class URLSessionDownloadTask : public std::enable_shared_from_this<URLSessionDownloadTask> {
public:
    enum class State { Suspended, Running, Canceling, Completed };

    using Progress = std::function<void(long long bytesWritten, long long totalBytesExpected)>;
    using Destination = std::function<std::filesystem::path(const std::filesystem::path& temporaryFile,
                                                            const URLSessionResponse& response)>;
    using Completion = std::function<void(const URLSessionResponse& response, const std::filesystem::path& filePath,
                                          const std::optional<URLSessionError>& error)>;

    // Starts the transfer on a worker thread; a second call does nothing.
    void resume();
    // Stops a running transfer; the completion then gets a Cancelled error.
    void cancel();
    State state() const;
    unsigned long taskIdentifier() const { return identifier_; }
    const URLSessionRequest& originalRequest() const { return request_; }

    URLSessionDownloadTask(unsigned long identifier, URLSessionConfiguration configuration,
                           URLSessionRequest request, Progress progress, Destination destination,
                           Completion completion);

private:
    void run();
    // On the main queue: the outcome of the transfer, the file already where the destination said.
    void finish(URLSessionResponse response, std::filesystem::path finalPath, std::optional<URLSessionError> error);

    unsigned long identifier_;
    URLSessionConfiguration configuration_;
    URLSessionRequest request_;
    Progress progress_;
    Destination destination_;
    Completion completion_;
    mutable std::mutex mutex_;
    State state_ = State::Suspended;
    std::atomic<bool> cancelled_{false};
    long long lastReported_ = -1;
    friend struct DownloadTransfer;
};

// A session over HTTP: makes download tasks whose completions run on the main queue.
class URLSessionManager {
public:
    explicit URLSessionManager(URLSessionConfiguration configuration = URLSessionConfiguration::defaultSessionConfiguration());

    const URLSessionConfiguration& configuration() const { return configuration_; }

    // progress may be empty; it runs on the main queue. destination gets the temporary file
    // and the response and returns the path the file is moved to (empty: the file is dropped);
    // it runs on the transfer's worker thread (never the main one), as does the move, so it
    // may read and check the file at leisure but touches no view. completion (response, final
    // path, error) runs on the main queue after the move; a transfer failure or an HTTP status
    // of 400 or above is an error and asks no destination.
    std::shared_ptr<URLSessionDownloadTask> downloadTaskWithRequest(
        const URLSessionRequest& request, URLSessionDownloadTask::Progress progress,
        URLSessionDownloadTask::Destination destination, URLSessionDownloadTask::Completion completion);

private:
    URLSessionConfiguration configuration_;
    std::atomic<unsigned long> nextIdentifier_{1};
};
