// The camera's shot pipeline on a 4032 x 3024 JPEG: decode, redraw upright at its own size,
// turn for the device orientation, aspect-fill crop to 640 x 480 (or 480 x 640), JPEG under
// 200 KB, escaped Base64 text. Reports the time per shot and the process's peak memory.
#include <sys/resource.h>

#include <cairo.h>

#include <cmath>
#include <random>

#include <benchmark/benchmark.h>

#include "core/ImageCommon.h"
#include "core/ImageResize.h"
#include "platform/graphics/Image.h"

namespace {

using graphics::Image;

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

double peakMemoryMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

// state.range(0): degrees of the turn (0 portrait: 480 x 640; -90 landscape left: 640 x 480).
void BM_ShotPipeline(benchmark::State& state) {
    const std::string& jpeg = cameraShot();
    const double degrees = static_cast<double>(state.range(0));
    const graphics::Size target = degrees == 0 ? graphics::Size{480, 640} : graphics::Size{640, 480};
    size_t textBytes = 0;
    for (auto _ : state) {
        auto shot = Image::fromData(jpeg);
        auto upright = ImageResize::resizedImageWithContentMode(shot, ImageResize::kContentModeScaleAspectFill,
                                                                shot->size(), ImageResize::kInterpolationHigh);
        auto turned = ImageResize::rotatedByDegrees(upright, degrees);
        auto small = ImageCommon::imageCompressForSize(turned, target);
        std::string text = ImageResize::compressionWithSize(small, 200);
        textBytes = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.counters["shot_jpeg_KB"] = jpeg.size() / 1024.0;
    state.counters["text_KB"] = textBytes / 1024.0;
    state.counters["peak_MB"] = peakMemoryMB();
}
BENCHMARK(BM_ShotPipeline)->Arg(0)->Arg(-90)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
