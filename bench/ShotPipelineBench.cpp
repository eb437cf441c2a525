// The evidence shot pipeline on a 4032 x 3024 camera JPEG, three ways, in one run:
//  - project: the image helpers as the camera calls them (the shot's bytes moved into the image,
//    upright at its own size, turned for the device orientation, aspect-fill crop to 480 x 640 or
//    640 x 480, JPEG towards 200 KB with at most one re-encode, escaped Base64, and the album copy
//    at full quality);
//  - minimal: the same deliverables written here directly on the codec: decoded at the smallest
//    of the codec's scales that covers the crop, one resampling, turned after reducing, one JPEG
//    at full quality (plus the one re-encode the size rule asks for), escaped Base64;
//  - full size: the pipeline as it was, kept here as the reference for the delivered pixels:
//    decoded at full size, copied at full size, turned at full size, then reduced.
// The re-take's reduction (640 x 480, towards 30 KB) is measured the same three ways.
// Each reports the time per shot and the peak heap of one shot above what was live before it
// (the C allocator is counted); the summary prints the ratios, the targets and the PSNR of the
// delivered JPEGs against the full-size path's. The camera hands the captured bytes on without
// copying them, so the project's pipelines are given a copy of their own made outside the time
// measured; the others read the shot where it is.
#include <cairo.h>
#include <turbojpeg.h>

#include <cmath>
#include <random>
#include <vector>

#include "BenchSupport.h"
#include "MinimalShot.h"
#include "core/Base64Codec.h"
#include "core/ImageCommon.h"
#include "core/ImageResize.h"
#include "platform/graphics/Image.h"

namespace {

using graphics::Image;
using minimalshot::Delivered;
using minimalshot::encodeBGRX;
using minimalshot::jpegQuality;
using minimalshot::minimal;

constexpr double kShotLimitKB = 200;
constexpr double kRetakeLimitKB = 30;

// A photo-like shot: smooth colour fields with some grain, so the JPEG is of a camera's size.
const std::string& cameraShot() {
    static const std::string jpeg = [] {
        const int w = 4032, h = 3024;
        std::mt19937 random(42);
        auto image = Image::draw({double(w), double(h)}, 1, true, [&](cairo_t* cr) {
            cairo_surface_t* target = cairo_get_target(cr);
            cairo_surface_flush(target);
            unsigned char* data = cairo_image_surface_get_data(target);
            int stride = cairo_image_surface_get_stride(target);
            for (int y = 0; y < h; ++y) {
                auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
                for (int x = 0; x < w; ++x) {
                    int grain = static_cast<int>(random() % 24) - 12;
                    auto channel = [&](double v) {
                        return static_cast<uint32_t>(std::clamp(static_cast<int>(v) + grain, 0, 255));
                    };
                    uint32_t r = channel(128 + 100 * std::sin(x / 300.0));
                    uint32_t g = channel(128 + 100 * std::cos(y / 250.0));
                    uint32_t b = channel(128 + 80 * std::sin((x + y) / 500.0));
                    row[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
                }
            }
            cairo_surface_mark_dirty(target);
        });
        return image->jpegData(0.9);
    }();
    return jpeg;
}

// ---- The full-size path as it was ----------------------------------------------------------

namespace fullsize {

cairo_surface_t* canvas(int w, int h) { return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h); }
int width(cairo_surface_t* s) { return cairo_image_surface_get_width(s); }
int height(cairo_surface_t* s) { return cairo_image_surface_get_height(s); }

cairo_surface_t* decode(const std::string& jpeg) {
    tjhandle tj = tjInitDecompress();
    int w = 0, h = 0, sub = 0, cs = 0;
    auto* src = reinterpret_cast<const unsigned char*>(jpeg.data());
    tjDecompressHeader3(tj, src, jpeg.size(), &w, &h, &sub, &cs);
    cairo_surface_t* s = canvas(w, h);
    cairo_surface_flush(s);
    tjDecompress2(tj, src, jpeg.size(), cairo_image_surface_get_data(s), w, cairo_image_surface_get_stride(s), h,
                  TJPF_BGRA, TJFLAG_ACCURATEDCT);
    cairo_surface_mark_dirty(s);
    tjDestroy(tj);
    return s;
}

// Draws `s` into the rectangle (x, y, rw, rh) of `cr`, stretched, edges padded.
void drawInRect(cairo_t* cr, cairo_surface_t* s, double x, double y, double rw, double rh) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, rw, rh);
    cairo_clip(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rw / width(s), rh / height(s));
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_restore(cr);
}

// The upright redraw at the image's own size with the high-quality filter (a full-size copy).
cairo_surface_t* redrawnAtOwnSize(cairo_surface_t* s) {
    const int w = width(s), h = height(s);
    cairo_surface_t* out = canvas(w, h);
    cairo_t* cr = cairo_create(out);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BEST);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    cairo_destroy(cr);
    return out;
}

// Turned by a multiple of 90 degrees about the centre onto its bounding box (at full size).
cairo_surface_t* rotated(cairo_surface_t* s, double degrees) {
    const int quarter = ((static_cast<int>(std::lround(degrees / 90)) % 4) + 4) % 4;
    static const double sines[] = {0, 1, 0, -1}, cosines[] = {1, 0, -1, 0};
    const double sn = sines[quarter], cs = cosines[quarter];
    const double w = width(s), h = height(s);
    const double bw = std::fabs(w * cs) + std::fabs(h * sn), bh = std::fabs(w * sn) + std::fabs(h * cs);
    cairo_surface_t* out = canvas(int(bw), int(bh));
    cairo_t* cr = cairo_create(out);
    cairo_matrix_t m;
    cairo_matrix_init(&m, cs, sn, -sn, cs, bw / 2, bh / 2);
    cairo_transform(cr, &m);
    drawInRect(cr, s, -w / 2, -h / 2, w, h);
    cairo_destroy(cr);
    return out;
}

// Aspect fill into exactly tw x th, centred crop.
cairo_surface_t* aspectFill(cairo_surface_t* s, int tw, int th) {
    const double w = width(s), h = height(s);
    const double wf = tw / w, hf = th / h, f = std::max(wf, hf);
    double x = 0, y = 0;
    if (wf > hf) y = (th - h * f) / 2;
    else if (wf < hf) x = (tw - w * f) / 2;
    cairo_surface_t* out = canvas(tw, th);
    cairo_t* cr = cairo_create(out);
    drawInRect(cr, s, x, y, w * f, h * f);
    cairo_destroy(cr);
    return out;
}

// JPEG of premultiplied pixels put on white.
std::string jpeg(cairo_surface_t* s, double quality) {
    cairo_surface_flush(s);
    const int w = width(s), h = height(s), stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
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
    return encodeBGRX(bgrx.data(), w, w * 4, h, jpegQuality(quality));
}

Delivered compressAndKeep(cairo_surface_t* small, double limitKB) {
    Delivered d;
    d.handedJpeg = jpeg(small, 1.0);
    d.fullQuality = d.handedJpeg;
    if (d.handedJpeg.size() / 1024 > limitKB) {
        std::string again = jpeg(small, limitKB * 1024.0 / double(d.handedJpeg.size()));
        if (!again.empty()) d.handedJpeg = std::move(again);
    }
    d.text = Base64Codec::stringByEncodingData(d.handedJpeg);
    return d;
}

Delivered shot(const std::string& bytes, double degrees, int tw, int th) {
    cairo_surface_t* decoded = decode(bytes);
    cairo_surface_t* upright = redrawnAtOwnSize(decoded);
    cairo_surface_t* turned = rotated(upright, degrees);
    cairo_surface_t* small = aspectFill(turned, tw, th);
    Delivered d = compressAndKeep(small, kShotLimitKB);
    d.fullQuality = jpeg(small, 1.0);  // the album's own encoding
    for (cairo_surface_t* s : {small, turned, upright, decoded}) cairo_surface_destroy(s);
    return d;
}

Delivered retake(const std::string& bytes) {
    cairo_surface_t* decoded = decode(bytes);
    cairo_surface_t* small = aspectFill(decoded, 640, 480);
    Delivered d = compressAndKeep(small, kRetakeLimitKB);
    cairo_surface_destroy(small);
    cairo_surface_destroy(decoded);
    return d;
}

}  // namespace fullsize

// ---- The project's helpers, called as the camera and the re-take call them ----------------

Delivered project(std::string bytes, double degrees, graphics::Size target) {
    auto shot = Image::fromData(std::move(bytes));
    auto upright = ImageResize::resizedImageWithContentMode(shot, ImageResize::kContentModeScaleAspectFill,
                                                            shot->size(), ImageResize::kInterpolationHigh);
    auto turned = ImageResize::rotatedByDegrees(upright, degrees);
    auto small = ImageCommon::imageCompressForSize(turned, target);
    Delivered d;
    d.handedJpeg = ImageResize::compressedJPEG(small, kShotLimitKB);
    d.text = Base64Codec::stringByEncodingData(d.handedJpeg);  // what compressionWithSize returns
    d.fullQuality = small->jpegData(1.0);                       // what the album copy encodes
    return d;
}

Delivered projectRetake(std::string bytes) {
    auto picked = Image::fromData(std::move(bytes));
    auto small = ImageCommon::imageCompressForSize(picked, {640, 480});
    Delivered d;
    d.handedJpeg = ImageResize::compressedJPEG(small, kRetakeLimitKB);
    d.text = Base64Codec::stringByEncodingData(d.handedJpeg);
    d.fullQuality = small->jpegData(1.0);  // kept with the image by the compression: no encoding
    return d;
}

// ---- Measuring ---------------------------------------------------------------------------

graphics::Size targetFor(double degrees) { return degrees == 0 ? graphics::Size{480, 640} : graphics::Size{640, 480}; }
int quarterTurnsFor(double degrees) { return ((static_cast<int>(std::lround(degrees / 90)) % 4) + 4) % 4; }

// PSNR in dB of two JPEGs of the same size (RGB, all channels); 0 when they do not compare.
double psnr(const std::string& a, const std::string& b) {
    auto pixels = [](const std::string& jpeg, int& w, int& h) {
        std::vector<unsigned char> rgb;
        tjhandle tj = tjInitDecompress();
        int sub = 0, cs = 0;
        auto* src = reinterpret_cast<const unsigned char*>(jpeg.data());
        if (tjDecompressHeader3(tj, src, jpeg.size(), &w, &h, &sub, &cs) == 0) {
            rgb.resize(size_t(w) * h * 3);
            if (tjDecompress2(tj, src, jpeg.size(), rgb.data(), w, w * 3, h, TJPF_RGB, TJFLAG_ACCURATEDCT) != 0)
                rgb.clear();
        }
        tjDestroy(tj);
        return rgb;
    };
    int aw = 0, ah = 0, bw = 0, bh = 0;
    auto pa = pixels(a, aw, ah), pb = pixels(b, bw, bh);
    if (pa.empty() || aw != bw || ah != bh) return 0;
    double sum = 0;
    for (size_t i = 0; i < pa.size(); ++i) sum += (double(pa[i]) - pb[i]) * (double(pa[i]) - pb[i]);
    const double mse = sum / double(pa.size());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// `ownBytes`: the pipeline takes over a copy of the shot's bytes, made before its time starts.
template <typename Pipeline>
void measure(benchmark::State& state, Pipeline pipeline, bool ownBytes = false) {
    const std::string& jpeg = cameraShot();
    benchsupport::PeakHeap heap;
    Delivered last;
    for (auto _ : state) {
        std::string own;
        if (ownBytes) {
            state.PauseTiming();
            own = jpeg;
            state.ResumeTiming();
        }
        heap.begin();
        last = ownBytes ? pipeline(std::move(own)) : pipeline(jpeg);
        heap.end();
        benchmark::DoNotOptimize(last.text);
        last = {};  // nothing of one shot outlives it
    }
    last = pipeline(jpeg);
    state.counters["shot_jpeg_KB"] = double(jpeg.size()) / 1024;
    state.counters["jpeg_KB"] = double(last.handedJpeg.size()) / 1024;
    state.counters["text_KB"] = double(last.text.size()) / 1024;
    if (benchsupport::PeakHeap::counts) state.counters["peak_MiB"] = heap.mebibytes();
}

void BM_ProjectShot(benchmark::State& state) {
    const double degrees = double(state.range(0));
    measure(state, [&](std::string jpeg) { return project(std::move(jpeg), degrees, targetFor(degrees)); }, true);
}
void BM_MinimalShot(benchmark::State& state) {
    const double degrees = double(state.range(0));
    const auto target = targetFor(degrees);
    measure(state, [&](const std::string& jpeg) {
        return minimal(jpeg, quarterTurnsFor(degrees), int(target.width), int(target.height), kShotLimitKB);
    });
}
void BM_FullSizeShot(benchmark::State& state) {
    const double degrees = double(state.range(0));
    const auto target = targetFor(degrees);
    measure(state, [&](const std::string& jpeg) {
        return fullsize::shot(jpeg, degrees, int(target.width), int(target.height));
    });
}
void BM_ProjectRetake(benchmark::State& state) { measure(state, projectRetake, true); }
void BM_MinimalRetake(benchmark::State& state) {
    measure(state, [](const std::string& jpeg) { return minimal(jpeg, 0, 640, 480, kRetakeLimitKB); });
}
void BM_FullSizeRetake(benchmark::State& state) { measure(state, fullsize::retake); }

// state.range(0): degrees of the turn (0 held upright: 480 x 640; -90 landscape left: 640 x 480).
BENCHMARK(BM_FullSizeShot)->Arg(0)->Arg(-90)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Repetitions(3);
BENCHMARK(BM_ProjectShot)->Arg(0)->Arg(-90)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Repetitions(3);
BENCHMARK(BM_MinimalShot)->Arg(0)->Arg(-90)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Repetitions(3);
BENCHMARK(BM_FullSizeRetake)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Repetitions(3);
BENCHMARK(BM_ProjectRetake)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Repetitions(3);
BENCHMARK(BM_MinimalRetake)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Repetitions(3);

// The quality the size rule sends a JPEG at, in percent (100: no second encoding).
int sentQuality(const Delivered& d, double limitKB) {
    const size_t first = d.fullQuality.size();
    return first / 1024 > limitKB ? jpegQuality(limitKB * 1024.0 / double(first)) : 100;
}

void printSummary(const benchsupport::KeepingReporter& results) {
    struct Case {
        const char* label;
        const char* key;
        double degrees;
        bool retake;
    };
    const Case cases[] = {{"shot, held upright (0)", "Shot/0", 0, false},
                          {"shot, turned (-90)", "Shot/-90", -90, false},
                          {"re-take (640x480, 30 KB)", "Retake/", 0, true}};
    std::printf("\nPer shot of a %.0f KB 4032 x 3024 JPEG (fastest of 3 runs, real time; peak heap of one shot above what was live):\n",
                double(cameraShot().size()) / 1024);
    std::printf("%-26s %19s %19s %19s %8s %8s %10s %10s %9s\n", "case", "full size (before)", "project", "minimal",
                "real", "CPU", "PSNR sent", "PSNR q100", "quality");
    bool fast = true, small = true, faithful = true, faithfulAtFullQuality = true;
    for (const Case& c : cases) {
        auto full = results.find(std::string("BM_FullSize") + c.key), proj = results.find(std::string("BM_Project") + c.key),
             mini = results.find(std::string("BM_Minimal") + c.key);
        if (!full || !proj || !mini) continue;  // filtered out of this run
        const std::string& jpeg = cameraShot();
        const auto target = targetFor(c.degrees);
        const double limit = c.retake ? kRetakeLimitKB : kShotLimitKB;
        Delivered before = c.retake ? fullsize::retake(jpeg)
                                    : fullsize::shot(jpeg, c.degrees, int(target.width), int(target.height));
        Delivered now = c.retake ? projectRetake(jpeg) : project(jpeg, c.degrees, target);
        // The delivered JPEGs, and the reduced pictures at full quality (a shot's album copies).
        const double sent = psnr(now.handedJpeg, before.handedJpeg);
        const double q100 = psnr(now.fullQuality, before.fullQuality);
        const double ratio = proj->time / mini->time, cpuRatio = proj->cpu / mini->cpu;
        std::printf("%-26s %8.1f ms %5.1f MiB %8.1f ms %5.1f MiB %8.1f ms %5.1f MiB %7.2fx %7.2fx %7.1f dB %7.1f dB %4d/%-4d\n",
                    c.label, full->time, full->counter("peak_MiB"), proj->time, proj->counter("peak_MiB"), mini->time,
                    mini->counter("peak_MiB"), ratio, cpuRatio, sent, q100, sentQuality(before, limit),
                    sentQuality(now, limit));
        fast = fast && cpuRatio <= 1.1;
        small = small && (!benchsupport::PeakHeap::counts || proj->counter("peak_MiB") <= 32);
        faithful = faithful && sent >= 47;
        faithfulAtFullQuality = faithfulAtFullQuality && q100 >= 47;
    }
    std::printf("(quality: the JPEG quality sent, before/project; 100 = no second encoding)\n");
    std::printf("(real, CPU: project / minimal in real time and in CPU time)\n");
    std::printf("Target, project at most 1.1 x minimal in CPU time:  %s\n", benchsupport::verdict(fast));
    if (benchsupport::PeakHeap::counts)
        std::printf("Target, at most 32 MiB per shot:                    %s\n", benchsupport::verdict(small));
    std::printf("Target, PSNR of the sent JPEG at least 47 dB:       %s\n", benchsupport::verdict(faithful));
    std::printf("        PSNR at full quality at least 47 dB:        %s\n", benchsupport::verdict(faithfulAtFullQuality));
}

}  // namespace

int main(int argc, char** argv) {
    cameraShot();  // made before anything is measured
    return benchsupport::runWithSummary(argc, argv, printSummary);
}
