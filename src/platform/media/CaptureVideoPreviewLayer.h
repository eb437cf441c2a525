#pragma once
#include <memory>

#include "platform/graphics/Geometry.h"
#include "platform/media/CaptureConnection.h"
#include "platform/media/CaptureSession.h"

namespace media {

enum class VideoGravity { Resize, ResizeAspect, ResizeAspectFill };

// The live picture of a session. Headless: it keeps where and how the picture would show.
class CaptureVideoPreviewLayer {
public:
    using Ptr = std::shared_ptr<CaptureVideoPreviewLayer>;
    static Ptr layerWithSession(const CaptureSession::Ptr& session) {
        return std::make_shared<CaptureVideoPreviewLayer>(session);
    }
    explicit CaptureVideoPreviewLayer(CaptureSession::Ptr session)
        : session_(std::move(session)), connection_(std::make_shared<CaptureConnection>(
                                             std::vector<CaptureInputPort>{CaptureInputPort{MediaType::Video}})) {}

    CaptureSession::Ptr session() const { return session_; }
    CaptureConnection::Ptr connection() const { return connection_; }
    VideoGravity videoGravity() const { return gravity_; }
    void setVideoGravity(VideoGravity gravity) { gravity_ = gravity; }
    graphics::Rect frame() const { return frame_; }
    void setFrame(graphics::Rect frame) { frame_ = frame; }
    graphics::Rect bounds() const { return {0, 0, frame_.width(), frame_.height()}; }
    // Whether the camera is showing: the session runs and has an input.
    bool isShowingPicture() const { return session_ && session_->isRunning() && !session_->inputs().empty(); }

private:
    CaptureSession::Ptr session_;
    CaptureConnection::Ptr connection_;
    VideoGravity gravity_ = VideoGravity::ResizeAspect;
    graphics::Rect frame_;
};

}  // namespace media
