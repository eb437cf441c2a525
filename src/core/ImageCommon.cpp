#include "core/ImageCommon.h"

#include <cmath>

#include "platform/foundation/Log.h"

using graphics::Image;
using graphics::Rect;
using graphics::Size;

Image::Ptr ImageCommon::imageCompressForSize(const Image::Ptr& source, Size targetSize) {
    if (!source || targetSize.width <= 0 || targetSize.height <= 0) return nullptr;
    Size size = source->size();
    if (size.width <= 0 || size.height <= 0) return nullptr;
    Rect rect(0, 0, targetSize.width, targetSize.height);
    if (size != targetSize) {
        double widthFactor = targetSize.width / size.width;
        double heightFactor = targetSize.height / size.height;
        double factor = std::max(widthFactor, heightFactor);
        double scaledWidth = size.width * factor, scaledHeight = size.height * factor;
        rect = Rect(0, 0, scaledWidth, scaledHeight);
        // Centre the axis that overflows the target.
        if (widthFactor > heightFactor)
            rect.origin.y = (targetSize.height - scaledHeight) / 2;
        else if (widthFactor < heightFactor)
            rect.origin.x = (targetSize.width - scaledWidth) / 2;
    }
    // A shot is decoded only at the size the average needs, reduced by area, then turned.
    auto reduced = source->drawnInRect(targetSize, rect);
    if (source->isBroken()) {
        foundation::log("ImageCommon: the picture's data is corrupt; nothing to reduce");
        return nullptr;
    }
    return reduced;
}
