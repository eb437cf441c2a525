#include "core/ImageExtension.h"

#include <algorithm>
#include <cmath>

using graphics::Image;

Image::Ptr ImageExtension::imageWithOriginImage(const Image::Ptr& image, graphics::Size size) {
    if (!image || size.width <= 0 || size.height <= 0) return nullptr;
    auto stretched = Image::draw(size, 1, false, [&](cairo_t* cr) {
        image->drawInRect(cr, graphics::Rect(0, 0, size.width, size.height));
    });
    return image->isBroken() ? nullptr : stretched;
}

Image::Ptr ImageExtension::imageModeAlwaysOriginal(const std::string& name) {
    // Images are never tinted on this platform: the named image is drawn in its own colours.
    return Image::named(name);
}

graphics::Image::Ptr ImageExtension::imageOnWhite(const graphics::Image::Ptr& image, graphics::Size size) {
    auto scaled = imageWithOriginImage(image, size);
    if (!scaled) return nullptr;
    return graphics::Image::draw(size, 1, true, [&](cairo_t* cr) {
        scaled->drawInRect(cr, graphics::Rect(0, 0, size.width, size.height));
    });
}

graphics::Image::Ptr ImageExtension::stretchableImageNamed(const std::string& name) {
    auto image = Image::named(name);
    if (!image) return nullptr;
    // Ten points hold the rounded corners and the border of the button and box pictures; a
    // smaller picture keeps all but its middle point.
    const graphics::Size size = image->size();
    const double across = std::clamp(std::floor((size.width - 1) / 2), 0.0, 10.0);
    const double down = std::clamp(std::floor((size.height - 1) / 2), 0.0, 10.0);
    return image->resizableImage({down, across, down, across});
}
