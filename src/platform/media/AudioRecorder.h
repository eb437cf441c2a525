#pragma once
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/media/MediaError.h"

namespace media {

inline constexpr uint32_t kAudioFormatLinearPCM = 0x6C70636D;  // 'lpcm'

struct AudioRecorderSettings {
    uint32_t formatID = kAudioFormatLinearPCM;
    double sampleRate = 44100;
    int numberOfChannels = 2;
    int linearPCMBitDepth = 16;
    int encoderAudioQuality = 0;
};

class AudioRecorder;

class AudioRecorderDelegate {
public:
    virtual ~AudioRecorderDelegate() = default;
    virtual void audioRecorderDidFinishRecording(AudioRecorder&, bool /*successfully*/) {}
    virtual void audioRecorderEncodeErrorDidOccur(AudioRecorder&, const Error&) {}
};

// Records the stand-in microphone into a file: a 4096-byte container header (Core Audio
// format) followed by interleaved little-endian 16-bit PCM. Samples accumulate with the main
// run loop's clock (a manual clock in tests). Used on the main thread.
class AudioRecorder : public std::enable_shared_from_this<AudioRecorder> {
public:
    using Ptr = std::shared_ptr<AudioRecorder>;
    static constexpr long kHeaderSize = 4096;

    // Null (and the error) for settings other than 16-bit linear PCM with one or two channels.
    static Ptr make(const std::filesystem::path& url, const AudioRecorderSettings& settings, Error* error = nullptr);
    ~AudioRecorder();

    const std::filesystem::path& url() const { return url_; }
    const AudioRecorderSettings& settings() const { return settings_; }
    void setDelegate(std::weak_ptr<AudioRecorderDelegate> delegate) { delegate_ = std::move(delegate); }

    // Creates (or replaces) the file and writes its header.
    bool prepareToRecord();
    bool record();
    // Records and stops by itself after `seconds` of the run loop's clock.
    bool recordForDuration(double seconds);
    // Stops; the delegate hears of it on the main loop afterwards.
    void stop();
    bool isRecording() const { return recording_; }
    double currentTime() const;  // seconds recorded so far
    bool deleteRecording();

    bool isMeteringEnabled() const { return metering_; }
    void setMeteringEnabled(bool enabled) { metering_ = enabled; }
    // Measures the samples recorded since the last update.
    void updateMeters();
    float averagePowerForChannel(int channel) const;  // dB, 0 is full scale, down to -160
    float peakPowerForChannel(int channel) const;

    AudioRecorder(std::filesystem::path url, AudioRecorderSettings settings);

private:
    void pump();  // writes the samples due by now
    bool finishFile();

    std::filesystem::path url_;
    AudioRecorderSettings settings_;
    std::weak_ptr<AudioRecorderDelegate> delegate_;
    std::FILE* file_ = nullptr;
    bool recording_ = false;
    bool writeFailed_ = false;
    bool metering_ = false;
    double startedAt_ = 0;
    int64_t frameLimit_ = -1;
    int64_t frames_ = 0;
    unsigned long long session_ = 0;
    std::vector<double> sumSquares_;
    std::vector<double> peaks_;
    int64_t meterFrames_ = 0;
    std::vector<float> average_;
    std::vector<float> peak_;
};

}  // namespace media
