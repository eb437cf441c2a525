#pragma once
#include <string>

#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

class ImageExtension {
public:
    // The image stretched whole (aspect not kept) into a new non-opaque bitmap of `size` points
    // at scale 1. Null for a null image, an empty size or a picture whose data proves corrupt.
    static graphics::Image::Ptr imageWithOriginImage(const graphics::Image::Ptr& image, graphics::Size size);
    // The image redrawn at `size` on an opaque white page (a signature's strokes on transparent
    // pixels come out black on white whatever an encoder does with transparency); null when
    // the redraw fails.
    static graphics::Image::Ptr imageOnWhite(const graphics::Image::Ptr& image, graphics::Size size);
    // The named bundle image drawn in its own colours, never tinted (bar items). Null when missing.
    static graphics::Image::Ptr imageModeAlwaysOriginal(const std::string& name);
    // The named bundle picture as a stretchable one (a button's background): ten points along
    // each edge keep their size (half the picture less its middle point when it is smaller) and
    // the rest stretches, so its corners and border keep their shape at any button size. Null
    // when missing.
    static graphics::Image::Ptr stretchableImageNamed(const std::string& name);
};
