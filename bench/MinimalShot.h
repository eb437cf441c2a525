// The shot pipeline written directly on the codec, as the yardstick the project's pipeline is
// measured against: the JPEG decoded at the smallest of the codec's scales that still covers
// the aspect-fill crop, the crop resampled once, turned after reducing by moving whole pixels,
// one JPEG at full quality (the album copy; it is also sent when under the limit, otherwise
// the one re-encode the size rule asks for follows), escaped Base64.
#pragma once

#include <cairo.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Base64Codec.h"

namespace minimalshot {

// What one shot delivers: the JPEG handed back (as escaped Base64 text) and the JPEG at full
// quality (a shot's album copy; for a re-take the first encoding, from which the second's
// quality is worked out).
struct Delivered {
    std::string handedJpeg;
    std::string text;
    std::string fullQuality;
};

inline int jpegQuality(double quality) { return std::clamp(static_cast<int>(std::lround(quality * 100)), 1, 100); }

inline std::string encodeBGRX(const unsigned char* pixels, int w, int pitch, int h, int quality) {
    tjhandle tj = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    std::string out;
    if (tjCompress2(tj, pixels, w, pitch, h, TJPF_BGRX, &jpeg, &size, TJSAMP_420, quality, TJFLAG_ACCURATEDCT) == 0)
        out.assign(reinterpret_cast<const char*>(jpeg), size);
    tjFree(jpeg);
    tjDestroy(tj);
    return out;
}

// Decoded at the smallest of the codec's scales that covers a tw x th aspect-fill crop, the
// crop resampled once, then turned clockwise by whole quarter turns, then encoded.
inline Delivered minimal(const std::string& bytes, int quarterTurns, int tw, int th, double limitKB) {
    tjhandle tj = tjInitDecompress();
    int w = 0, h = 0, sub = 0, cs = 0;
    auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    tjDecompressHeader3(tj, src, bytes.size(), &w, &h, &sub, &cs);
    const bool sideways = quarterTurns % 2 != 0;
    const int cw = sideways ? th : tw, ch = sideways ? tw : th;  // the crop before turning
    const double f = std::max(double(cw) / w, double(ch) / h);
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    tjscalingfactor scale{1, 1};
    for (int i = 0; i < count; ++i) {
        const tjscalingfactor s = factors[i];
        if (TJSCALED(w, s) >= w * f && TJSCALED(h, s) >= h * f && s.num * scale.denom < scale.num * s.denom)
            scale = s;
    }
    const int sw = TJSCALED(w, scale), sh = TJSCALED(h, scale);
    cairo_surface_t* decoded = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sw, sh);
    cairo_surface_flush(decoded);
    tjDecompress2(tj, src, bytes.size(), cairo_image_surface_get_data(decoded), sw,
                  cairo_image_surface_get_stride(decoded), sh, TJPF_BGRA, TJFLAG_ACCURATEDCT);
    tjDestroy(tj);
    cairo_surface_mark_dirty(decoded);

    cairo_surface_t* crop = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cw, ch);
    cairo_t* cr = cairo_create(crop);
    cairo_translate(cr, (cw - w * f) / 2, (ch - h * f) / 2);
    cairo_scale(cr, f * w / sw, f * h / sh);
    cairo_set_source_surface(cr, decoded, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(decoded);
    cairo_surface_flush(crop);

    const auto* pixels = cairo_image_surface_get_data(crop);
    const int stride = cairo_image_surface_get_stride(crop);
    std::vector<uint32_t> turned;
    const unsigned char* out = pixels;
    int pitch = stride;
    const int q = ((quarterTurns % 4) + 4) % 4;
    if (q != 0) {
        turned.resize(static_cast<size_t>(tw) * th);
        auto at = [&](int x, int y) { return reinterpret_cast<const uint32_t*>(pixels + size_t(y) * stride)[x]; };
        for (int y = 0; y < th; ++y)
            for (int x = 0; x < tw; ++x)
                turned[size_t(y) * tw + x] = q == 1 ? at(y, ch - 1 - x) : q == 3 ? at(cw - 1 - y, x)
                                                                       : at(cw - 1 - x, ch - 1 - y);
        out = reinterpret_cast<const unsigned char*>(turned.data());
        pitch = tw * 4;
    }
    Delivered d;
    d.handedJpeg = encodeBGRX(out, tw, pitch, th, 100);
    d.fullQuality = d.handedJpeg;
    if (d.handedJpeg.size() / 1024 > limitKB)
        d.handedJpeg = encodeBGRX(out, tw, pitch, th, jpegQuality(limitKB * 1024.0 / double(d.handedJpeg.size())));
    d.text = Base64Codec::stringByEncodingData(d.handedJpeg);
    cairo_surface_destroy(crop);
    return d;
}

}  // namespace minimalshot
