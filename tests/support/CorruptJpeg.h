#pragma once
#include <cairo.h>
#include <turbojpeg.h>

#include <string>

#include "platform/graphics/Image.h"

// JPEG data that is sound up to its pixels: for the paths that must report a picture whose
// header reads but whose decoding fails, never crash.
namespace corruptjpeg {

// `picture` as a progressive JPEG (quality 90, 4:2:0); empty when it cannot be encoded.
inline std::string progressive(const graphics::Image& picture) {
    cairo_surface_t* s = picture.surface();
    tjhandle tj = tjInitCompress();
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    std::string jpeg;
    if (tjCompress2(tj, cairo_image_surface_get_data(s), cairo_image_surface_get_width(s),
                    cairo_image_surface_get_stride(s), cairo_image_surface_get_height(s), TJPF_BGRX, &bytes, &size,
                    TJSAMP_420, 90, TJFLAG_PROGRESSIVE) == 0)
        jpeg.assign(reinterpret_cast<const char*>(bytes), size);
    tjFree(bytes);
    tjDestroy(tj);
    return jpeg;
}

// A progressive `jpeg` whose second scan asks for an impossible band of coefficients (48 to
// 16): the header still reads, the pixels no longer decode. Empty when it has no second scan.
inline std::string pastItsHeader(std::string jpeg) {
    size_t first = jpeg.find("\xFF\xDA");
    size_t second = first == std::string::npos ? first : jpeg.find("\xFF\xDA", first + 2);
    if (second == std::string::npos || second + 5 >= jpeg.size()) return {};
    const size_t components = static_cast<unsigned char>(jpeg[second + 4]);
    const size_t ss = second + 5 + 2 * components;
    if (ss + 1 >= jpeg.size()) return {};
    jpeg[ss] = 0x30;      // first coefficient 48
    jpeg[ss + 1] = 0x10;  // last coefficient 16
    return jpeg;
}

}  // namespace corruptjpeg
