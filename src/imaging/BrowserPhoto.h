#pragma once
#include <memory>
#include <string>

#include "platform/graphics/Image.h"

namespace ui {
class ImageView;
}

// One photo of the photo browser: where to fetch it, or the image in hand, and the image
// view it was tapped in (whose picture stands in while the photo loads).
class BrowserPhoto {
public:
    std::string url;
    graphics::Image::Ptr image;
    std::weak_ptr<ui::ImageView> srcImageView;
};
