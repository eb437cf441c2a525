#pragma once
#include <memory>

#include "platform/graphics/Geometry.h"
#include "platform/media/CaptureConnection.h"
#include "platform/media/CaptureSession.h"
#include "platform/ui/View.h"

namespace media {

enum class VideoGravity { Resize, ResizeAspect, ResizeAspectFill };

class CaptureVideoPreviewLayer;

// The view that shows a preview layer's picture in the view tree: while the layer's session
// runs with an input, the stand-in camera's current picture (CameraScene) filled or fitted
// as the layer's gravity says; black otherwise. It takes no touches (they go to the views
// behind it, as they pass through a layer).
class CaptureVideoPreviewView : public ui::View {
public:
    explicit CaptureVideoPreviewView(std::weak_ptr<CaptureVideoPreviewLayer> layer);
    std::string className() const override { return "CaptureVideoPreview"; }
    void draw(ui::GraphicsContext& context, ui::Rect rect) override;
    std::string describeContent() const override;

private:
    std::weak_ptr<CaptureVideoPreviewLayer> layer_;
};

// The live picture of a session: where and how the picture shows. Inserted into a view (as a
// sublayer would be), it shows there through a CaptureVideoPreviewView at its frame.
class CaptureVideoPreviewLayer : public std::enable_shared_from_this<CaptureVideoPreviewLayer> {
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
    void setFrame(graphics::Rect frame);
    graphics::Rect bounds() const { return {0, 0, frame_.width(), frame_.height()}; }
    // Whether the camera is showing: the session runs and has an input.
    bool isShowingPicture() const { return session_ && session_->isRunning() && !session_->inputs().empty(); }
    // Shows the picture in `host` at subview `index` (0: behind everything else); moves it when
    // it already shows elsewhere. Returns the view that shows it.
    std::shared_ptr<CaptureVideoPreviewView> insertIntoView(const std::shared_ptr<ui::View>& host, size_t index = 0);
    std::shared_ptr<CaptureVideoPreviewView> view() const { return view_; }

private:
    CaptureSession::Ptr session_;
    CaptureConnection::Ptr connection_;
    VideoGravity gravity_ = VideoGravity::ResizeAspect;
    graphics::Rect frame_;
    std::shared_ptr<CaptureVideoPreviewView> view_;
};

}  // namespace media
