// The remote-image disk cache with 10, 1 000 and 10 000 files kept: the time to store one more
// downloaded image (written whole, then the least recently used file removed to stay under the
// limit) until the disk queue is idle again, and the time of the first store of a new cache,
// which is the one that reads the folder.
#include <chrono>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "imaging/ImageCache.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Sandbox.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uintmax_t kFileBytes = 4096;

void BM_StoreOneImage(benchmark::State& state) {
    const int kept = static_cast<int>(state.range(0));
    auto root = foundation::Sandbox::makeTemporary("veskard-image-cache-bench");
    auto dir = root / "ImageCache";
    std::filesystem::create_directories(dir);
    const std::string bytes(kFileBytes, 'x');
    for (int i = 0; i < kept; ++i) foundation::files::writeAtomically(dir / ("old" + std::to_string(i)), bytes);

    // Full: every further store removes one file.
    auto cache = std::make_shared<ImageCache>(dir, ImageCache::kDefaultMemoryLimit, kept * kFileBytes);
    auto firstStart = Clock::now();
    cache->storeImage(nullptr, bytes, "http://127.0.0.1/first.png");
    foundation::dispatch::waitIdle();
    double firstMs = std::chrono::duration<double, std::milli>(Clock::now() - firstStart).count();

    int n = 0;
    for (auto _ : state) {
        cache->storeImage(nullptr, bytes, "http://127.0.0.1/image" + std::to_string(n++) + ".png");
        foundation::dispatch::waitIdle();
    }
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++files;
    if (files != static_cast<std::size_t>(kept)) state.SkipWithError("the cache did not stay at its limit");
    state.counters["first_store_ms"] = firstMs;
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
}

}  // namespace

// The disk work runs on the cache's queue: the CPU column counts every thread of the process.
BENCHMARK(BM_StoreOneImage)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200)
    ->MeasureProcessCPUTime();

BENCHMARK_MAIN();
