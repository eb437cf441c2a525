#include "platform/graphics/Image.h"

#include <cairo.h>
#include <turbojpeg.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <csetjmp>
#include <cstdio>  // before the codec's row-by-row interface, which needs it
#include <jpeglib.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

namespace graphics {

namespace {

// Largest side of a bitmap we agree to make or decode, in pixels.
constexpr int kMaxPixels = 16384;
// Largest area of a PNG we agree to decode (a PNG is decoded whole, four bytes a pixel): a
// small file of one colour can claim a huge area.
constexpr uint64_t kMaxDecodedPNGArea = 4096ull * 4096ull;

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

// The linear part of an orientation's transform: x' = a x + b y, y' = c x + d y.
struct Turn {
    int a, b, c, d;
    Turn operator*(const Turn& o) const {
        return {a * o.a + b * o.c, a * o.b + b * o.d, c * o.a + d * o.c, c * o.b + d * o.d};
    }
    bool operator==(const Turn&) const = default;
};

constexpr ImageOrientation kOrientations[] = {
    ImageOrientation::Up,         ImageOrientation::Down,         ImageOrientation::Left,
    ImageOrientation::Right,      ImageOrientation::UpMirrored,   ImageOrientation::DownMirrored,
    ImageOrientation::LeftMirrored, ImageOrientation::RightMirrored};

Turn turnOf(ImageOrientation o) {
    cairo_matrix_t m = orientationMatrix(o, 1, 1);
    return {int(m.xx), int(m.xy), int(m.yx), int(m.yy)};
}

ImageOrientation orientationOf(const Turn& t) {
    for (ImageOrientation o : kOrientations)
        if (turnOf(o) == t) return o;
    return ImageOrientation::Up;  // unreachable: quarter turns and mirrors form a closed set
}

cairo_surface_t* newSurface(int width, int height) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    return s;
}

// The pixels of `s` placed as `turn` displays them, in a new surface: whole pixels move, none
// is resampled. Null when memory runs out.
cairo_surface_t* turnedCopy(cairo_surface_t* s, ImageOrientation turn) {
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    const bool swap = swapsSides(turn);
    const int ow = swap ? h : w, oh = swap ? w : h;
    cairo_surface_t* out = newSurface(ow, oh);
    if (!out) return nullptr;
    cairo_surface_flush(s);
    cairo_surface_flush(out);
    // Walk the new pixels and read each from where the turn brings it: the inverse transform
    // moves by whole pixels, so one step across or down is a fixed step in the source.
    cairo_matrix_t inverse = orientationMatrix(turn, w, h);
    cairo_matrix_invert(&inverse);
    const long sourceStride = cairo_image_surface_get_stride(s) / 4;
    const long stepAcross = long(inverse.xx) + long(inverse.yx) * sourceStride;
    const long stepDown = long(inverse.xy) + long(inverse.yy) * sourceStride;
    const long x0 = long(std::floor(inverse.x0 + 0.5 * inverse.xx + 0.5 * inverse.xy));
    const long y0 = long(std::floor(inverse.y0 + 0.5 * inverse.yx + 0.5 * inverse.yy));
    const auto* source = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s));
    auto* target = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(out));
    const long targetStride = cairo_image_surface_get_stride(out) / 4;
    const long start = y0 * sourceStride + x0;
    // In square tiles, so that the rows read across a turned picture stay in the cache.
    constexpr int kTile = 32;
    for (int ty = 0; ty < oh; ty += kTile) {
        const int yEnd = std::min(oh, ty + kTile);
        for (int tx = 0; tx < ow; tx += kTile) {
            const int xEnd = std::min(ow, tx + kTile);
            for (int y = ty; y < yEnd; ++y) {
                long from = start + y * stepDown + tx * stepAcross;
                uint32_t* to = target + y * targetStride;
                for (int x = tx; x < xEnd; ++x, from += stepAcross) to[x] = source[from];
            }
        }
    }
    cairo_surface_mark_dirty(out);
    return out;
}

// One axis of a reduction by area: new pixel i is the sum of the old pixels from first[i] on,
// weighted by weights[offset[i]] up to weights[offset[i + 1]] (exclusive). A new pixel's weights
// add up to kAreaUnit times the share of it that the picture covers.
struct AreaTaps {
    std::vector<int> first, offset;
    std::vector<uint32_t> weights;
};
constexpr int kAreaBits = 14;
constexpr uint32_t kAreaUnit = 1u << kAreaBits;

// The taps of `n` new pixels over which `m` old pixels are stretched from `origin` for
// `length` new pixels (length <= m: each new pixel covers at least one old pixel).
AreaTaps areaTaps(int n, int m, double origin, double length) {
    AreaTaps t;
    t.first.assign(n, 0);
    t.offset.assign(n + 1, 0);
    const double oldPerNew = m / length;
    for (int i = 0; i < n; ++i) {
        t.offset[i] = static_cast<int>(t.weights.size());
        const double lo = std::max(double(i), origin), hi = std::min(double(i + 1), origin + length);
        if (!(hi > lo)) continue;
        // The old pixels' span [a, b) under the covered part of new pixel i.
        const double a = (lo - origin) * oldPerNew, b = (hi - origin) * oldPerNew;
        const int j0 = std::clamp(static_cast<int>(std::floor(a)), 0, m - 1);
        const int j1 = std::clamp(static_cast<int>(std::ceil(b)) - 1, j0, m - 1);
        const double units = (hi - lo) * kAreaUnit;
        // Rounded as running sums, so that the weights add up exactly.
        double covered = 0;
        uint32_t given = 0;
        t.first[i] = j0;
        for (int j = j0; j <= j1; ++j) {
            covered += std::max(0.0, std::min(b, j + 1.0) - std::max(a, double(j)));
            const auto upTo = static_cast<uint32_t>(std::lround(covered / (b - a) * units));
            t.weights.push_back(upTo - given);
            given = upTo;
        }
    }
    t.offset[n] = static_cast<int>(t.weights.size());
    return t;
}

// sum[c] = row[c] * w (or += when adding) for n channels, w below 2^15. With SSE2, sixteen
// channels at a time: each byte widened to 32 bits beside a zero, so that one multiply-add of
// 16-bit pairs gives its product.
template <bool kAdding>
void weighRow(uint32_t* __restrict sum, const unsigned char* __restrict row, uint32_t w, size_t n) {
    size_t c = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i weight = _mm_set1_epi32(static_cast<int>(w));  // (w, 0) in each pair of 16 bits
    for (; c + 16 <= n; c += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + c));
        const __m128i low = _mm_unpacklo_epi8(bytes, zero), high = _mm_unpackhi_epi8(bytes, zero);
        __m128i p0 = _mm_madd_epi16(_mm_unpacklo_epi16(low, zero), weight);
        __m128i p1 = _mm_madd_epi16(_mm_unpackhi_epi16(low, zero), weight);
        __m128i p2 = _mm_madd_epi16(_mm_unpacklo_epi16(high, zero), weight);
        __m128i p3 = _mm_madd_epi16(_mm_unpackhi_epi16(high, zero), weight);
        auto* to = reinterpret_cast<__m128i*>(sum + c);
        if constexpr (kAdding) {
            p0 = _mm_add_epi32(_mm_loadu_si128(to), p0);
            p1 = _mm_add_epi32(_mm_loadu_si128(to + 1), p1);
            p2 = _mm_add_epi32(_mm_loadu_si128(to + 2), p2);
            p3 = _mm_add_epi32(_mm_loadu_si128(to + 3), p3);
        }
        _mm_storeu_si128(to, p0);
        _mm_storeu_si128(to + 1, p1);
        _mm_storeu_si128(to + 2, p2);
        _mm_storeu_si128(to + 3, p3);
    }
#endif
    for (; c < n; ++c) sum[c] = (kAdding ? sum[c] : 0) + row[c] * w;
}

// One new pixel (B, G, R, A) from `taps` old pixels' four channel sums, each weighted and the
// total brought back by 2 * kAreaBits with rounding (64-bit arithmetic: the sums reach 2^22
// and the weights 2^14).
uint32_t weighedPixel(const uint32_t* __restrict from, const uint32_t* __restrict weight, int taps) {
    constexpr int kShift = 2 * kAreaBits;
#if defined(__SSE2__)
    // B and R in the even 32-bit lanes, G and A in the odd ones, each multiplied into 64 bits.
    __m128i evens = _mm_setzero_si128(), odds = _mm_setzero_si128();
    for (int t = 0; t < taps; ++t, from += 4) {
        const __m128i sums = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i w = _mm_set1_epi32(static_cast<int>(weight[t]));
        evens = _mm_add_epi64(evens, _mm_mul_epu32(sums, w));
        odds = _mm_add_epi64(odds, _mm_mul_epu32(_mm_srli_epi64(sums, 32), w));
    }
    const __m128i half = _mm_set1_epi64x(int64_t{1} << (kShift - 1));
    evens = _mm_srli_epi64(_mm_add_epi64(evens, half), kShift);
    odds = _mm_srli_epi64(_mm_add_epi64(odds, half), kShift);
    // Each channel is at most 255 now: B, G, R, A in 32-bit lanes, then packed to bytes.
    const __m128i channels = _mm_or_si128(evens, _mm_slli_epi64(odds, 32));
    const __m128i words = _mm_packs_epi32(channels, channels);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
#else
    uint64_t b = 0, g = 0, r = 0, a = 0;
    for (int t = 0; t < taps; ++t, from += 4) {
        const uint64_t w = weight[t];
        b += from[0] * w;
        g += from[1] * w;
        r += from[2] * w;
        a += from[3] * w;
    }
    auto channel = [](uint64_t total) {
        return static_cast<uint32_t>((total + (uint64_t{1} << (kShift - 1))) >> kShift);
    };
    return channel(b) | (channel(g) << 8) | (channel(r) << 16) | (channel(a) << 24);
#endif
}

// A reduction by area: an old picture of sw x sh pixels stretched over `rect` of a new
// transparent ow x oh surface (the rect at most as large as the picture on each axis), each new
// pixel the average of the area of the picture it covers (premultiplied channels, so that
// transparency averages correctly). The old rows are given top to bottom, one at a time, so a
// decoder can hand them over as it makes them.
class AreaReduction {
public:
    AreaReduction(int sw, int sh, int ow, int oh, Rect rect)
        : across_(areaTaps(ow, sw, rect.x(), rect.width())), down_(areaTaps(oh, sh, rect.y(), rect.height())),
          height_(oh), out_(newSurface(ow, oh)) {
        firstColumn_ = sw;
        for (int x = 0; x < ow; ++x) {
            const int taps = across_.offset[x + 1] - across_.offset[x];
            if (taps == 0) continue;
            firstColumn_ = std::min(firstColumn_, across_.first[x]);
            endColumn_ = std::max(endColumn_, across_.first[x] + taps);
        }
        if (endColumn_ <= firstColumn_) endColumn_ = firstColumn_;
        const size_t channels = static_cast<size_t>(endColumn_ - firstColumn_) * 4;
        for (auto& sums : sums_) sums.assign(channels, 0);
        skipUncovered();
        if (out_) cairo_surface_flush(out_);
    }
    ~AreaReduction() {
        if (out_) cairo_surface_destroy(out_);
    }
    AreaReduction(const AreaReduction&) = delete;
    AreaReduction& operator=(const AreaReduction&) = delete;

    // Whether the new surface could be made.
    bool ok() const { return out_ != nullptr; }
    // The first old row still needed (-1 once every new row is written). Rows are handed over
    // top to bottom.
    int nextNeeded() const { return next_ < height_ ? down_.first[next_] : -1; }
    // The old columns some new pixel reads: [firstColumn, endColumn).
    int firstColumn() const { return firstColumn_; }
    int endColumn() const { return endColumn_; }
    // Old row j: pixels B G R A (premultiplied) from old column `rowStart` on, covering at least
    // the columns read.
    void add(int j, const unsigned char* row, int rowStart = 0) {
        if (!out_ || sums_[0].empty()) return;
        row += static_cast<size_t>(firstColumn_ - rowStart) * 4;
        // An old row serves at most two new rows: the one it ends and the one it starts.
        const int from = next_;
        for (int y = from; y < height_ && y <= from + 1; ++y) {
            const int first = down_.first[y], taps = down_.offset[y + 1] - down_.offset[y];
            if (taps == 0 || j < first || j >= first + taps) continue;
            const uint32_t weight = down_.weights[down_.offset[y] + (j - first)];
            if (j > first) weighRow<true>(sums_[y & 1].data(), row, weight, sums_[y & 1].size());
            else weighRow<false>(sums_[y & 1].data(), row, weight, sums_[y & 1].size());
            if (j == first + taps - 1) {
                writeRow(y);
                next_ = y + 1;
                skipUncovered();
            }
        }
    }
    // The new surface (rows the old ones never reached stay transparent); null when it could
    // not be made.
    cairo_surface_t* finish() {
        cairo_surface_t* out = out_;
        out_ = nullptr;
        if (out) cairo_surface_mark_dirty(out);
        return out;
    }

private:
    void skipUncovered() {
        while (next_ < height_ && down_.offset[next_ + 1] == down_.offset[next_]) ++next_;
    }
    void writeRow(int y) {
        const uint32_t* sums = sums_[y & 1].data();
        auto* to = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(out_) +
                                               static_cast<size_t>(y) * cairo_image_surface_get_stride(out_));
        const int ow = static_cast<int>(across_.first.size());
        for (int x = 0; x < ow; ++x) {
            const int taps = across_.offset[x + 1] - across_.offset[x];
            const uint32_t* from = sums + static_cast<size_t>(across_.first[x] - firstColumn_) * 4;
            to[x] = weighedPixel(from, across_.weights.data() + across_.offset[x], taps);
        }
    }

    AreaTaps across_, down_;
    int height_;
    cairo_surface_t* out_;
    int firstColumn_ = 0, endColumn_ = 0;  // the old columns some new pixel reads
    std::vector<uint32_t> sums_[2];        // per new row (even, odd): the old rows summed down
    int next_ = 0;                         // the first new row not yet written
};

// `s` reduced by area over `rect` of a new ow x oh surface. Null when memory runs out.
cairo_surface_t* areaReduced(cairo_surface_t* s, int ow, int oh, Rect rect) {
    const int sw = cairo_image_surface_get_width(s), sh = cairo_image_surface_get_height(s);
    AreaReduction reduction(sw, sh, ow, oh, rect);
    if (!reduction.ok()) return nullptr;
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const size_t stride = static_cast<size_t>(cairo_image_surface_get_stride(s));
    for (int j = std::max(0, reduction.nextNeeded()); data && j < sh && reduction.nextNeeded() >= 0; ++j)
        reduction.add(j, data + j * stride);
    return reduction.finish();
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

struct JpegHeader {
    int width = 0, height = 0;
};

// The size of a JPEG the decoder can turn into our pixels; none when its header does not read
// or it is too large or of a colour space without an RGB conversion.
std::optional<JpegHeader> readJpegHeader(const std::string& bytes) {
    tjhandle tj = tjInitDecompress();
    if (!tj) return std::nullopt;
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    std::optional<JpegHeader> header;
    if (tjDecompressHeader3(tj, src, bytes.size(), &width, &height, &subsampling, &colorspace) == 0 && width > 0 &&
        height > 0 && width <= kMaxPixels && height <= kMaxPixels && colorspace != TJCS_CMYK &&
        colorspace != TJCS_YCCK)
        header = JpegHeader{width, height};
    tjDestroy(tj);
    return header;
}

// The JPEG decoded into a new surface of `width` x `height` (its size, or one of the codec's
// scaled sizes). A warning (a truncated file) still gives usable pixels; an error keeps what
// was decoded, leaves the rest transparent and sets `broken`. Null only when memory runs out.
cairo_surface_t* decodeJpeg(const std::string& bytes, int width, int height, std::atomic<bool>& broken) {
    cairo_surface_t* s = newSurface(width, height);
    if (!s) return nullptr;
    cairo_surface_flush(s);
    tjhandle tj = tjInitDecompress();
    std::string fault = "the decoder could not start";
    if (tj) {
        // Little-endian ARGB32 is B, G, R, A in memory; JPEG is opaque.
        int rc = tjDecompress2(tj, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                               cairo_image_surface_get_data(s), width, cairo_image_surface_get_stride(s), height,
                               TJPF_BGRA, TJFLAG_ACCURATEDCT);
        if (rc == 0 || tjGetErrorCode(tj) == TJERR_WARNING) fault.clear();
        else fault = tjGetErrorStr2(tj);
        tjDestroy(tj);
    }
    if (!fault.empty()) {
        broken = true;
        foundation::log("image: the JPEG data is corrupt (" + fault + "); the rest of the picture is left empty");
    }
    cairo_surface_mark_dirty(s);
    return s;
}

// Errors of the row-by-row decoder end the decoding through a jump back; warnings (a truncated
// file) are let pass, as the whole-picture decoder does.
struct RowDecoderErrors {
    jpeg_error_mgr manager;
    jmp_buf back;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void rowDecoderFailed(j_common_ptr info) {
    auto* errors = reinterpret_cast<RowDecoderErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->back, 1);
}

void rowDecoderWarned(j_common_ptr, int) {}

// The JPEG decoded at 1/denominator of its size (as the whole-picture decoder decodes it) and
// handed to `reduction` a few rows at a time, so that the decoded picture is never held whole.
// On corrupt data the rows decoded so far stay, `broken` is set and the fault logged.
void decodeJpegInto(const std::string& bytes, int denominator, AreaReduction& reduction, std::atomic<bool>& broken) {
    jpeg_decompress_struct info;
    RowDecoderErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = rowDecoderFailed;
    errors.manager.emit_message = rowDecoderWarned;
    errors.message[0] = 0;
    jpeg_create_decompress(&info);
    // Nothing owned here between the mark and the jump back: the rows are the decoder's memory,
    // released with it.
    if (setjmp(errors.back) == 0) {
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        jpeg_read_header(&info, TRUE);
        info.scale_num = 1;
        info.scale_denom = static_cast<unsigned>(denominator);
        info.out_color_space = JCS_EXT_BGRA;
        info.dct_method = JDCT_ISLOW;
        jpeg_start_decompress(&info);
        // Only the columns the reduction reads are decoded (from the block boundary before
        // them), and rows above the first it needs are skipped.
        JDIMENSION start = 0, width = info.output_width;
        if (reduction.endColumn() > reduction.firstColumn() &&
            static_cast<JDIMENSION>(reduction.endColumn() - reduction.firstColumn()) < info.output_width) {
            start = static_cast<JDIMENSION>(reduction.firstColumn());
            width = static_cast<JDIMENSION>(reduction.endColumn() - reduction.firstColumn());
            jpeg_crop_scanline(&info, &start, &width);
        }
        // The rows start a pixel past the allocator's alignment: on aligned rows the codec's
        // vector code stores past the cache (right for a whole picture, slow for rows read at once).
        const auto count = static_cast<JDIMENSION>(std::max(1, info.rec_outbuf_height) * 4);
        JSAMPARRAY allocated = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                         info.output_width * 4 + 4, count);
        auto rows = static_cast<JSAMPARRAY>(
            (*info.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, count * sizeof(JSAMPROW)));
        for (JDIMENSION i = 0; i < count; ++i) rows[i] = allocated[i] + 4;
        if (reduction.nextNeeded() > 0)
            jpeg_skip_scanlines(&info, static_cast<JDIMENSION>(reduction.nextNeeded()));
        while (info.output_scanline < info.output_height && reduction.nextNeeded() >= 0) {
            const int top = static_cast<int>(info.output_scanline);
            const int made = static_cast<int>(jpeg_read_scanlines(&info, rows, count));
            for (int i = 0; i < made; ++i) reduction.add(top + i, rows[i], static_cast<int>(start));
        }
        if (info.output_scanline < info.output_height) jpeg_abort_decompress(&info);
        else jpeg_finish_decompress(&info);
    } else {
        broken = true;
        foundation::log(std::string("image: the JPEG data is corrupt (") + errors.message +
                        "); the rest of the picture is left empty");
    }
    jpeg_destroy_decompress(&info);
}

// The smallest of the codec's halving scales (1/2, 1/4, 1/8: its fastest reduced transforms)
// whose result keeps `neededAcross` and `neededDown` pixels for each pixel of a w x h JPEG on
// those axes (none: only the full size will do).
std::optional<tjscalingfactor> halvingScale(int w, int h, double neededAcross, double neededDown) {
    std::optional<tjscalingfactor> best;
    for (int denominator : {2, 4, 8}) {
        const tjscalingfactor f{1, denominator};
        if (TJSCALED(w, f) < w * neededAcross - 1e-6 || TJSCALED(h, f) < h * neededDown - 1e-6) break;
        best = f;
    }
    return best;
}

// The smallest of the codec's reduced scales whose result still has `needed` pixels for each
// pixel of a w x h JPEG (none: only the full size will do).
std::optional<tjscalingfactor> reducedScale(int w, int h, double needed) {
    if (!std::isfinite(needed) || needed <= 0) return std::nullopt;
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    std::optional<tjscalingfactor> best;
    for (int i = 0; factors && i < count; ++i) {
        const tjscalingfactor f = factors[i];
        if (f.num >= f.denom) continue;
        if (TJSCALED(w, f) < w * needed - 1e-6 || TJSCALED(h, f) < h * needed - 1e-6) continue;
        if (!best || f.num * best->denom < best->num * f.denom) best = f;
    }
    return best;
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

// ---- Sources ---------------------------------------------------------------------------------

// Where the pixels of a JPEG image or a turned view come from: the compressed bytes, decoded
// at full size once when the pixels are read, or a surface that already holds them.
struct Image::Source {
    std::string jpeg;  // empty when `full` was given
    int width = 0, height = 0;
    std::atomic<bool> broken{false};

    static std::shared_ptr<Source> ofSurface(cairo_surface_t* surface) {
        auto source = std::make_shared<Source>();
        source->width = cairo_image_surface_get_width(surface);
        source->height = cairo_image_surface_get_height(surface);
        source->full_ = cairo_surface_reference(surface);
        source->ready_ = true;
        return source;
    }
    ~Source() {
        if (full_) cairo_surface_destroy(full_);
        if (reduced_) cairo_surface_destroy(reduced_);
    }
    bool hasFull() const { return ready_; }
    // The pixels at full size, made on first use (never null).
    cairo_surface_t* full() {
        std::call_once(once_, [this] {
            if (!full_) full_ = decodeJpeg(jpeg, width, height, broken);
            if (!full_) full_ = emptySurface();
            ready_ = true;
            std::lock_guard<std::mutex> lock(reducedMutex_);  // drawings use the full size from now on
            if (reduced_) cairo_surface_destroy(reduced_);
            reduced_ = nullptr;
        });
        return full_;
    }
    // The JPEG decoded at a reduced scale with `needed` pixels for each of its pixels, as a new
    // reference; null when only the full size will do (or memory runs out). The last reduced
    // decoding is kept, so drawing the picture again at that size or smaller decodes nothing.
    cairo_surface_t* reducedFor(double needed) {
        if (hasFull() || jpeg.empty()) return nullptr;
        std::optional<tjscalingfactor> scale = reducedScale(width, height, needed);
        if (!scale) return nullptr;
        return reducedAt(*scale);
    }
    // The kept reduced decoding when it is at least as large as scale `f` would make it (a new
    // reference), else null.
    cairo_surface_t* keptReduced(tjscalingfactor f) {
        std::lock_guard<std::mutex> lock(reducedMutex_);
        const bool covers = reduced_ && reducedScale_.num * f.denom >= f.num * reducedScale_.denom;
        return covers ? cairo_surface_reference(reduced_) : nullptr;
    }
    // The JPEG decoded at scale `f` (or the kept reduced decoding, when it is at least that
    // large) as a new reference; null when memory runs out.
    cairo_surface_t* reducedAt(tjscalingfactor f) {
        std::lock_guard<std::mutex> lock(reducedMutex_);
        const bool covers = reduced_ && reducedScale_.num * f.denom >= f.num * reducedScale_.denom;
        if (!covers) {
            cairo_surface_t* made = decodeJpeg(jpeg, TJSCALED(width, f), TJSCALED(height, f), broken);
            if (!made) return nullptr;
            if (reduced_) cairo_surface_destroy(reduced_);
            reduced_ = made;
            reducedScale_ = f;
        }
        return cairo_surface_reference(reduced_);
    }
    static cairo_surface_t* emptySurface() { return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 0, 0); }

private:
    std::once_flag once_;
    cairo_surface_t* full_ = nullptr;
    std::atomic<bool> ready_{false};
    std::mutex reducedMutex_;
    cairo_surface_t* reduced_ = nullptr;
    tjscalingfactor reducedScale_{1, 1};
};

// ---- Making images ------------------------------------------------------------------------

Image::Image(cairo_surface_t* surface, double scale, ImageOrientation orientation)
    : surface_(surface), scale_(validScale(scale) ? scale : 1), orientation_(orientation) {}

Image::Image(std::shared_ptr<Source> source, ImageOrientation turn, double scale, ImageOrientation orientation)
    : source_(std::move(source)), turn_(turn), scale_(validScale(scale) ? scale : 1), orientation_(orientation) {}

Image::~Image() {
    if (surface_) cairo_surface_destroy(surface_);
}

cairo_surface_t* Image::surface() const {
    if (!source_) return surface_;
    std::call_once(made_, [this] { surface_ = madeSurface(); });
    return surface_;
}

cairo_surface_t* Image::madeSurface() const {
    cairo_surface_t* full = source_->full();
    if (turn_ == ImageOrientation::Up) return cairo_surface_reference(full);
    cairo_surface_t* s = turnedCopy(full, turn_);
    return s ? s : Source::emptySurface();
}

bool Image::isBroken() const { return source_ && source_->broken; }

namespace {
// A JPEG image on its bytes (copied, or taken over when moved in): only the header is read
// here, the pixels are decoded when, and at the size, needed. Null when the header does not read.
template <typename Bytes>
Image::Ptr jpegImage(Bytes&& bytes, double scale) {
    auto header = readJpegHeader(bytes);
    if (!header) return nullptr;
    const ImageOrientation orientation = fromExif(exifOrientation(bytes));
    auto source = std::make_shared<Image::Source>();
    source->jpeg = std::forward<Bytes>(bytes);
    source->width = header->width;
    source->height = header->height;
    return std::make_shared<const Image>(std::move(source), ImageOrientation::Up, scale, orientation);
}
}  // namespace

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
        if (be32(16) > kMaxPixels || be32(20) > kMaxPixels || uint64_t(be32(16)) * be32(20) > kMaxDecodedPNGArea) {
            foundation::log("image: refused a PNG of " + std::to_string(be32(16)) + " x " + std::to_string(be32(20)) +
                            " pixels, more than it may decode");
            return nullptr;
        }
        cairo_surface_t* s = decodePng(bytes);
        if (!s) return nullptr;
        if (cairo_image_surface_get_width(s) > kMaxPixels || cairo_image_surface_get_height(s) > kMaxPixels) {
            cairo_surface_destroy(s);
            return nullptr;
        }
        return fromSurface(s, scale);
    }
    if (p[0] == 0xFF && p[1] == 0xD8) return jpegImage(bytes, scale);
    return nullptr;
}

Image::Ptr Image::fromData(std::string&& bytes, double scale) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() >= 4 && p[0] == 0xFF && p[1] == 0xD8) return jpegImage(std::move(bytes), scale);
    return fromData(std::as_const(bytes), scale);
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
        auto named = loaded->source_ ? std::make_shared<Image>(loaded->source_, loaded->turn_, loaded->scale_,
                                                               loaded->orientation_)
                                     : std::make_shared<Image>(cairo_surface_reference(loaded->surface_),
                                                               loaded->scale_, loaded->orientation_);
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

std::shared_ptr<Image> Image::copy(ImageOrientation orientation, double scale) const {
    auto image = source_ ? std::make_shared<Image>(source_, turn_, scale, orientation)
                         : std::make_shared<Image>(cairo_surface_reference(surface_), scale, orientation);
    image->name_ = name_;
    image->capInsets_ = capInsets_;
    return image;
}

Image::Ptr Image::withOrientation(ImageOrientation orientation) const { return copy(orientation, scale_); }

Image::Ptr Image::withScale(double scale) const { return copy(orientation_, scale); }

Image::Ptr Image::resizableImage(EdgeInsets capInsets) const {
    auto finite = [](double v) { return std::isfinite(v) ? std::max(0.0, v) : 0.0; };
    auto image = copy(orientation_, scale_);
    image->capInsets_ = {finite(capInsets.top), finite(capInsets.left), finite(capInsets.bottom),
                         finite(capInsets.right)};
    return image;
}

Image::Ptr Image::uprightTurned(int quarterTurns) const {
    int q = ((quarterTurns % 4) + 4) % 4;
    Turn turn = turnOf(turn_);
    turn = turnOf(orientation_) * turn;
    for (int i = 0; i < q; ++i) turn = turnOf(ImageOrientation::Right) * turn;  // one quarter clockwise
    const ImageOrientation placed = orientationOf(turn);
    if (!source_ && placed == ImageOrientation::Up)
        return std::make_shared<const Image>(cairo_surface_reference(surface_), 1, ImageOrientation::Up);
    return std::make_shared<const Image>(source_ ? source_ : Source::ofSurface(surface_), placed, 1,
                                         ImageOrientation::Up);
}

// ---- Reading images -----------------------------------------------------------------------

int Image::pixelWidth() const {
    if (!source_) return cairo_image_surface_get_width(surface_);
    return swapsSides(turn_) ? source_->height : source_->width;
}
int Image::pixelHeight() const {
    if (!source_) return cairo_image_surface_get_height(surface_);
    return swapsSides(turn_) ? source_->width : source_->height;
}

Size Image::size() const {
    double w = pixelWidth() / scale_, h = pixelHeight() / scale_;
    return swapsSides(orientation_) ? Size{h, w} : Size{w, h};
}

namespace {
bool anyTransparent(cairo_surface_t* s) {
    const unsigned char* data = cairo_image_surface_get_data(s);
    if (!data) return false;
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < w; ++x)
            if ((row[x] >> 24) != 0xFF) return true;
    }
    return false;
}

// Device pixels per unit of the context's user space (the larger of the two axes).
double deviceScale(cairo_t* cr) {
    double xx = 1, xy = 0, yx = 0, yy = 1;
    cairo_user_to_device_distance(cr, &xx, &xy);
    cairo_user_to_device_distance(cr, &yx, &yy);
    return std::max(std::hypot(xx, xy), std::hypot(yx, yy));
}
}  // namespace

bool Image::hasAlpha() const { return anyTransparent(surface()); }

Color Image::pixel(int x, int y) const {
    cairo_surface_t* s = surface();
    if (x < 0 || y < 0 || x >= cairo_image_surface_get_width(s) || y >= cairo_image_surface_get_height(s))
        return Color::clear();
    const unsigned char* data = cairo_image_surface_get_data(s);
    if (!data) return Color::clear();
    uint32_t v = reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(s))[x];
    double a = (v >> 24) & 0xFF;
    if (a == 0) return Color::clear();
    auto channel = [&](int shift) { return std::min(1.0, ((v >> shift) & 0xFF) / a); };
    return {channel(16), channel(8), channel(0), a / 255.0};
}

void Image::drawInRect(cairo_t* cr, Rect rect, double alpha, int filter) const {
    if (!cr || rect.isEmpty() || pixelWidth() == 0 || pixelHeight() == 0) return;
    if (isResizable() && orientation_ == ImageOrientation::Up && !(rect.size == size())) {
        drawStretched(cr, rect, alpha);
        return;
    }
    const double w = pixelWidth(), h = pixelHeight();
    const double dw = swapsSides(orientation_) ? h : w;
    const double dh = swapsSides(orientation_) ? w : h;
    cairo_save(cr);
    cairo_rectangle(cr, rect.x(), rect.y(), rect.width(), rect.height());
    cairo_clip(cr);
    cairo_translate(cr, rect.x(), rect.y());
    cairo_scale(cr, rect.width() / dw, rect.height() / dh);
    cairo_surface_t* pixels = surface_;
    cairo_surface_t* reduced = nullptr;
    if (source_) {
        // Quarter turns keep lengths: the density needed per displayed pixel is the one needed
        // per pixel of the source.
        reduced = source_->reducedFor(deviceScale(cr));
        const ImageOrientation placed = orientationOf(turnOf(orientation_) * turnOf(turn_));
        if (reduced && placed != ImageOrientation::Up) {
            // Turned after reducing, by moving whole pixels, so that the one resampling runs
            // along the axes (the fast way).
            cairo_surface_t* upright = turnedCopy(reduced, placed);
            cairo_surface_destroy(reduced);
            reduced = upright;
        }
    }
    if (reduced) {
        cairo_scale(cr, dw / cairo_image_surface_get_width(reduced), dh / cairo_image_surface_get_height(reduced));
        pixels = reduced;
    } else {
        cairo_matrix_t m = orientationMatrix(orientation_, w, h);
        cairo_transform(cr, &m);
        if (source_) {
            // From the stored pixels of this view to the source's.
            cairo_matrix_t t = orientationMatrix(turn_, source_->width, source_->height);
            cairo_transform(cr, &t);
            pixels = source_->full();
        }
    }
    cairo_set_source_surface(cr, pixels, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    if (filter >= 0) cairo_pattern_set_filter(cairo_get_source(cr), static_cast<cairo_filter_t>(filter));
    cairo_paint_with_alpha(cr, std::clamp(alpha, 0.0, 1.0));
    cairo_restore(cr);
    if (reduced) cairo_surface_destroy(reduced);
}

// Nine pieces: the corners drawn one pixel for one pixel (at the picture's own scale), the edges
// stretched along their side, the middle both ways. Each piece is sampled from its own part of
// the pixels only, so a stretched middle never blends in the colour of a cap beside it.
void Image::drawStretched(cairo_t* cr, Rect rect, double alpha) const {
    cairo_surface_t* pixels = surface();
    const double w = pixelWidth(), h = pixelHeight();
    auto px = [&](double points, double room) { return std::min(std::round(points * scale_), room); };
    const double l = px(capInsets_.left, w), r = px(capInsets_.right, w - l);
    const double t = px(capInsets_.top, h), b = px(capInsets_.bottom, h - t);
    const double sx[4] = {0, l, w - r, w}, sy[4] = {0, t, h - b, h};
    // The caps in points, shrunk in proportion when the rectangle cannot hold both.
    const double kx = l + r > 0 ? std::min(1.0, rect.width() * scale_ / (l + r)) : 1;
    const double ky = t + b > 0 ? std::min(1.0, rect.height() * scale_ / (t + b)) : 1;
    // Where two pieces meet lies on a whole device pixel, so that no pixel is shared by two
    // half-covering pieces (it would show as a lighter seam).
    auto onPixel = [cr](double x, double y, bool horizontal) {
        cairo_user_to_device(cr, &x, &y);
        (horizontal ? x : y) = std::round(horizontal ? x : y);
        cairo_device_to_user(cr, &x, &y);
        return horizontal ? x : y;
    };
    const double dx[4] = {rect.minX(), onPixel(rect.minX() + l / scale_ * kx, rect.minY(), true),
                          onPixel(rect.maxX() - r / scale_ * kx, rect.minY(), true), rect.maxX()};
    const double dy[4] = {rect.minY(), onPixel(rect.minX(), rect.minY() + t / scale_ * ky, false),
                          onPixel(rect.minX(), rect.maxY() - b / scale_ * ky, false), rect.maxY()};
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) {
            const double dw = dx[i + 1] - dx[i], dh = dy[j + 1] - dy[j];
            if (dw <= 0 || dh <= 0) continue;
            // A piece of no pixels (the caps meet) stretches the one column or row after the first cap.
            double x = sx[i], pw = sx[i + 1] - sx[i], y = sy[j], ph = sy[j + 1] - sy[j];
            if (pw <= 0) x = std::min(sx[i], w - 1), pw = 1;
            if (ph <= 0) y = std::min(sy[j], h - 1), ph = 1;
            cairo_surface_t* piece = cairo_surface_create_for_rectangle(pixels, x, y, pw, ph);
            cairo_save(cr);
            cairo_rectangle(cr, dx[i], dy[j], dw, dh);
            cairo_clip(cr);
            cairo_translate(cr, dx[i], dy[j]);
            cairo_scale(cr, dw / pw, dh / ph);
            cairo_set_source_surface(cr, piece, 0, 0);
            cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
            cairo_paint_with_alpha(cr, std::clamp(alpha, 0.0, 1.0));
            cairo_restore(cr);
            cairo_surface_destroy(piece);
        }
    }
}

Image::Ptr Image::drawnInRect(Size size, Rect rect) const {
    const double w = std::isfinite(size.width) ? std::max(0.0, size.width) : 0;
    const double h = std::isfinite(size.height) ? std::max(0.0, size.height) : 0;
    auto drawn = [&] { return draw(size, 1, false, [&](cairo_t* cr) { drawInRect(cr, rect); }); };
    if (w > kMaxPixels || h > kMaxPixels) return nullptr;
    const int ow = static_cast<int>(std::ceil(w - 1e-9)), oh = static_cast<int>(std::ceil(h - 1e-9));
    // The source's pixels before any turn, and how they are placed upright.
    const int sw = source_ ? source_->width : cairo_image_surface_get_width(surface_);
    const int sh = source_ ? source_->height : cairo_image_surface_get_height(surface_);
    const ImageOrientation placed = orientationOf(turnOf(orientation_) * turnOf(turn_));
    // The new bitmap as it is before being turned upright, and where the picture lies in it.
    const bool swap = swapsSides(placed);
    const int tw = swap ? oh : ow, th = swap ? ow : oh;
    cairo_matrix_t toStored = orientationMatrix(placed, tw, th);
    cairo_matrix_invert(&toStored);
    double x0 = rect.x(), y0 = rect.y(), x1 = rect.x() + rect.width(), y1 = rect.y() + rect.height();
    cairo_matrix_transform_point(&toStored, &x0, &y0);
    cairo_matrix_transform_point(&toStored, &x1, &y1);
    const Rect stored(std::min(x0, x1), std::min(y0, y1), std::fabs(x1 - x0), std::fabs(y1 - y0));
    const bool reduces = ow > 0 && oh > 0 && sw > 0 && sh > 0 && !rect.isEmpty() && std::isfinite(stored.width()) &&
                         std::isfinite(stored.height()) && stored.width() <= sw && stored.height() <= sh;
    if (!reduces) return drawn();

    cairo_surface_t* reduced = nullptr;
    if (!source_) {
        reduced = areaReduced(surface_, tw, th, stored);
    } else {
        cairo_surface_t* pixels = nullptr;
        if (!source_->hasFull() && !source_->jpeg.empty()) {
            const auto scale = halvingScale(sw, sh, 2 * stored.width() / sw, 2 * stored.height() / sh);
            if (scale) pixels = source_->keptReduced(*scale);
            if (!pixels) {
                // Decoded row by row into the reduction: the picture is never held whole.
                const tjscalingfactor f = scale.value_or(tjscalingfactor{1, 1});
                AreaReduction reduction(TJSCALED(sw, f), TJSCALED(sh, f), tw, th, stored);
                if (!reduction.ok()) return nullptr;
                decodeJpegInto(source_->jpeg, f.denom, reduction, source_->broken);
                reduced = reduction.finish();
            }
        } else {
            pixels = cairo_surface_reference(source_->full());
        }
        if (pixels) {
            reduced = areaReduced(pixels, tw, th, stored);
            cairo_surface_destroy(pixels);
        }
    }
    if (reduced && placed != ImageOrientation::Up) {
        cairo_surface_t* upright = turnedCopy(reduced, placed);
        cairo_surface_destroy(reduced);
        reduced = upright;
    }
    return fromSurface(reduced, 1);
}

namespace {
// The pixels turned upright: the surface itself (referenced) when already upright.
cairo_surface_t* uprightSurface(const Image& image) {
    return cairo_surface_reference(image.uprightTurned(0)->surface());
}

std::string encodeJpeg(const unsigned char* bgrx, int w, int pitch, int h, int quality) {
    std::string out;
    tjhandle tj = tjInitCompress();
    if (!tj) return out;
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    if (tjCompress2(tj, bgrx, w, pitch, h, TJPF_BGRX, &jpeg, &size, TJSAMP_420, quality, TJFLAG_ACCURATEDCT) == 0)
        out.assign(reinterpret_cast<const char*>(jpeg), size);
    tjFree(jpeg);
    tjDestroy(tj);
    return out;
}
}  // namespace

std::string Image::jpegData(double quality) const {
    double q = std::isfinite(quality) ? std::clamp(quality, 0.0, 1.0) : 1.0;
    const int jpegQuality = std::clamp(static_cast<int>(std::lround(q * 100)), 1, 100);
    if (jpegQuality == 100) {
        std::lock_guard<std::mutex> lock(jpegMutex_);
        if (bestJpeg_) return *bestJpeg_;
    }
    cairo_surface_t* s = uprightSurface(*this);
    if (!s) return {};
    int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    std::string out;
    if (w > 0 && h > 0) {
        const int stride = cairo_image_surface_get_stride(s);
        const unsigned char* data = cairo_image_surface_get_data(s);
        if (!anyTransparent(s)) {
            // Opaque: the pixels are B, G, R, X in memory already.
            out = encodeJpeg(data, w, stride, h, jpegQuality);
        } else {
            // Premultiplied pixels over white: each channel plus the white the alpha lets through.
            std::vector<unsigned char> bgrx(static_cast<size_t>(w) * h * 4);
            for (int y = 0; y < h; ++y) {
                const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
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
            out = encodeJpeg(bgrx.data(), w, w * 4, h, jpegQuality);
        }
    }
    cairo_surface_destroy(s);
    if (jpegQuality == 100 && !out.empty()) {
        std::lock_guard<std::mutex> lock(jpegMutex_);
        bestJpeg_ = out;
    }
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
