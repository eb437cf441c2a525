#include "core/ImageResize.h"

#include <cairo.h>

#include <cmath>
#include <stdexcept>

#include "core/Base64Codec.h"

namespace {

using graphics::Image;
using graphics::Size;

cairo_filter_t filterFor(int quality) {
    switch (quality) {
    case 1: return CAIRO_FILTER_NEAREST;
    case 2: return CAIRO_FILTER_FAST;
    case 3: return CAIRO_FILTER_BEST;
    default: return CAIRO_FILTER_GOOD;
    }
}

// Sine and cosine, exact at multiples of 90 degrees.
std::pair<double, double> sinCos(double degrees) {
    double turns = degrees / 90.0;
    if (std::isfinite(turns) && turns == std::floor(turns)) {
        static const double s[] = {0, 1, 0, -1}, c[] = {1, 0, -1, 0};
        long q = static_cast<long>(std::fmod(turns, 4.0));
        if (q < 0) q += 4;
        return {s[q], c[q]};
    }
    double radians = degrees * M_PI / 180.0;
    return {std::sin(radians), std::cos(radians)};
}

// Whole pixels of a computed length (a hair over a whole number stays that number).
double wholePixels(double length) { return std::max(1.0, std::ceil(length - 1e-6)); }

}  // namespace

Image::Ptr ImageResize::resizedImageWithContentMode(const Image::Ptr& image, int contentMode, Size bounds,
                                                    int interpolationQuality) {
    if (contentMode != kContentModeScaleAspectFit && contentMode != kContentModeScaleAspectFill)
        throw std::invalid_argument("Unsupported content mode: " + std::to_string(contentMode));
    if (!image || image->size().width <= 0 || image->size().height <= 0) return nullptr;
    Size size = image->size();
    double horizontal = bounds.width / size.width;
    double vertical = bounds.height / size.height;
    double ratio = contentMode == kContentModeScaleAspectFit ? std::min(horizontal, vertical)
                                                             : std::max(horizontal, vertical);
    if (!std::isfinite(ratio) || ratio <= 0) return nullptr;
    Size newSize{std::max(1.0, std::round(size.width * ratio)), std::max(1.0, std::round(size.height * ratio))};

    // At one pixel per pixel the redraw is the upright pixels as they are: a view on the same
    // pixels, so a shot is never copied at full size only to be turned and reduced after.
    if (newSize == Size{size.width * image->scale(), size.height * image->scale()}) return image->uprightTurned(0);
    auto resized = Image::draw(newSize, 1, false, [&](cairo_t* cr) {
        image->drawInRect(cr, graphics::Rect(0, 0, newSize.width, newSize.height), 1, filterFor(interpolationQuality));
    });
    return image->isBroken() ? nullptr : resized;
}

Image::Ptr ImageResize::rotatedByDegrees(const Image::Ptr& image, double degrees) {
    if (!image || !std::isfinite(degrees)) return nullptr;
    Size size = image->size();
    if (size.width <= 0 || size.height <= 0) return nullptr;
    auto [s, c] = sinCos(degrees);
    if ((s == 0 || c == 0) && image->scale() == 1) {
        // A quarter turn of whole pixels moves pixels without resampling: a view on the same
        // pixels, drawn turned only when it is read or reduced.
        int quarterTurns = s == 1 ? 1 : s == -1 ? 3 : c == -1 ? 2 : 0;
        return image->uprightTurned(quarterTurns);
    }
    Size box{wholePixels(std::fabs(size.width * c) + std::fabs(size.height * s)),
             wholePixels(std::fabs(size.width * s) + std::fabs(size.height * c))};
    auto turned = Image::draw(box, 1, false, [&](cairo_t* cr) {
        // Cairo's y axis points down, so a positive angle turns clockwise on the screen.
        cairo_matrix_t m;
        cairo_matrix_init(&m, c, s, -s, c, box.width / 2, box.height / 2);
        cairo_transform(cr, &m);
        image->drawInRect(cr, graphics::Rect(-size.width / 2, -size.height / 2, size.width, size.height));
    });
    return image->isBroken() ? nullptr : turned;
}

std::string ImageResize::compressedJPEG(const Image::Ptr& image, double limitKB) {
    if (!image) return "";
    std::string jpeg = image->jpegData(1.0);
    if (!jpeg.empty() && static_cast<double>(jpeg.size() / 1024) > limitKB) {
        double quality = limitKB * 1024.0 / static_cast<double>(jpeg.size());
        std::string again = image->jpegData(quality);
        if (!again.empty()) jpeg = std::move(again);
    }
    return jpeg;
}

std::string ImageResize::compressionWithSize(const Image::Ptr& image, double limitKB) {
    return Base64Codec::stringByEncodingData(compressedJPEG(image, limitKB));
}
