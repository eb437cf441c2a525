#pragma once
#include <vector>

#include "platform/ui/View.h"

namespace ui {

// Shows an image drawn by its content mode (scale to fill by default), or cycles through
// animation images on the run loop's clock while animating. Interaction is off by default.
class ImageView : public View {
public:
    ImageView() { init(); }
    explicit ImageView(Rect frame) : View(frame) { init(); }
    explicit ImageView(ImagePtr image);
    ~ImageView() override;
    std::string className() const override { return "ImageView"; }

    ImagePtr image() const { return image_; }
    void setImage(ImagePtr image);
    ImagePtr highlightedImage() const { return highlightedImage_; }
    void setHighlightedImage(ImagePtr image) { highlightedImage_ = std::move(image); setNeedsDisplay(); }
    bool isHighlighted() const { return highlighted_; }
    // A stretchable image: the cap insets stay unscaled, the middle stretches (all zero: the
    // whole image scales by the content mode).
    EdgeInsets capInsets() const { return capInsets_; }
    void setCapInsets(EdgeInsets insets) { capInsets_ = insets; setNeedsDisplay(); }
    void setHighlighted(bool h) { highlighted_ = h; setNeedsDisplay(); }

    const std::vector<ImagePtr>& animationImages() const { return animationImages_; }
    void setAnimationImages(std::vector<ImagePtr> images);
    // Seconds for one cycle through the images (0: 1/30 s per image).
    double animationDuration() const { return animationDuration_; }
    void setAnimationDuration(double seconds) { animationDuration_ = seconds; }
    int animationRepeatCount() const { return animationRepeatCount_; }   // 0: forever
    void setAnimationRepeatCount(int n) { animationRepeatCount_ = n; }
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const;
    // The image shown now: the current animation frame while animating, else the image.
    ImagePtr displayedImage() const;

    Size sizeThatFits(Size size) const override;
    Size intrinsicContentSize() const override;
    void draw(GraphicsContext& context, Rect rect) override;
    std::string describeContent() const override;

private:
    void init();
    ImagePtr image_;
    ImagePtr highlightedImage_;
    bool highlighted_ = false;
    EdgeInsets capInsets_;
    std::vector<ImagePtr> animationImages_;
    double animationDuration_ = 0;
    int animationRepeatCount_ = 0;
    bool animating_ = false;
    double animationStart_ = 0;
};

// Draws an image into a rectangle following a content mode (shared by image views and buttons).
void drawImageWithContentMode(GraphicsContext& context, const ImagePtr& image, Rect bounds, ContentMode mode,
                              double alpha = 1);

}  // namespace ui
