#pragma once
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <vector>

namespace media {

// The stand-in microphone: a tone of a set loudness, silence, or a WAV file played once.
class Microphone {
public:
    static Microphone& shared();

    // A sine tone whose RMS level is `levelDecibels` below full scale (0 is the loudest;
    // -160 or less is silence). The default is 440 Hz at -30 dB.
    void setTone(double frequency, double levelDecibels);
    void setSilence();
    // 16-bit PCM WAV, mono or stereo, any rate. False (and the source unchanged) when unreadable.
    bool setWavFile(const std::filesystem::path& path);
    void reset();

    // Renders `frames` interleaved 16-bit frames starting at frame `start` of a recording
    // at `rate` with `channels` channels.
    void render(int64_t start, int frames, double rate, int channels, int16_t* out) const;

private:
    mutable std::mutex mutex_;
    double frequency_ = 440;
    double level_ = -30;
    std::vector<int16_t> wav_;  // interleaved
    int wavChannels_ = 0;
    double wavRate_ = 0;
};

}  // namespace media
