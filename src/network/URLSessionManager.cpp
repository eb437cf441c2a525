#include "network/URLSessionManager.h"

#include <cstdio>
#include <mutex>

#include <curl/curl.h>
#include <unistd.h>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

namespace fs = std::filesystem;

namespace {

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string lower(std::string s) {
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

fs::path temporaryDirectory() {
    fs::path dir = foundation::Sandbox::current().root().empty() ? fs::path() : foundation::Sandbox::current().tmp();
    if (dir.empty()) {
        std::error_code ec;
        dir = fs::temp_directory_path(ec);
        if (ec) dir = "/tmp";
    }
    foundation::files::createDirectories(dir);
    return dir;
}

fs::path temporaryFileFor(unsigned long identifier) {
    static std::atomic<unsigned long> counter{0};
    return temporaryDirectory() / ("URLSessionDownload-" + std::to_string(::getpid()) + "-" +
                                   std::to_string(identifier) + "-" + std::to_string(++counter) + ".tmp");
}

// Moves the downloaded file to its destination, replacing what is there.
std::optional<URLSessionError> moveFile(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (to.has_parent_path()) foundation::files::createDirectories(to.parent_path());
    fs::rename(from, to, ec);
    if (!ec) return std::nullopt;
    // Another file system: copy beside the target, then rename over it.
    fs::path beside = to;
    beside += ".moving";
    std::error_code copyError;
    fs::copy_file(from, beside, fs::copy_options::overwrite_existing, copyError);
    if (!copyError) fs::rename(beside, to, copyError);
    if (!copyError) {
        fs::remove(from, ec);
        return std::nullopt;
    }
    fs::remove(beside, ec);
    return URLSessionError{URLSessionError::Kind::File, copyError.value(),
                           "could not move the download to " + to.string() + ": " + copyError.message()};
}

}  // namespace

bool isFetchableURL(const std::string& url) {
    const std::string start = lower(url.substr(0, 8));
    return start.rfind("http://", 0) == 0 || start.rfind("https://", 0) == 0;
}

std::string URLSessionResponse::suggestedFilename() const {
    std::string path = URL;
    size_t q = path.find_first_of("?#");
    if (q != std::string::npos) path.resize(q);
    size_t scheme = path.find("://");
    size_t start = scheme == std::string::npos ? 0 : path.find('/', scheme + 3);
    if (start == std::string::npos) return "download";
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.empty() ? "download" : name;
}

// The state one transfer keeps while libcurl runs it.
struct DownloadTransfer {
    URLSessionDownloadTask* task;
    std::FILE* file = nullptr;
    bool writeFailed = false;
    // The bound on the bytes received (0: none), and whether the transfer was cut by it.
    long long limit = 0;
    long long received = 0;
    bool tooLarge = false;
    URLSessionResponse response;

    static size_t write(char* data, size_t size, size_t count, void* user) {
        auto* self = static_cast<DownloadTransfer*>(user);
        size_t n = size * count;
        self->received += static_cast<long long>(n);
        if (self->limit > 0 && self->received > self->limit) {
            self->tooLarge = true;
            return 0;  // ends the transfer
        }
        if (std::fwrite(data, 1, n, self->file) != n) {
            self->writeFailed = true;
            return 0;
        }
        return n;
    }

    static size_t header(char* data, size_t size, size_t count, void* user) {
        auto* self = static_cast<DownloadTransfer*>(user);
        size_t n = size * count;
        std::string line(data, n);
        if (line.rfind("HTTP/", 0) == 0) {
            // A new response (after a redirect or a 100 Continue): forget the earlier headers.
            self->response.allHeaderFields.clear();
            return n;
        }
        size_t colon = line.find(':');
        if (colon == std::string::npos) return n;
        std::string name = lower(trim(line.substr(0, colon)));
        std::string value = trim(line.substr(colon + 1));
        // An announced length past the bound ends the transfer before its body comes (a
        // redirect's own body is not the download's).
        if (name == "content-length" && self->limit > 0 && !value.empty() &&
            value.find_first_not_of("0123456789") == std::string::npos &&
            (value.size() > 18 || std::stoll(value) > self->limit)) {
            self->tooLarge = true;
            return 0;
        }
        self->response.allHeaderFields[name] = value;
        return n;
    }

    static int progress(void* user, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t) {
        auto* self = static_cast<DownloadTransfer*>(user);
        URLSessionDownloadTask* task = self->task;
        if (task->cancelled_) return 1;
        if (task->progress_ && now != task->lastReported_) {
            task->lastReported_ = now;
            auto progressBlock = task->progress_;
            long long expected = total > 0 ? static_cast<long long>(total) : -1;
            long long written = static_cast<long long>(now);
            foundation::dispatch::mainQueue()->async([progressBlock, written, expected] { progressBlock(written, expected); });
        }
        return 0;
    }
};

URLSessionDownloadTask::URLSessionDownloadTask(unsigned long identifier, URLSessionConfiguration configuration,
                                               URLSessionRequest request, Progress progress,
                                               Destination destination, Completion completion)
    : identifier_(identifier),
      configuration_(std::move(configuration)),
      request_(std::move(request)),
      progress_(std::move(progress)),
      destination_(std::move(destination)),
      completion_(std::move(completion)) {}

URLSessionDownloadTask::State URLSessionDownloadTask::state() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}

void URLSessionDownloadTask::resume() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (state_ != State::Suspended) return;
        state_ = State::Running;
    }
    auto self = shared_from_this();
    foundation::dispatch::globalQueue()->async([self] { self->run(); });
}

void URLSessionDownloadTask::cancel() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ == State::Completed) return;
    cancelled_ = true;
    if (state_ == State::Running) {
        state_ = State::Canceling;
    } else if (state_ == State::Suspended) {
        // Never started: report the cancellation straight away.
        state_ = State::Canceling;
        auto self = shared_from_this();
        URLSessionResponse response;
        response.URL = request_.URL;
        foundation::dispatch::mainQueue()->async([self, response] {
            self->finish(response, {}, URLSessionError{URLSessionError::Kind::Cancelled, 0, "cancelled"});
        });
    }
}

void URLSessionDownloadTask::run() {
    initialiseCurlOnce();
    DownloadTransfer transfer{this};
    transfer.response.URL = request_.URL;

    auto fail = [&](URLSessionError error) {
        auto self = shared_from_this();
        URLSessionResponse response = transfer.response;
        foundation::dispatch::mainQueue()->async(
            [self, response, error] { self->finish(response, {}, error); });
    };

    if (request_.URL.empty()) {
        fail({URLSessionError::Kind::BadURL, 0, "the request has no URL"});
        return;
    }
    if (!isFetchableURL(request_.URL)) {
        foundation::log("URLSession: refused to fetch " + foundation::loggableURL(request_.URL) +
                        ": only http and https addresses are fetched");
        fail({URLSessionError::Kind::BadURL, 0, "only http and https addresses are fetched"});
        return;
    }
    transfer.limit = configuration_.maximumContentLength;
    fs::path temporaryFile = temporaryFileFor(identifier_);
    transfer.file = foundation::files::openPrivately(temporaryFile, "wb");
    if (!transfer.file) {
        fail({URLSessionError::Kind::File, 0, "could not create " + temporaryFile.string()});
        return;
    }

    CURL* curl = curl_easy_init();
    if (!curl) {
        std::fclose(transfer.file);
        std::error_code ec;
        fs::remove(temporaryFile, ec);
        fail({URLSessionError::Kind::Transport, 0, "could not start a transfer"});
        return;
    }
    char errorBuffer[CURL_ERROR_SIZE] = {0};
    curl_easy_setopt(curl, CURLOPT_URL, request_.URL.c_str());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    // Neither the address nor a redirect may lead anywhere but to a web server.
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &DownloadTransfer::write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &DownloadTransfer::header);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &DownloadTransfer::progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    if (configuration_.timeoutIntervalForRequest > 0) {
        long idle = static_cast<long>(configuration_.timeoutIntervalForRequest + 0.999);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, idle);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, idle);
    }
    if (configuration_.timeoutIntervalForResource > 0)
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS,
                         static_cast<long>(configuration_.timeoutIntervalForResource * 1000));

    std::string method = request_.HTTPMethod.empty() ? "GET" : request_.HTTPMethod;
    if (method == "POST" || !request_.HTTPBody.empty()) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request_.HTTPBody.data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(request_.HTTPBody.size()));
    }
    if (method != "GET" && method != "POST") curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.c_str());

    std::map<std::string, std::string> headers = configuration_.HTTPAdditionalHeaders;
    for (const auto& [name, value] : request_.allHTTPHeaderFields) headers[name] = value;
    curl_slist* headerList = nullptr;
    for (const auto& [name, value] : headers) headerList = curl_slist_append(headerList, (name + ": " + value).c_str());
    if (headerList) curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headerList);

    CURLcode result = curl_easy_perform(curl);

    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    transfer.response.statusCode = static_cast<int>(status);
    char* effectiveURL = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &effectiveURL) == CURLE_OK && effectiveURL)
        transfer.response.URL = effectiveURL;
    char* contentType = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType) {
        std::string type = contentType;
        transfer.response.MIMEType = lower(trim(type.substr(0, type.find(';'))));
    }
    curl_off_t length = -1;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK)
        transfer.response.expectedContentLength = static_cast<long long>(length);
    if (headerList) curl_slist_free_all(headerList);
    curl_easy_cleanup(curl);
    bool closeFailed = std::fclose(transfer.file) != 0;

    std::optional<URLSessionError> error;
    if (cancelled_) {
        error = URLSessionError{URLSessionError::Kind::Cancelled, 0, "cancelled"};
    } else if (transfer.tooLarge) {
        error = URLSessionError{URLSessionError::Kind::TooLarge, 0,
                                "the download is larger than " + std::to_string(transfer.limit) + " bytes"};
    } else if (result != CURLE_OK) {
        std::string text = errorBuffer[0] ? errorBuffer : curl_easy_strerror(result);
        if (result == CURLE_UNSUPPORTED_PROTOCOL)
            text = "refused a redirect to an address that is not http or https (" + text + ")";
        auto kind = result == CURLE_OPERATION_TIMEDOUT ? URLSessionError::Kind::TimedOut
                    : result == CURLE_URL_MALFORMAT || result == CURLE_UNSUPPORTED_PROTOCOL
                        ? URLSessionError::Kind::BadURL
                        : transfer.writeFailed ? URLSessionError::Kind::File
                                               : URLSessionError::Kind::Transport;
        error = URLSessionError{kind, static_cast<int>(result), text};
    } else if (closeFailed) {
        error = URLSessionError{URLSessionError::Kind::File, 0, "could not write " + temporaryFile.string()};
    } else if (status >= 400) {
        error = URLSessionError{URLSessionError::Kind::HTTPStatus, static_cast<int>(status),
                                "the server answered status " + std::to_string(status)};
    }
    // The destination is asked here, on the transfer's worker thread, and the file moved there:
    // only the outcome goes to the main thread.
    fs::path finalPath;
    if (!error) {
        fs::path target = destination_ ? destination_(temporaryFile, transfer.response) : fs::path();
        if (!target.empty()) {
            error = moveFile(temporaryFile, target);
            if (!error) finalPath = target;
        }
    }
    std::error_code ec;
    if (fs::exists(temporaryFile, ec)) fs::remove(temporaryFile, ec);
    auto self = shared_from_this();
    URLSessionResponse response = transfer.response;
    foundation::dispatch::mainQueue()->async(
        [self, response, finalPath, error] { self->finish(response, finalPath, error); });
}

void URLSessionDownloadTask::finish(URLSessionResponse response, fs::path finalPath,
                                    std::optional<URLSessionError> error) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (state_ == State::Completed) return;
        state_ = State::Completed;
    }
    if (error)
        foundation::log("download of " + foundation::loggableURL(request_.URL) + " failed: " + error->description);
    auto completion = std::move(completion_);
    // Let go of the caller's blocks: they often hold the screen that started the download.
    progress_ = nullptr;
    destination_ = nullptr;
    if (completion) completion(response, finalPath, error);
}

URLSessionManager::URLSessionManager(URLSessionConfiguration configuration)
    : configuration_(std::move(configuration)) {}

std::shared_ptr<URLSessionDownloadTask> URLSessionManager::downloadTaskWithRequest(
    const URLSessionRequest& request, URLSessionDownloadTask::Progress progress,
    URLSessionDownloadTask::Destination destination, URLSessionDownloadTask::Completion completion) {
    return std::make_shared<URLSessionDownloadTask>(nextIdentifier_++, configuration_, request, std::move(progress),
                                                    std::move(destination), std::move(completion));
}
