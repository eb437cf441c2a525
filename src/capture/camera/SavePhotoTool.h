#pragma once
#include <functional>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/graphics/Image.h"
#include "platform/media/MediaError.h"

// Keeps a copy of every evidence shot in the photo album "Brenvik", creating the album when it
// is missing. Calls return at once; nothing waits for the album and its result never changes
// the case flow. Callable from any thread.
class SavePhotoTool {
public:
    using CompletionBlock = std::function<void()>;
    using FailureBlock = std::function<void(const media::Error&)>;

    static constexpr const char* kAlbumName = "Brenvik";

    // JPEG of the image at quality 1.0 into "Brenvik"; access denied shows the alert.
    static void savePhoto(const graphics::Image::Ptr& image);
    // The same with JPEG bytes as they are.
    static void saveImageData(const std::string& data);
    // Writes the bytes to the saved photos and files the new asset in the named album (none:
    // the saved photos only). The completion runs once for each album of that name that got
    // the asset; the failure block gets the error of a failed write, lookup or enumeration.
    static void saveToAlbumWithMetadata(const nlohmann::json& metadata, const std::string& imageData,
                                        const std::optional<std::string>& customAlbumName,
                                        CompletionBlock completionBlock, FailureBlock failureBlock);

    // The failure handler of savePhoto and saveImageData (main queue): an access refusal
    // shows an alert with the error's texts; any other error is ignored.
    static void showAccessFailure(const media::Error& error);
};
