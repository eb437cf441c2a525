#include "liability/chat/VoiceEncoder.h"

#include <lame/lame.h>

#include <atomic>
#include <cstdio>
#include <vector>

#include "platform/foundation/Sandbox.h"

namespace fs = std::filesystem;

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

struct LameCloser {
    void operator()(lame_global_flags* gf) const {
        if (gf) lame_close(gf);
    }
};
using Lame = std::unique_ptr<lame_global_flags, LameCloser>;

std::atomic<int> pending{0};

// Counts one conversion from its queuing until its completion has run or been dropped.
struct PendingConversion {
    PendingConversion() { ++pending; }
    ~PendingConversion() { --pending; }
    PendingConversion(const PendingConversion&) = delete;
    PendingConversion& operator=(const PendingConversion&) = delete;
};

MP3Conversion convertGuarded(const fs::path& caf, const fs::path& mp3) {
    try {
        return VoiceEncoder::convertPCMFileToMP3(caf, mp3);
    } catch (const std::exception& e) {
        std::error_code ec;
        fs::remove(mp3, ec);
        return MP3Conversion{false, std::string("the conversion failed: ") + e.what()};
    } catch (...) {
        std::error_code ec;
        fs::remove(mp3, ec);
        return MP3Conversion{false, "the conversion failed"};
    }
}

}  // namespace

std::shared_ptr<foundation::dispatch::SerialQueue> VoiceEncoder::queue() {
    // Destroyed at exit, which joins it after the conversions queued by then.
    static const std::shared_ptr<foundation::dispatch::SerialQueue> voiceQueue =
        foundation::dispatch::serialQueue("com.veskard.voice-conversion");
    return voiceQueue;
}

int VoiceEncoder::pendingConversions() { return pending.load(); }

void VoiceEncoder::finishPendingConversions() { queue()->drain(); }

void VoiceEncoder::convertLater(const fs::path& caf, const fs::path& mp3, Completion completion) {
    auto counted = std::make_shared<PendingConversion>();
    // Only this task holds the completion until it passes it on to the main thread.
    auto box = std::make_shared<Completion>(std::move(completion));
    queue()->async([caf, mp3, box, counted] {
        const MP3Conversion outcome = convertGuarded(caf, mp3);
        Completion done;
        done.swap(*box);
        foundation::dispatch::mainQueue()->async([done = std::move(done), outcome, counted] {
            if (done) done(outcome);
        });
    });
}

MP3Conversion VoiceEncoder::convertPCMFileToMP3(const fs::path& caf, const fs::path& mp3) {
    MP3Conversion outcome;
    auto fail = [&](const std::string& why) {
        outcome.succeeded = false;
        outcome.failure = why;
        return outcome;
    };
    std::error_code ec;
    if (fs::exists(mp3, ec)) fs::remove(mp3, ec);

    File in(std::fopen(caf.c_str(), "rb"));
    if (!in) return fail("the recording " + caf.filename().string() + " cannot be opened");
    if (std::fseek(in.get(), kHeaderBytes, SEEK_CUR) != 0) return fail("the recording has no header");
    const long dataStart = std::ftell(in.get());
    {
        // A file shorter than its header is not a recording.
        std::fseek(in.get(), 0, SEEK_END);
        if (std::ftell(in.get()) < dataStart) return fail("the recording is shorter than its header");
        std::fseek(in.get(), dataStart, SEEK_SET);
    }

    File out(foundation::files::openPrivately(mp3, "wb"));
    if (!out) return fail("the MP3 " + mp3.filename().string() + " cannot be written");
    bool keepOutput = false;
    struct RemoveUnlessKept {
        const fs::path& path;
        const bool& keep;
        File& file;
        ~RemoveUnlessKept() {
            if (keep) return;
            file.reset();
            std::error_code ec;
            fs::remove(path, ec);
        }
    } removePartial{mp3, keepOutput, out};

    Lame lame(lame_init());
    if (!lame) return fail("the encoder could not be made");
    lame_set_in_samplerate(lame.get(), 44100);
    lame_set_VBR(lame.get(), vbr_default);
    if (lame_init_params(lame.get()) < 0) return fail("the encoder refused its settings");

    std::vector<short> pcm(size_t(kFramesPerChunk) * 2);
    std::vector<unsigned char> encoded(static_cast<size_t>(kMP3BufferBytes));
    size_t frames = 0;
    do {
        frames = std::fread(pcm.data(), 4, size_t(kFramesPerChunk), in.get());
        if (frames == 0 && std::ferror(in.get())) return fail("the recording could not be read");
        int bytes = frames > 0 ? lame_encode_buffer_interleaved(lame.get(), pcm.data(), int(frames), encoded.data(),
                                                                 kMP3BufferBytes)
                               : lame_encode_flush(lame.get(), encoded.data(), kMP3BufferBytes);
        if (bytes < 0) return fail("the encoder failed (" + std::to_string(bytes) + ")");
        if (bytes > 0 && std::fwrite(encoded.data(), 1, size_t(bytes), out.get()) != size_t(bytes)) {
            return fail("the MP3 could not be written");
        }
        outcome.frames += int64_t(frames);
        outcome.mp3Bytes += bytes;
    } while (frames > 0);
    lame.reset();

    if (outcome.frames == 0) return fail("the recording holds no audio");
    if (std::fclose(out.release()) != 0) return fail("the MP3 could not be closed");
    keepOutput = true;
    outcome.succeeded = true;
    return outcome;
}
