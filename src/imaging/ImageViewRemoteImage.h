#pragma once
#include <memory>
#include <string>

#include "platform/graphics/Image.h"

namespace ui {
class ImageView;
}

// Remote images in image views.
class ImageViewRemoteImage {
public:
    // Shows the placeholder at once, then the image of the URL when it is found: in the memory
    // cache at once, else from the disk cache or a download, delivered on the main run loop.
    // A later call for the same view replaces this one: the earlier image is not delivered.
    // A failed download leaves the placeholder.
    static void setImageWithURL(const std::shared_ptr<ui::ImageView>& imageView, const std::string& url,
                                const graphics::Image::Ptr& placeholder);
    // Stops delivering the pending image of the view (its download is cancelled).
    static void cancelCurrentImageLoad(const std::shared_ptr<ui::ImageView>& imageView);
    // Whether an image is on its way to the view.
    static bool isLoading(const std::shared_ptr<ui::ImageView>& imageView);
};
