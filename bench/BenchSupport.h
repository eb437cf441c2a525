// What the photo benchmarks share: a heap counter that wraps the C allocator (so it sees cairo's,
// pixman's and libjpeg's buffers as well as C++ allocations, on every thread) and a reporter that
// keeps each benchmark's result for the summary printed after the run.
//
// Include this header in exactly one source file of a benchmark program: it defines the
// allocator's entry points. A sanitizer build keeps its own allocator and counts nothing.
#pragma once

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include <benchmark/benchmark.h>

#if defined(__SANITIZE_ADDRESS__)
#define PHOTO_BENCH_COUNTS_HEAP 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PHOTO_BENCH_COUNTS_HEAP 0
#endif
#endif
#ifndef PHOTO_BENCH_COUNTS_HEAP
#define PHOTO_BENCH_COUNTS_HEAP 1
#endif

namespace benchsupport {

inline std::atomic<long long> heapLive{0};
inline std::atomic<long long> heapPeak{0};

inline void counted(void* p) {
    if (!p) return;
    long long now = heapLive += static_cast<long long>(malloc_usable_size(p));
    long long peak = heapPeak.load(std::memory_order_relaxed);
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
}
inline void uncounted(void* p) {
    if (p) heapLive -= static_cast<long long>(malloc_usable_size(p));
}

// The highest heap use above the level at its start, over every scope measured with it.
class PeakHeap {
public:
    void begin() {
        base_ = heapLive.load();
        heapPeak = base_;
    }
    void end() { peak_ = std::max(peak_, heapPeak.load() - base_); }
    double mebibytes() const { return double(peak_) / (1024.0 * 1024.0); }
    static constexpr bool counts = PHOTO_BENCH_COUNTS_HEAP;

private:
    long long base_ = 0;
    long long peak_ = 0;
};

constexpr double kMiB = 1024.0 * 1024.0;

// One benchmark's outcome: real and CPU time per iteration (in the benchmark's unit; the CPU
// time of the whole process, every thread, where the benchmark measures it so) and its counters.
struct Outcome {
    double time = 0;
    double cpu = 0;
    std::map<std::string, double> counters;
    double counter(const std::string& name) const {
        auto it = counters.find(name);
        return it == counters.end() ? 0 : it->second;
    }
};

// Prints as the console reporter does and keeps every result under "function/args": of
// repeated runs the fastest real and CPU times (the least disturbed by other work on the
// machine), with the highest peak heap of them all.
class KeepingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            Outcome outcome;
            outcome.time = run.GetAdjustedRealTime();
            outcome.cpu = run.GetAdjustedCPUTime();
            for (const auto& [name, counter] : run.counters) outcome.counters[name] = counter.value;
            const std::string key = run.run_name.function_name + "/" + run.run_name.args;
            auto kept = results_.find(key);
            if (kept != results_.end()) {
                const double peak = std::max(kept->second.counter("peak_MiB"), outcome.counter("peak_MiB"));
                const double cpu = std::min(kept->second.cpu, outcome.cpu);
                if (kept->second.time < outcome.time) outcome = kept->second;
                outcome.cpu = cpu;
                if (outcome.counters.count("peak_MiB")) outcome.counters["peak_MiB"] = peak;
            }
            results_[key] = outcome;
        }
    }
    std::optional<Outcome> find(const std::string& key) const {
        auto it = results_.find(key);
        if (it == results_.end()) return std::nullopt;
        return it->second;
    }

private:
    std::map<std::string, Outcome> results_;
};

inline const char* verdict(bool met) { return met ? "met" : "NOT MET"; }

// The main of a benchmark program with a summary: runs the benchmarks named on the command
// line, keeping their results, then prints the summary made from them.
inline int runWithSummary(int argc, char** argv, const std::function<void(const KeepingReporter&)>& summary) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    KeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    summary(reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace benchsupport

#if PHOTO_BENCH_COUNTS_HEAP
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
void* __libc_memalign(size_t, size_t);

void* malloc(size_t n) {
    void* p = __libc_malloc(n);
    benchsupport::counted(p);
    return p;
}
void* calloc(size_t count, size_t size) {
    void* p = __libc_calloc(count, size);
    benchsupport::counted(p);
    return p;
}
void* realloc(void* old, size_t n) {
    const long long before = old ? static_cast<long long>(malloc_usable_size(old)) : 0;
    void* p = __libc_realloc(old, n);
    if (p || n == 0) benchsupport::heapLive -= before;
    benchsupport::counted(p);
    return p;
}
void free(void* p) {
    benchsupport::uncounted(p);
    __libc_free(p);
}
void* memalign(size_t alignment, size_t n) {
    void* p = __libc_memalign(alignment, n);
    benchsupport::counted(p);
    return p;
}
void* aligned_alloc(size_t alignment, size_t n) { return memalign(alignment, n); }
int posix_memalign(void** out, size_t alignment, size_t n) {
    void* p = memalign(alignment, n);
    if (!p) return 12;  // ENOMEM
    *out = p;
    return 0;
}
void* valloc(size_t n) { return memalign(size_t(sysconf(_SC_PAGESIZE)), n); }
}
#endif
