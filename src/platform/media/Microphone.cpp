#include "platform/media/Microphone.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

namespace media {

namespace {

uint32_t le32(const std::string& s, size_t at) {
    return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 | uint32_t(uint8_t(s[at + 2])) << 16 |
           uint32_t(uint8_t(s[at + 3])) << 24;
}
uint16_t le16(const std::string& s, size_t at) { return uint16_t(uint8_t(s[at]) | uint8_t(s[at + 1]) << 8); }

}  // namespace

Microphone& Microphone::shared() {
    static Microphone microphone;
    return microphone;
}

void Microphone::setTone(double frequency, double levelDecibels) {
    std::lock_guard lock(mutex_);
    frequency_ = frequency > 0 ? frequency : 440;
    level_ = std::isfinite(levelDecibels) ? std::min(levelDecibels, 0.0) : -160;
    wav_.clear();
    wavChannels_ = 0;
}

void Microphone::setSilence() { setTone(440, -160); }

bool Microphone::setWavFile(const std::filesystem::path& path) {
    auto bytes = foundation::files::read(path);
    if (!bytes || bytes->size() < 12 || bytes->compare(0, 4, "RIFF") != 0 || bytes->compare(8, 4, "WAVE") != 0) {
        foundation::log("microphone: not a WAV file: " + path.string());
        return false;
    }
    const std::string& s = *bytes;
    int channels = 0, bits = 0, format = 0;
    double rate = 0;
    size_t dataAt = 0, dataSize = 0;
    for (size_t at = 12; at + 8 <= s.size();) {
        uint32_t size = le32(s, at + 4);
        size_t body = at + 8;
        if (s.compare(at, 4, "fmt ") == 0 && size >= 16 && body + 16 <= s.size()) {
            format = le16(s, body);
            channels = le16(s, body + 2);
            rate = le32(s, body + 4);
            bits = le16(s, body + 14);
        } else if (s.compare(at, 4, "data") == 0) {
            dataAt = body;
            dataSize = std::min<size_t>(size, s.size() - body);
            break;
        }
        if (size > s.size() - body) break;
        at = body + size + (size & 1);
    }
    if (format != 1 || bits != 16 || channels < 1 || channels > 2 || rate <= 0 || dataAt == 0) {
        foundation::log("microphone: only 16-bit PCM WAV (mono or stereo) is supported: " + path.string());
        return false;
    }
    std::vector<int16_t> samples(dataSize / 2);
    std::memcpy(samples.data(), s.data() + dataAt, samples.size() * 2);  // little-endian host
    std::lock_guard lock(mutex_);
    wav_ = std::move(samples);
    wavChannels_ = channels;
    wavRate_ = rate;
    return true;
}

void Microphone::reset() {
    std::lock_guard lock(mutex_);
    frequency_ = 440;
    level_ = -30;
    wav_.clear();
    wavChannels_ = 0;
    wavRate_ = 0;
}

void Microphone::render(int64_t start, int frames, double rate, int channels, int16_t* out) const {
    std::lock_guard lock(mutex_);
    if (wavChannels_ > 0) {
        const int64_t wavFrames = int64_t(wav_.size()) / wavChannels_;
        for (int f = 0; f < frames; ++f) {
            int64_t src = int64_t(double(start + f) * wavRate_ / rate);
            for (int c = 0; c < channels; ++c) {
                int16_t v = 0;
                if (src < wavFrames) v = wav_[size_t(src * wavChannels_ + std::min(c, wavChannels_ - 1))];
                out[f * channels + c] = v;
            }
        }
        return;
    }
    // The RMS of a sine is its amplitude over the square root of two.
    double amplitude = level_ <= -160 ? 0 : std::min(32767.0, 32767.0 * std::sqrt(2.0) * std::pow(10.0, level_ / 20));
    const double step = 2 * M_PI * frequency_ / rate;
    for (int f = 0; f < frames; ++f) {
        double phase = std::fmod(double(start + f) * step, 2 * M_PI);
        auto v = int16_t(std::lround(amplitude * std::sin(phase)));
        for (int c = 0; c < channels; ++c) out[f * channels + c] = v;
    }
}

}  // namespace media
