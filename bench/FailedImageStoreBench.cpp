// The failed-upload store with 10, 100 and 1 000 photos waiting, each of a real size (about
// 300 KB of escaped Base64): the time to add one record (written and flushed to the disk) and
// to remove one (unlinked and flushed), the time a new start needs to open the store, and the
// process's peak memory (the photos stay on the disk; only the index is in memory).
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <random>

#include <benchmark/benchmark.h>

#include "core/FailedImageStore.h"
#include "platform/foundation/Sandbox.h"

namespace {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

// A record as the camera makes it: a ~225 KB JPEG in Base64 with "+", "/" and "=" escaped.
json photoRecord(int n, std::mt19937& random) {
    static const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string photo;
    photo.reserve(310 * 1024);
    while (photo.size() < 300 * 1024) {
        unsigned r = random();
        if (r % 32 == 0)
            photo += (r & 64) ? "%2B" : "%2F";
        else
            photo += alphabet[r % 62];
    }
    photo += "%3D";
    return {{"userid", "10001"},        {"sn", "6f1ed002ab5595859014ebf0951522d9"}, {"appkey", "1039485726"},
            {"accidentno", "BJ202612070001"}, {"imagename", "2026127959" + std::to_string(n) + ".jpg"},
            {"contentdata", photo},     {"imagetype", "1"}, {"imagelon", "116.397500"}, {"imagelat", "39.908700"},
            {"imagedate", "2026-12-7 9:5:9"}, {"size", "30"}, {"flowtype", "0"}};
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_AddAndRemoveOneRecord(benchmark::State& state) {
    const int waiting = static_cast<int>(state.range(0));
    auto root = foundation::Sandbox::makeTemporary("veskard-store-bench");
    FailedImageStore::resetForTesting();
    std::mt19937 random(7);
    for (int i = 0; i < waiting; ++i) FailedImageStore::add(photoRecord(i, random));

    // A new start: the index is read from the directory, no photo is read.
    FailedImageStore::resetForTesting();
    auto openStart = Clock::now();
    size_t count = FailedImageStore::count();
    double openMs = std::chrono::duration<double, std::milli>(Clock::now() - openStart).count();
    if (count != static_cast<size_t>(waiting)) state.SkipWithError("the store lost records");

    double addMs = 0, removeMs = 0;
    int n = waiting;
    for (auto _ : state) {
        state.PauseTiming();
        json record = photoRecord(n++, random);
        state.ResumeTiming();
        auto start = Clock::now();
        auto id = FailedImageStore::add(record);
        auto added = Clock::now();
        FailedImageStore::remove(*id);
        auto removed = Clock::now();
        addMs += std::chrono::duration<double, std::milli>(added - start).count();
        removeMs += std::chrono::duration<double, std::milli>(removed - added).count();
    }
    double iterations = static_cast<double>(state.iterations());
    state.counters["add_ms"] = addMs / iterations;
    state.counters["remove_ms"] = removeMs / iterations;
    state.counters["open_ms"] = openMs;
    state.counters["peak_MB"] = peakKilobytes() / 1024.0;
    FailedImageStore::resetForTesting();
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
}

}  // namespace

BENCHMARK(BM_AddAndRemoveOneRecord)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(50);

BENCHMARK_MAIN();
