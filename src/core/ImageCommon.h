#pragma once
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

class ImageCommon {
public:
    // An aspect-fill, centre-cropped image of exactly `targetSize` points at scale 1 (the source
    // drawn at (0, 0, target) when its size already equals the target). Null for a null source.
    static graphics::Image::Ptr imageCompressForSize(const graphics::Image::Ptr& source, graphics::Size targetSize);
};
