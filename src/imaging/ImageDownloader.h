#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "network/URLSessionManager.h"
#include "platform/graphics/Image.h"

// Fetches images over http or https (any other address is refused before any transfer) with a
// download task of the network layer. The completion runs on the main run loop with the decoded
// image and its bytes, or with an error (a transfer failure, an HTTP error status, a download
// past the size or time limit, or bytes that are not an image).
class ImageDownloader {
public:
    // An image larger than this is cut off while it arrives and fails; so does one that takes
    // longer than the time limit.
    static constexpr long long kMaximumBytes = 10ll * 1024 * 1024;
    static constexpr double kTimeLimitSeconds = 120;

    using Completion = std::function<void(const graphics::Image::Ptr& image, const std::string& bytes,
                                          const std::optional<URLSessionError>& error)>;

    static ImageDownloader& sharedDownloader();

    ImageDownloader();
    // Starts the download; cancel the returned task to stop it (its completion then gets a
    // Cancelled error). Null for an empty URL (the completion is then called at once).
    std::shared_ptr<URLSessionDownloadTask> downloadImageWithURL(const std::string& url, Completion completion);

private:
    URLSessionManager session_;
};
