#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/foundation/Dispatch.h"

// The outcome of converting one raw recording to MP3.
struct MP3Conversion {
    bool succeeded = false;
    std::string failure;       // why not, when it failed
    int64_t frames = 0;        // stereo frames read from the recording
    int64_t mp3Bytes = 0;      // bytes written to the MP3
};

// The MP3 encoder of the voice messages: LAME over a raw recording, streamed through fixed
// buffers. Conversions run one after another on the process's voice queue, a serial queue;
// each hands its outcome to the main thread with dispatch::mainQueue()->async and never waits
// for the main thread. The queue is joined when the process exits (its static's destructor),
// so a conversion under way then still writes its whole MP3.
class VoiceEncoder {
public:
    // The raw recording skips this container header; the rest is interleaved 16-bit stereo PCM.
    static constexpr long kHeaderBytes = 4096;
    // The conversion reads this many stereo frames per chunk (32768 bytes of PCM).
    static constexpr int kFramesPerChunk = 8192;
    // Room for the MP3 of one chunk: the encoder's own bound, 1.25 x samples + 7200 bytes.
    static constexpr int kMP3BufferBytes = kFramesPerChunk + kFramesPerChunk / 4 + 7200;

    // Streams a raw recording (header, then interleaved 16-bit stereo PCM at 44100 Hz) into an
    // MP3 file on the calling thread. On failure the MP3 is removed; when it cannot be opened
    // nothing is written.
    static MP3Conversion convertPCMFileToMP3(const std::filesystem::path& caf, const std::filesystem::path& mp3);

    using Completion = std::function<void(const MP3Conversion&)>;
    // Queues the conversion of `caf` into `mp3` on the voice queue. `completion` runs on the main
    // thread once the MP3 is closed (or removed after a failure); it is also released there,
    // never on the queue, so it may hold screens and views.
    static void convertLater(const std::filesystem::path& caf, const std::filesystem::path& mp3,
                             Completion completion);

    // The voice queue.
    static std::shared_ptr<foundation::dispatch::SerialQueue> queue();
    // Conversions queued or running, or whose completion has neither run nor been dropped.
    static int pendingConversions();
    // The way out: waits until every queued conversion has written its MP3 (their completions
    // follow on the main thread). From the main thread only; the queue stays usable.
    static void finishPendingConversions();
};
