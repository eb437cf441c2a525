#pragma once
#include <string>

namespace media {

// An error reported by the camera, the album or the audio objects.
struct Error {
    std::string domain;
    int code = 0;
    std::string localizedDescription;
    std::string localizedFailureReason;
};

}  // namespace media
