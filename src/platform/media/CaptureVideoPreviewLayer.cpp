#include "platform/media/CaptureVideoPreviewLayer.h"

#include "platform/media/CameraSimulation.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/ImageView.h"

namespace media {

CaptureVideoPreviewView::CaptureVideoPreviewView(std::weak_ptr<CaptureVideoPreviewLayer> layer)
    : layer_(std::move(layer)) {
    setBackgroundColor(graphics::Color::black());
    setUserInteractionEnabled(false);
}

void CaptureVideoPreviewView::draw(ui::GraphicsContext& context, ui::Rect rect) {
    (void)rect;
    auto layer = layer_.lock();
    if (!layer || !layer->isShowingPicture()) return;
    auto picture = CameraScene::shared().currentPicture();
    if (!picture) return;
    ui::ContentMode mode = ui::ContentMode::ScaleAspectFit;
    if (layer->videoGravity() == VideoGravity::ResizeAspectFill) mode = ui::ContentMode::ScaleAspectFill;
    if (layer->videoGravity() == VideoGravity::Resize) mode = ui::ContentMode::ScaleToFill;
    context.saveState();
    context.clipToRect(bounds());
    ui::drawImageWithContentMode(context, picture, bounds(), mode);
    context.restoreState();
}

std::string CaptureVideoPreviewView::describeContent() const {
    auto layer = layer_.lock();
    return layer && layer->isShowingPicture() ? "camera picture" : "";
}

void CaptureVideoPreviewLayer::setFrame(graphics::Rect frame) {
    frame_ = frame;
    if (view_) view_->setFrame(frame);
}

std::shared_ptr<CaptureVideoPreviewView> CaptureVideoPreviewLayer::insertIntoView(const std::shared_ptr<ui::View>& host,
                                                                                 size_t index) {
    if (!view_) view_ = std::make_shared<CaptureVideoPreviewView>(weak_from_this());
    view_->setFrame(frame_);
    if (host) host->insertSubview(view_, index);
    return view_;
}

}  // namespace media
