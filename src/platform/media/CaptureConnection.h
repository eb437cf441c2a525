#pragma once
#include <memory>
#include <vector>

#include "platform/media/CaptureDevice.h"

namespace media {

enum class VideoOrientation { Portrait = 1, PortraitUpsideDown = 2, LandscapeRight = 3, LandscapeLeft = 4 };

// A stream an input offers (the camera offers one video port).
struct CaptureInputPort {
    MediaType mediaType = MediaType::Video;
};

// Links the ports of an input to an output (or to a preview layer).
class CaptureConnection {
public:
    using Ptr = std::shared_ptr<CaptureConnection>;
    explicit CaptureConnection(std::vector<CaptureInputPort> ports) : ports_(std::move(ports)) {}

    const std::vector<CaptureInputPort>& inputPorts() const { return ports_; }
    bool hasPort(MediaType type) const {
        for (const auto& p : ports_) {
            if (p.mediaType == type) return true;
        }
        return false;
    }
    double videoScaleAndCropFactor() const { return scaleAndCrop_; }
    void setVideoScaleAndCropFactor(double factor) { scaleAndCrop_ = factor < 1 ? 1 : factor; }
    VideoOrientation videoOrientation() const { return orientation_; }
    void setVideoOrientation(VideoOrientation orientation) { orientation_ = orientation; }

private:
    std::vector<CaptureInputPort> ports_;
    double scaleAndCrop_ = 1;
    VideoOrientation orientation_ = VideoOrientation::Portrait;
};

}  // namespace media
