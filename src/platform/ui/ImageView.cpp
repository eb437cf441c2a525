#include "platform/ui/ImageView.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/RunLoop.h"
#include "platform/ui/GraphicsContext.h"

namespace ui {

void ImageView::init() {
    setUserInteractionEnabled(false);
}

ImageView::ImageView(ImagePtr image) {
    init();
    if (image) setFrame({0, 0, image->size().width, image->size().height});
    image_ = std::move(image);
}

ImageView::~ImageView() = default;

void ImageView::setImage(ImagePtr image) {
    image_ = std::move(image);
    setNeedsDisplay();
}

void ImageView::setAnimationImages(std::vector<ImagePtr> images) {
    animationImages_ = std::move(images);
    if (animationImages_.empty()) animating_ = false;
}

void ImageView::startAnimating() {
    if (animationImages_.empty()) return;
    animating_ = true;
    animationStart_ = foundation::RunLoop::main().now();
}

void ImageView::stopAnimating() {
    animating_ = false;
}

bool ImageView::isAnimating() const {
    if (!animating_) return false;
    if (animationRepeatCount_ > 0) {
        double cycle = animationDuration_ > 0 ? animationDuration_ : animationImages_.size() / 30.0;
        if (foundation::RunLoop::main().now() - animationStart_ >= cycle * animationRepeatCount_) return false;
    }
    return true;
}

ImagePtr ImageView::displayedImage() const {
    if (isAnimating()) {
        double cycle = animationDuration_ > 0 ? animationDuration_ : animationImages_.size() / 30.0;
        double elapsed = foundation::RunLoop::main().now() - animationStart_;
        size_t n = animationImages_.size();
        size_t idx = cycle > 0 ? static_cast<size_t>(std::fmod(elapsed, cycle) / cycle * n) % n : 0;
        return animationImages_[idx];
    }
    if (highlighted_ && highlightedImage_) return highlightedImage_;
    return image_;
}

Size ImageView::sizeThatFits(Size size) const {
    (void)size;
    return image_ ? image_->size() : Size{0, 0};
}

Size ImageView::intrinsicContentSize() const {
    return image_ ? image_->size() : Size{-1, -1};
}

void ImageView::draw(GraphicsContext& context, Rect rect) {
    (void)rect;
    auto img = displayedImage();
    if (!img) return;
    if (!(capInsets_ == EdgeInsets{})) {
        context.drawImageWithCapInsets(img, bounds(), capInsets_);
        return;
    }
    drawImageWithContentMode(context, img, bounds(), contentMode());
}

std::string ImageView::describeContent() const {
    auto img = displayedImage();
    return img ? img->name() : "";
}

void drawImageWithContentMode(GraphicsContext& context, const ImagePtr& image, Rect b, ContentMode mode, double alpha) {
    if (!image) return;
    Size s = image->size();
    if (s.width <= 0 || s.height <= 0) return;
    Rect r = b;
    switch (mode) {
    case ContentMode::ScaleToFill:
    case ContentMode::Redraw:
        break;
    case ContentMode::ScaleAspectFit:
    case ContentMode::ScaleAspectFill: {
        double sx = b.width() / s.width, sy = b.height() / s.height;
        double k = mode == ContentMode::ScaleAspectFit ? std::min(sx, sy) : std::max(sx, sy);
        double w = s.width * k, h = s.height * k;
        r = {b.midX() - w / 2, b.midY() - h / 2, w, h};
        break;
    }
    default: {
        double x = b.midX() - s.width / 2, y = b.midY() - s.height / 2;
        switch (mode) {
        case ContentMode::Top: y = b.minY(); break;
        case ContentMode::Bottom: y = b.maxY() - s.height; break;
        case ContentMode::Left: x = b.minX(); break;
        case ContentMode::Right: x = b.maxX() - s.width; break;
        case ContentMode::TopLeft: x = b.minX(); y = b.minY(); break;
        case ContentMode::TopRight: x = b.maxX() - s.width; y = b.minY(); break;
        case ContentMode::BottomLeft: x = b.minX(); y = b.maxY() - s.height; break;
        case ContentMode::BottomRight: x = b.maxX() - s.width; y = b.maxY() - s.height; break;
        default: break;
        }
        r = {x, y, s.width, s.height};
        break;
    }
    }
    context.drawImage(image, r, alpha);
}

}  // namespace ui
