#pragma once
#include <string>

#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

// Scaling, turning and compressing images.
class ImageResize {
public:
    // Content modes of resizedImageWithContentMode.
    static constexpr int kContentModeScaleAspectFit = 1;
    static constexpr int kContentModeScaleAspectFill = 2;
    // Interpolation qualities: 0 default, 1 none, 2 low, 3 high, 4 medium.
    static constexpr int kInterpolationHigh = 3;

    // The image redrawn upright (orientation applied) into a bitmap of its size times the ratio:
    // the smaller (aspect fit) or larger (aspect fill) of bounds / image size per axis.
    // At one pixel per pixel (bounds equal to the size of a scale-1 image) the result is the
    // upright pixels as they are, a view made only when read or drawn.
    // Throws std::invalid_argument("Unsupported content mode: N") for any other mode.
    // Null for a picture whose data proves corrupt while it is drawn.
    static graphics::Image::Ptr resizedImageWithContentMode(const graphics::Image::Ptr& image, int contentMode,
                                                            graphics::Size bounds, int interpolationQuality);
    // A new image (scale 1) on the bounding box of the image turned by `degrees` about its
    // centre, clockwise as displayed for positive angles; transparent outside the image.
    // Whole quarter turns of a scale-1 image move pixels without resampling: the result is a
    // view on the same pixels, turned when read or drawn (so a shot is reduced before it is
    // turned).
    static graphics::Image::Ptr rotatedByDegrees(const graphics::Image::Ptr& image, double degrees);
    // JPEG at quality 1.0; when its byte count / 1024 exceeds `limitKB`, one more JPEG at quality
    // limitKB * 1024 / first byte count. Returns Base64Codec::stringByEncodingData of the chosen JPEG.
    // The image keeps the quality-1.0 JPEG, so an album copy of it afterwards is not encoded again.
    static std::string compressionWithSize(const graphics::Image::Ptr& image, double limitKB);
    // The JPEG that compressionWithSize encodes (tests and benchmarks look at its bytes).
    static std::string compressedJPEG(const graphics::Image::Ptr& image, double limitKB);
};
