// Shots through the whole evidence camera: the shutter pressed on the screen, the stand-in camera
// delivering a camera-size JPEG, the shot turned upright, reduced and compressed, the album copy
// written, the escaped Base64 handed back on its queue and the next step shown a second later
// (on a manual clock, so only the work is timed). Beside it, per shot, the least that work can
// be: the same JPEG file read, the minimal pipeline on the codec (bench/MinimalShot.h), the album
// copy kept as the stand-in photo library keeps it (a file in the library and a file in the
// album, each written whole) and the text handed to a receiver. Both report the time and the peak
// heap of one shot above what was live before it (the C allocator is counted on every thread);
// the summary prints their ratio against the targets.
#include <cairo.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <optional>
#include <random>

#include "BenchSupport.h"
#include "MinimalShot.h"
#include "capture/camera/PhotoCapViewController.h"
#include "core/CustomNavigationController.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/media/CameraSimulation.h"
#include "platform/media/DeviceOrientation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace {

namespace fs = std::filesystem;

// A folder holding one photo-like JPEG of the given size for the stand-in camera.
fs::path sceneFolder(int w, int h) {
    fs::path folder = fs::temp_directory_path() / ("veskard-bench-scene-" + std::to_string(w));
    fs::create_directories(folder);
    fs::path file = folder / "shot.jpg";
    if (fs::exists(file)) return folder;
    std::mt19937 random(7);
    auto image = graphics::Image::draw({double(w), double(h)}, 1, true, [&](cairo_t* cr) {
        cairo_surface_t* target = cairo_get_target(cr);
        cairo_surface_flush(target);
        unsigned char* data = cairo_image_surface_get_data(target);
        int stride = cairo_image_surface_get_stride(target);
        for (int y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
            for (int x = 0; x < w; ++x) {
                int grain = static_cast<int>(random() % 24) - 12;
                auto c = [&](double v) { return static_cast<uint32_t>(std::clamp(static_cast<int>(v) + grain, 0, 255)); };
                row[x] = 0xFF000000u | (c(128 + 100 * std::sin(x / 200.0)) << 16) |
                         (c(128 + 100 * std::cos(y / 170.0)) << 8) | c(128 + 80 * std::sin((x + y) / 300.0));
            }
        }
        cairo_surface_mark_dirty(target);
    });
    foundation::files::writeAtomically(file, image->jpegData(0.9));
    return folder;
}

// state.range(0), range(1): the camera's picture size; range(2): 1 = held landscape left.
void BM_CameraShot(benchmark::State& state) {
    foundation::setLogEnabled(false);
    auto& loop = foundation::RunLoop::main();
    loop.reset();
    loop.adoptCurrentThread();
    loop.setClock(std::make_shared<foundation::ManualClock>());
    fs::path sandbox = foundation::Sandbox::makeTemporary("veskard-bench");
    foundation::setBundleRoot(VESKARD_RESOURCE_DIR);

    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    auto sim = media::cameraSimulation();
    sim.sceneSize = {double(w), double(h)};
    media::setCameraSimulation(sim);
    media::CameraScene::shared().setFolder(sceneFolder(w, h));
    media::Device::current().setOrientation(state.range(2) ? media::DeviceOrientation::LandscapeLeft
                                                           : media::DeviceOrientation::Portrait);

    // A long step list, so that every press is a normal step.
    nlohmann::json steps = nlohmann::json::array();
    for (int i = 0; i < 100000; ++i) steps.push_back({{"title", "t"}, {"image", "行驶证"}, {"detail", "d"}});
    auto camera = std::make_shared<PhotoCapViewController>(steps, true);
    auto handed = std::make_shared<std::atomic<size_t>>(0);
    auto bytes = std::make_shared<std::atomic<size_t>>(0);
    camera->setSavePhotoBlock([handed, bytes](const std::string& shot) {
        bytes->store(shot.size());
        ++*handed;
    });
    auto navigation = std::make_shared<CustomNavigationController>(camera);
    auto window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
    window->setRootViewController(navigation);
    window->makeKeyAndVisible();
    loop.drain();

    size_t shots = 0;
    benchsupport::PeakHeap heap;
    for (auto _ : state) {
        heap.begin();
        camera->takePictureBtnPressed(nullptr);
        foundation::dispatch::waitIdle(60);
        loop.drain();
        loop.runFor(1.0);
        heap.end();
        ++shots;
    }
    foundation::dispatch::waitIdle(60);
    loop.drain();
    if (*handed != shots) state.SkipWithError("a shot was not handed back");
    state.counters["shots_per_s"] = benchmark::Counter(static_cast<double>(shots), benchmark::Counter::kIsRate);
    state.counters["text_KB"] = *bytes / 1024.0;
    if (benchsupport::PeakHeap::counts) state.counters["peak_MiB"] = heap.mebibytes();

    window.reset();
    navigation.reset();
    camera.reset();
    ui::resetForTests();
    media::CameraScene::shared().reset();
    media::resetCameraSimulation();
    loop.reset();
    std::error_code ec;
    fs::remove_all(sandbox, ec);
}
BENCHMARK(BM_CameraShot)
    ->Args({1280, 960, 0})
    ->Args({1280, 960, 1})
    ->Args({4032, 3024, 0})
    ->Args({4032, 3024, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Repetitions(3);

// The same shots with nothing but the work they need; same arguments.
void BM_MinimalShot(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const bool landscape = state.range(2) != 0;
    const fs::path shot = sceneFolder(w, h) / "shot.jpg";
    const fs::path library = fs::temp_directory_path() / ("veskard-bench-library-" + std::to_string(::getpid()));
    const fs::path album = library / "Brenvik";
    fs::create_directories(album);
    std::string handed;
    auto receiver = [&handed](std::string text) { handed = std::move(text); };
    size_t shots = 0;
    benchsupport::PeakHeap heap;
    for (auto _ : state) {
        heap.begin();
        std::optional<std::string> jpeg = foundation::files::read(shot);
        if (!jpeg) {
            state.SkipWithError("the scene does not read");
            break;
        }
        // Held landscape left the shot turns a quarter anticlockwise into 640 x 480.
        minimalshot::Delivered d = landscape ? minimalshot::minimal(*jpeg, -1, 640, 480, 200)
                                             : minimalshot::minimal(*jpeg, 0, 480, 640, 200);
        const std::string name = "IMG_" + std::to_string(shots) + ".JPG";
        foundation::files::writeAtomically(library / name, d.fullQuality);
        foundation::files::writeAtomically(album / name, d.fullQuality);
        receiver(std::move(d.text));
        heap.end();
        ++shots;
    }
    state.counters["shots_per_s"] = benchmark::Counter(static_cast<double>(shots), benchmark::Counter::kIsRate);
    state.counters["text_KB"] = handed.size() / 1024.0;
    if (benchsupport::PeakHeap::counts) state.counters["peak_MiB"] = heap.mebibytes();
    std::error_code ec;
    fs::remove_all(library, ec);
}
BENCHMARK(BM_MinimalShot)
    ->Args({1280, 960, 0})
    ->Args({1280, 960, 1})
    ->Args({4032, 3024, 0})
    ->Args({4032, 3024, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Repetitions(3);

void printSummary(const benchsupport::KeepingReporter& results) {
    std::printf("\nPer shot through the whole camera, fastest of 3 runs (real time; CPU time of every thread;\n"
                "peak heap of one shot above what was live):\n");
    std::printf("%-26s %28s %28s %8s %8s\n", "case", "camera", "minimal", "real", "CPU");
    bool fast = true, small = true;
    for (const char* args : {"1280/960/0", "1280/960/1", "4032/3024/0", "4032/3024/1"}) {
        auto camera = results.find(std::string("BM_CameraShot/") + args);
        auto minimal = results.find(std::string("BM_MinimalShot/") + args);
        if (!camera || !minimal) continue;  // filtered out of this run
        const double ratio = camera->time / minimal->time, cpuRatio = camera->cpu / minimal->cpu;
        std::string label = args;
        label = label.substr(0, label.rfind('/')) + (label.back() == '1' ? " held landscape" : " held upright");
        std::printf("%-26s %6.1f ms %6.1f ms %5.1f MiB %6.1f ms %6.1f ms %5.1f MiB %7.2fx %7.2fx\n", label.c_str(),
                    camera->time, camera->cpu, camera->counter("peak_MiB"), minimal->time, minimal->cpu,
                    minimal->counter("peak_MiB"), ratio, cpuRatio);
        fast = fast && std::min(ratio, cpuRatio) <= 1.3;
        small = small && (!benchsupport::PeakHeap::counts || camera->counter("peak_MiB") <= 32);
    }
    std::printf("Target, camera at most 1.3 x minimal per shot (real or, on a busy machine, CPU): %s\n",
                benchsupport::verdict(fast));
    if (benchsupport::PeakHeap::counts)
        std::printf("Target, at most 32 MiB per shot:                                               %s\n",
                    benchsupport::verdict(small));
}

}  // namespace

int main(int argc, char** argv) { return benchsupport::runWithSummary(argc, argv, printSummary); }
