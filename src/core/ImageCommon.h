#pragma once
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

class ImageCommon {
public:
    // An aspect-fill, centre-cropped image of exactly `targetSize` points at scale 1 (the source
    // drawn at (0, 0, target) when its size already equals the target). Null for a null source
    // and for a picture whose data proves corrupt. The reduction averages the area each new
    // pixel covers (Image::drawnInRect): a JPEG source (or a turned view of one) is decoded at
    // a reduced scale that keeps twice the pixels the crop needs, and turned once reduced.
    static graphics::Image::Ptr imageCompressForSize(const graphics::Image::Ptr& source, graphics::Size targetSize);
};
