#include "platform/graphics/Image.h"

#include <cairo.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>

#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

namespace graphics {

namespace {

// Largest side of a bitmap we agree to make or decode, in pixels.
constexpr int kMaxPixels = 16384;

bool validScale(double scale) { return std::isfinite(scale) && scale > 0 && scale <= 16; }

bool swapsSides(ImageOrientation o) {
    return o == ImageOrientation::Left || o == ImageOrientation::Right || o == ImageOrientation::LeftMirrored ||
           o == ImageOrientation::RightMirrored;
}

// The transform from stored pixels (w x h) to upright display pixels.
cairo_matrix_t orientationMatrix(ImageOrientation o, double w, double h) {
    cairo_matrix_t m;
    switch (o) {
    case ImageOrientation::Up: cairo_matrix_init(&m, 1, 0, 0, 1, 0, 0); break;
    case ImageOrientation::Down: cairo_matrix_init(&m, -1, 0, 0, -1, w, h); break;
    case ImageOrientation::Left: cairo_matrix_init(&m, 0, -1, 1, 0, 0, w); break;          // turned 90° anticlockwise
    case ImageOrientation::Right: cairo_matrix_init(&m, 0, 1, -1, 0, h, 0); break;         // turned 90° clockwise
    case ImageOrientation::UpMirrored: cairo_matrix_init(&m, -1, 0, 0, 1, w, 0); break;
    case ImageOrientation::DownMirrored: cairo_matrix_init(&m, 1, 0, 0, -1, 0, h); break;
    case ImageOrientation::LeftMirrored: cairo_matrix_init(&m, 0, 1, 1, 0, 0, 0); break;
    case ImageOrientation::RightMirrored: cairo_matrix_init(&m, 0, -1, -1, 0, h, w); break;
    }
    return m;
}

cairo_surface_t* newSurface(int width, int height) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    return s;
}

// --- PNG --------------------------------------------------------------------------------

struct ReadCursor {
    const std::string* bytes;
    size_t offset;
};

cairo_status_t readChunk(void* closure, unsigned char* data, unsigned int length) {
    auto* c = static_cast<ReadCursor*>(closure);
    if (c->offset + length > c->bytes->size()) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, c->bytes->data() + c->offset, length);
    c->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

cairo_status_t writeChunk(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

cairo_surface_t* decodePng(const std::string& bytes) {
    ReadCursor cursor{&bytes, 0};
    cairo_surface_t* s = cairo_image_surface_create_from_png_stream(readChunk, &cursor);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    if (cairo_image_surface_get_format(s) == CAIRO_FORMAT_ARGB32) return s;
    // Opaque and grey PNGs come as other formats: repaint into ARGB32.
    cairo_surface_t* argb = newSurface(cairo_image_surface_get_width(s), cairo_image_surface_get_height(s));
    if (argb) {
        cairo_t* cr = cairo_create(argb);
        cairo_set_source_surface(cr, s, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(argb);
    }
    cairo_surface_destroy(s);
    return argb;
}

// --- JPEG -------------------------------------------------------------------------------

// The EXIF orientation of a JPEG (1 when none), read from its APP1 segment.
int exifOrientation(const std::string& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t n = bytes.size(), i = 2;
    while (i + 4 <= n && p[i] == 0xFF) {
        unsigned marker = p[i + 1];
        size_t length = (p[i + 2] << 8) | p[i + 3];
        if (marker == 0xDA || length < 2 || i + 2 + length > n) break;
        const unsigned char* seg = p + i + 4;
        size_t segLength = length - 2;
        if (marker == 0xE1 && segLength >= 14 && std::memcmp(seg, "Exif\0\0", 6) == 0) {
            const unsigned char* tiff = seg + 6;
            size_t tiffLength = segLength - 6;
            bool little = tiff[0] == 'I';
            auto u16 = [&](size_t o) -> unsigned {
                if (o + 2 > tiffLength) return 0;
                return little ? tiff[o] | (tiff[o + 1] << 8) : (tiff[o] << 8) | tiff[o + 1];
            };
            auto u32 = [&](size_t o) -> size_t {
                if (o + 4 > tiffLength) return 0;
                return little ? tiff[o] | (tiff[o + 1] << 8) | (tiff[o + 2] << 16) | (size_t(tiff[o + 3]) << 24)
                              : (size_t(tiff[o]) << 24) | (tiff[o + 1] << 16) | (tiff[o + 2] << 8) | tiff[o + 3];
            };
            size_t ifd = u32(4);
            unsigned entries = u16(ifd);
            for (unsigned e = 0; e < entries; ++e) {
                size_t entry = ifd + 2 + e * 12;
                if (entry + 12 > tiffLength) break;
                if (u16(entry) == 0x0112) {
                    unsigned v = u16(entry + 8);
                    return v >= 1 && v <= 8 ? static_cast<int>(v) : 1;
                }
            }
            return 1;
        }
        i += 2 + length;
    }
    return 1;
}

ImageOrientation fromExif(int v) {
    switch (v) {
    case 2: return ImageOrientation::UpMirrored;
    case 3: return ImageOrientation::Down;
    case 4: return ImageOrientation::DownMirrored;
    case 5: return ImageOrientation::LeftMirrored;
    case 6: return ImageOrientation::Right;
    case 7: return ImageOrientation::RightMirrored;
    case 8: return ImageOrientation::Left;
    default: return ImageOrientation::Up;
    }
}

cairo_surface_t* decodeJpeg(const std::string& bytes) {
    tjhandle tj = tjInitDecompress();
    if (!tj) return nullptr;
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    cairo_surface_t* s = nullptr;
    if (tjDecompressHeader3(tj, src, bytes.size(), &width, &height, &subsampling, &colorspace) == 0 &&
        width > 0 && height > 0 && width <= kMaxPixels && height <= kMaxPixels) {
        s = newSurface(width, height);
        if (s) {
            cairo_surface_flush(s);
            // Little-endian ARGB32 is B, G, R, A in memory; JPEG is opaque.
            int rc = tjDecompress2(tj, src, bytes.size(), cairo_image_surface_get_data(s), width,
                                   cairo_image_surface_get_stride(s), height, TJPF_BGRA, TJFLAG_ACCURATEDCT);
            // A warning (a truncated file) still gives usable pixels; an error does not.
            if (rc != 0 && tjGetErrorCode(tj) != TJERR_WARNING) {
                cairo_surface_destroy(s);
                s = nullptr;
            } else {
                cairo_surface_mark_dirty(s);
            }
        }
    }
    tjDestroy(tj);
    return s;
}

std::mutex& cacheMutex() {
    static std::mutex m;
    return m;
}
std::map<std::string, Image::Ptr>& namedCache() {
    static auto* cache = new std::map<std::string, Image::Ptr>();
    return *cache;
}

double scaleOfFile(const std::string& file) {
    if (file.find("@3x.") != std::string::npos) return 3;
    if (file.find("@2x.") != std::string::npos) return 2;
    return 1;
}

}  // namespace

// ---- Making images ------------------------------------------------------------------------

Image::Image(cairo_surface_t* surface, double scale, ImageOrientation orientation)
    : surface_(surface), scale_(validScale(scale) ? scale : 1), orientation_(orientation) {}

Image::~Image() { cairo_surface_destroy(surface_); }

Image::Ptr Image::fromSurface(cairo_surface_t* surface, double scale, ImageOrientation orientation) {
    if (!surface) return nullptr;
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    if (cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32) {
        cairo_surface_t* argb =
            newSurface(cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface));
        if (argb) {
            cairo_t* cr = cairo_create(argb);
            cairo_set_source_surface(cr, surface, 0, 0);
            cairo_paint(cr);
            cairo_destroy(cr);
        }
        cairo_surface_destroy(surface);
        surface = argb;
        if (!surface) return nullptr;
    }
    cairo_surface_flush(surface);
    return std::make_shared<const Image>(surface, scale, orientation);
}

Image::Ptr Image::fromData(const std::string& bytes, double scale) {
    if (bytes.size() < 4) return nullptr;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    if (p[0] == 0x89 && p[1] == 'P' && p[2] == 'N' && p[3] == 'G') {
        // Refuse absurd dimensions from the header before decoding anything.
        if (bytes.size() < 24) return nullptr;
        auto be32 = [&](size_t o) {
            return (uint32_t(p[o]) << 24) | (uint32_t(p[o + 1]) << 16) | (uint32_t(p[o + 2]) << 8) | p[o + 3];
        };
        if (be32(16) > kMaxPixels || be32(20) > kMaxPixels) return nullptr;
        cairo_surface_t* s = decodePng(bytes);
        if (!s) return nullptr;
        if (cairo_image_surface_get_width(s) > kMaxPixels || cairo_image_surface_get_height(s) > kMaxPixels) {
            cairo_surface_destroy(s);
            return nullptr;
        }
        return fromSurface(s, scale);
    }
    if (p[0] == 0xFF && p[1] == 0xD8) {
        cairo_surface_t* s = decodeJpeg(bytes);
        if (!s) return nullptr;
        return fromSurface(s, scale, fromExif(exifOrientation(bytes)));
    }
    return nullptr;
}

Image::Ptr Image::fromFile(const std::string& path) {
    auto bytes = foundation::files::read(path);
    if (!bytes) return nullptr;
    auto image = fromData(*bytes, scaleOfFile(std::filesystem::path(path).filename().string()));
    if (!image) foundation::log("image: " + path + " does not decode");
    return image;
}

Image::Ptr Image::named(const std::string& name) {
    if (name.empty()) return nullptr;
    namespace fs = std::filesystem;
    const fs::path root = foundation::bundleRoot();
    const std::string key = root.string() + "\n" + name;
    {
        std::lock_guard<std::mutex> lock(cacheMutex());
        auto it = namedCache().find(key);
        if (it != namedCache().end()) return it->second;
    }
    // "x@2x.png" first, as a device with a double-density screen would; then "x.png", "x.jpg";
    // a name with its extension is taken as it is (and its @2x sibling preferred).
    std::vector<std::string> candidates;
    fs::path given(name);
    std::string ext = given.extension().string();
    if (ext == ".png" || ext == ".jpg" || ext == ".jpeg") {
        std::string stem = name.substr(0, name.size() - ext.size());
        if (stem.find('@') == std::string::npos) candidates.push_back(stem + "@2x" + ext);
        candidates.push_back(name);
    } else {
        candidates.push_back(name + "@2x.png");
        candidates.push_back(name + ".png");
        candidates.push_back(name + ".jpg");
        candidates.push_back(name);
    }
    Image::Ptr image;
    for (const auto& file : candidates) {
        fs::path path = foundation::bundlePath(file);
        if (path.empty()) continue;
        auto bytes = foundation::files::read(path);
        if (!bytes) continue;
        auto loaded = fromData(*bytes, scaleOfFile(file));
        if (!loaded) {
            foundation::log("image: bundle file " + path.string() + " does not decode");
            continue;
        }
        auto named = std::make_shared<Image>(cairo_surface_reference(loaded->surface_), loaded->scale_,
                                             loaded->orientation_);
        named->name_ = name;
        image = named;
        break;
    }
    if (image) {
        std::lock_guard<std::mutex> lock(cacheMutex());
        namedCache()[key] = image;
    }
    return image;
}

Image::Ptr Image::draw(Size size, double scale, bool opaque, const std::function<void(cairo_t*)>& draw) {
    if (!validScale(scale)) scale = 1;
    double w = std::isfinite(size.width) ? std::max(0.0, size.width) : 0;
    double h = std::isfinite(size.height) ? std::max(0.0, size.height) : 0;
    if (w * scale > kMaxPixels || h * scale > kMaxPixels) return nullptr;
    int pw = static_cast<int>(std::ceil(w * scale - 1e-9));
    int ph = static_cast<int>(std::ceil(h * scale - 1e-9));
    cairo_surface_t* s = newSurface(pw, ph);
    if (!s) return nullptr;
    cairo_t* cr = cairo_create(s);
    if (opaque) {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
    }
    cairo_scale(cr, scale, scale);
    if (draw) draw(cr);
    cairo_destroy(cr);
    return fromSurface(s, scale);
}

Image::Ptr Image::withOrientation(ImageOrientation orientation) const {
    auto image = std::make_shared<Image>(cairo_surface_reference(surface_), scale_, orientation);
    image->name_ = name_;
    return image;
}

Image::Ptr Image::withScale(double scale) const {
    auto image = std::make_shared<Image>(cairo_surface_reference(surface_), scale, orientation_);
    image->name_ = name_;
    return image;
}

// ---- Reading images -----------------------------------------------------------------------

int Image::pixelWidth() const { return cairo_image_surface_get_width(surface_); }
int Image::pixelHeight() const { return cairo_image_surface_get_height(surface_); }

Size Image::size() const {
    double w = pixelWidth() / scale_, h = pixelHeight() / scale_;
    return swapsSides(orientation_) ? Size{h, w} : Size{w, h};
}

bool Image::hasAlpha() const {
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    if (!data) return false;
    int stride = cairo_image_surface_get_stride(surface_);
    for (int y = 0; y < pixelHeight(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < pixelWidth(); ++x)
            if ((row[x] >> 24) != 0xFF) return true;
    }
    return false;
}

Color Image::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= pixelWidth() || y >= pixelHeight()) return Color::clear();
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    if (!data) return Color::clear();
    uint32_t v = reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(surface_))[x];
    double a = (v >> 24) & 0xFF;
    if (a == 0) return Color::clear();
    auto channel = [&](int shift) { return std::min(1.0, ((v >> shift) & 0xFF) / a); };
    return {channel(16), channel(8), channel(0), a / 255.0};
}

void Image::drawInRect(cairo_t* cr, Rect rect, double alpha) const {
    if (!cr || rect.isEmpty() || pixelWidth() == 0 || pixelHeight() == 0) return;
    const double w = pixelWidth(), h = pixelHeight();
    const double dw = swapsSides(orientation_) ? h : w;
    const double dh = swapsSides(orientation_) ? w : h;
    cairo_save(cr);
    cairo_rectangle(cr, rect.x(), rect.y(), rect.width(), rect.height());
    cairo_clip(cr);
    cairo_translate(cr, rect.x(), rect.y());
    cairo_scale(cr, rect.width() / dw, rect.height() / dh);
    cairo_matrix_t m = orientationMatrix(orientation_, w, h);
    cairo_transform(cr, &m);
    cairo_set_source_surface(cr, surface_, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint_with_alpha(cr, std::clamp(alpha, 0.0, 1.0));
    cairo_restore(cr);
}

namespace {
// The pixels turned upright: the surface itself (referenced) when already upright.
cairo_surface_t* uprightSurface(const Image& image) {
    if (image.orientation() == ImageOrientation::Up) return cairo_surface_reference(image.surface());
    int w = image.pixelWidth(), h = image.pixelHeight();
    bool swap = swapsSides(image.orientation());
    cairo_surface_t* s = newSurface(swap ? h : w, swap ? w : h);
    if (!s) return nullptr;
    cairo_t* cr = cairo_create(s);
    cairo_matrix_t m = orientationMatrix(image.orientation(), w, h);
    cairo_transform(cr, &m);
    cairo_set_source_surface(cr, image.surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(s);
    return s;
}
}  // namespace

std::string Image::jpegData(double quality) const {
    cairo_surface_t* s = uprightSurface(*this);
    if (!s) return {};
    int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    std::string out;
    if (w > 0 && h > 0) {
        // Premultiplied pixels over white: each channel plus the white the alpha lets through.
        int stride = cairo_image_surface_get_stride(s);
        const unsigned char* data = cairo_image_surface_get_data(s);
        std::vector<unsigned char> bgrx(static_cast<size_t>(w) * h * 4);
        for (int y = 0; y < h; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
            unsigned char* dst = bgrx.data() + static_cast<size_t>(y) * w * 4;
            for (int x = 0; x < w; ++x) {
                uint32_t v = row[x];
                unsigned white = 255 - ((v >> 24) & 0xFF);
                dst[4 * x + 0] = static_cast<unsigned char>(std::min(255u, (v & 0xFF) + white));
                dst[4 * x + 1] = static_cast<unsigned char>(std::min(255u, ((v >> 8) & 0xFF) + white));
                dst[4 * x + 2] = static_cast<unsigned char>(std::min(255u, ((v >> 16) & 0xFF) + white));
                dst[4 * x + 3] = 255;
            }
        }
        double q = std::isfinite(quality) ? std::clamp(quality, 0.0, 1.0) : 1.0;
        int jpegQuality = std::clamp(static_cast<int>(std::lround(q * 100)), 1, 100);
        tjhandle tj = tjInitCompress();
        unsigned char* jpeg = nullptr;
        unsigned long size = 0;
        if (tj && tjCompress2(tj, bgrx.data(), w, w * 4, h, TJPF_BGRX, &jpeg, &size, TJSAMP_420, jpegQuality,
                              TJFLAG_ACCURATEDCT) == 0) {
            out.assign(reinterpret_cast<const char*>(jpeg), size);
        }
        tjFree(jpeg);
        if (tj) tjDestroy(tj);
    }
    cairo_surface_destroy(s);
    return out;
}

std::string Image::pngData() const {
    cairo_surface_t* s = uprightSurface(*this);
    if (!s) return {};
    std::string out;
    if (cairo_surface_write_to_png_stream(s, writeChunk, &out) != CAIRO_STATUS_SUCCESS) out.clear();
    cairo_surface_destroy(s);
    return out;
}

}  // namespace graphics
