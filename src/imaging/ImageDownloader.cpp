#include "imaging/ImageDownloader.h"

#include <atomic>

#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

ImageDownloader& ImageDownloader::sharedDownloader() {
    static ImageDownloader downloader;
    return downloader;
}

namespace {
URLSessionConfiguration imageConfiguration() {
    URLSessionConfiguration configuration = URLSessionConfiguration::defaultSessionConfiguration();
    configuration.timeoutIntervalForRequest = 15;
    configuration.timeoutIntervalForResource = ImageDownloader::kTimeLimitSeconds;
    configuration.maximumContentLength = ImageDownloader::kMaximumBytes;
    return configuration;
}
}  // namespace

ImageDownloader::ImageDownloader() : session_(imageConfiguration()) {}

std::shared_ptr<URLSessionDownloadTask> ImageDownloader::downloadImageWithURL(const std::string& url,
                                                                             Completion completion) {
    if (url.empty() || !isFetchableURL(url)) {
        URLSessionError error;
        error.kind = URLSessionError::Kind::BadURL;
        error.description = url.empty() ? "empty image URL" : "only http and https images are fetched";
        if (!url.empty())
            foundation::log("ImageDownloader: refused " + foundation::loggableURL(url) + ": " + error.description);
        if (completion) completion(nullptr, "", error);
        return nullptr;
    }
    static std::atomic<unsigned long> counter{0};
    std::filesystem::path target =
        foundation::Sandbox::current().tmp() / ("image-download-" + std::to_string(++counter));
    auto task = session_.downloadTaskWithRequest(
        URLSessionRequest::requestWithURL(url), nullptr,
        [target](const std::filesystem::path&, const URLSessionResponse&) { return target; },
        [url, completion](const URLSessionResponse&, const std::filesystem::path& filePath,
                          const std::optional<URLSessionError>& error) {
            if (error) {
                if (error->kind != URLSessionError::Kind::Cancelled)
                    foundation::log("ImageDownloader: " + foundation::loggableURL(url) +
                                    " failed: " + error->description);
                if (completion) completion(nullptr, "", error);
                return;
            }
            std::optional<std::string> bytes = foundation::files::read(filePath);
            foundation::files::remove(filePath);
            graphics::Image::Ptr image = bytes ? graphics::Image::fromData(*bytes) : nullptr;
            if (!image) {
                foundation::log("ImageDownloader: " + foundation::loggableURL(url) + " is not an image");
                URLSessionError notImage;
                notImage.kind = URLSessionError::Kind::File;
                notImage.description = "the downloaded bytes are not an image";
                if (completion) completion(nullptr, "", notImage);
                return;
            }
            if (completion) completion(image, *bytes, std::nullopt);
        });
    task->resume();
    return task;
}
