// The voice message conversion: a raw recording (4096-byte header, interleaved 16-bit stereo
// PCM at 44100 Hz) streamed into an MP3 through fixed buffers, beside the encoder called
// directly, in a single call, on the same PCM held in memory with the same settings. Both report
// seconds of recording encoded per second of processing ("recorded_s" as a rate).
// The conversion also reports its peak heap use for recordings of 10, 60 and 180 s: it must
// not grow with the length (allocations are counted by wrapping the C allocator; a sanitizer
// build keeps its own allocator and reports no peak).
#include <lame/lame.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "liability/chat/SoundRecording.h"

#if defined(__SANITIZE_ADDRESS__)
#define VOICE_BENCH_COUNTS_HEAP 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VOICE_BENCH_COUNTS_HEAP 0
#endif
#endif
#ifndef VOICE_BENCH_COUNTS_HEAP
#define VOICE_BENCH_COUNTS_HEAP 1
#endif

namespace {
std::atomic<long long> heapLive{0};
std::atomic<long long> heapPeak{0};

[[maybe_unused]] void counted(void* p) {
    if (!p) return;
    long long now = heapLive += static_cast<long long>(malloc_usable_size(p));
    long long peak = heapPeak.load(std::memory_order_relaxed);
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
}
[[maybe_unused]] void uncounted(void* p) {
    if (p) heapLive -= static_cast<long long>(malloc_usable_size(p));
}
}  // namespace

#if VOICE_BENCH_COUNTS_HEAP
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
void* __libc_memalign(size_t, size_t);

void* malloc(size_t n) {
    void* p = __libc_malloc(n);
    counted(p);
    return p;
}
void* calloc(size_t count, size_t size) {
    void* p = __libc_calloc(count, size);
    counted(p);
    return p;
}
void* realloc(void* old, size_t n) {
    const long long before = old ? static_cast<long long>(malloc_usable_size(old)) : 0;
    void* p = __libc_realloc(old, n);
    if (p || n == 0) heapLive -= before;
    counted(p);
    return p;
}
void free(void* p) {
    uncounted(p);
    __libc_free(p);
}
void* memalign(size_t alignment, size_t n) {
    void* p = __libc_memalign(alignment, n);
    counted(p);
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

namespace {

namespace fs = std::filesystem;

// Speech-like PCM: a few wandering tones, syllable-like loudness and some breath noise.
std::vector<short> voicePCM(int seconds) {
    const size_t frames = size_t(seconds) * 44100;
    std::vector<short> pcm(frames * 2);
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 300);
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / 44100;
        const double pitch = 140 + 40 * std::sin(t * 1.3);
        const double envelope = 0.5 + 0.5 * std::sin(t * 2 * M_PI * 4);
        double v = 6000 * envelope *
                       (std::sin(2 * M_PI * pitch * t) + 0.5 * std::sin(2 * M_PI * 2.1 * pitch * t) +
                        0.25 * std::sin(2 * M_PI * 3.3 * pitch * t)) +
                   noise(random);
        const short s = short(std::clamp(v, -32768.0, 32767.0));
        pcm[2 * i] = s;
        pcm[2 * i + 1] = short(s * 0.9);
    }
    return pcm;
}

fs::path workDirectory() {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("veskard-voice-bench-" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

// A raw recording of that many seconds, written once.
fs::path recording(int seconds) {
    fs::path path = workDirectory() / (std::to_string(seconds) + "s.caf");
    if (!fs::exists(path)) {
        auto pcm = voicePCM(seconds);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::vector<char> header(4096, 0);
        std::fwrite(header.data(), 1, header.size(), f);
        std::fwrite(pcm.data(), sizeof(short), pcm.size(), f);
        std::fclose(f);
    }
    return path;
}

// state.range(0): seconds of recording.
void BM_ConvertRecording(benchmark::State& state) {
    const int seconds = int(state.range(0));
    const fs::path caf = recording(seconds);
    const fs::path mp3 = workDirectory() / (std::to_string(seconds) + "s.mp3");
    long long peak = 0;
    for (auto _ : state) {
        const long long base = heapLive.load();
        heapPeak = base;
        MP3Conversion outcome = VoiceEncoder::convertPCMFileToMP3(caf, mp3);
        peak = std::max(peak, heapPeak.load() - base);
        if (!outcome.succeeded) state.SkipWithError(outcome.failure.c_str());
        benchmark::DoNotOptimize(outcome.mp3Bytes);
    }
    state.counters["recorded_s"] = benchmark::Counter(double(seconds), benchmark::Counter::kIsIterationInvariantRate);
    if (VOICE_BENCH_COUNTS_HEAP) state.counters["peak_heap_KB"] = double(peak) / 1024;
    state.counters["mp3_KB"] = double(fs::file_size(mp3)) / 1024;
}
BENCHMARK(BM_ConvertRecording)->Arg(10)->Arg(60)->Arg(180)->Unit(benchmark::kMillisecond);

// The encoder on the same PCM held in memory, in one call, into one buffer of its own bound.
void BM_EncoderDirect(benchmark::State& state) {
    const int seconds = int(state.range(0));
    const std::vector<short> pcm = voicePCM(seconds);
    const int frames = int(pcm.size() / 2);
    std::vector<unsigned char> buffer(size_t(frames) + size_t(frames) / 4 + 7200);
    long long peak = 0;
    for (auto _ : state) {
        const long long base = heapLive.load();
        heapPeak = base;
        lame_t lame = lame_init();
        lame_set_in_samplerate(lame, 44100);
        lame_set_VBR(lame, vbr_default);
        lame_init_params(lame);
        int n = lame_encode_buffer_interleaved(lame, const_cast<short*>(pcm.data()), frames, buffer.data(),
                                               int(buffer.size()));
        n += lame_encode_flush(lame, buffer.data() + n, int(buffer.size()) - n);
        lame_close(lame);
        peak = std::max(peak, heapPeak.load() - base);
        benchmark::DoNotOptimize(n);
    }
    state.counters["recorded_s"] = benchmark::Counter(double(seconds), benchmark::Counter::kIsIterationInvariantRate);
    // The PCM and the output buffer are held outside the timed loop; add them for comparison.
    if (VOICE_BENCH_COUNTS_HEAP)
        state.counters["peak_heap_KB"] = double(peak + static_cast<long long>(pcm.size() * sizeof(short) + buffer.size())) / 1024;
}
BENCHMARK(BM_EncoderDirect)->Arg(60)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(workDirectory(), ec);
    return 0;
}
