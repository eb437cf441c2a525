#pragma once
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

class ImageCommon {
public:
    // An aspect-fill, centre-cropped image of exactly `targetSize` points at scale 1 (the source
    // drawn at (0, 0, target) when its size already equals the target). Null for a null source
    // and for a picture whose data proves corrupt. A JPEG source (or a turned view of one) is
    // decoded only at the size the crop needs and turned as it is drawn.
    static graphics::Image::Ptr imageCompressForSize(const graphics::Image::Ptr& source, graphics::Size targetSize);
};
