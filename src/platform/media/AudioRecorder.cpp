#include "platform/media/AudioRecorder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/WeakBind.h"
#include "platform/media/Microphone.h"

namespace media {

namespace {

void put32(std::string& s, uint32_t v) {
    for (int i = 3; i >= 0; --i) s.push_back(char((v >> (8 * i)) & 0xff));
}
void put64(std::string& s, uint64_t v) {
    for (int i = 7; i >= 0; --i) s.push_back(char((v >> (8 * i)) & 0xff));
}

// Offset of the data chunk's 64-bit size field.
constexpr long kDataSizeAt = AudioRecorder::kHeaderSize - 16 + 4;

// A Core Audio file header whose 'free' chunk pads the audio data to start at 4096.
std::string cafHeader(const AudioRecorderSettings& s) {
    std::string h = "caff";
    h += std::string("\x00\x01\x00\x00", 4);  // version 1, flags 0
    h += "desc";
    put64(h, 32);
    uint64_t rateBits;
    std::memcpy(&rateBits, &s.sampleRate, 8);
    put64(h, rateBits);
    h += "lpcm";
    put32(h, 2);  // little-endian integer samples
    put32(h, uint32_t(2 * s.numberOfChannels));
    put32(h, 1);
    put32(h, uint32_t(s.numberOfChannels));
    put32(h, 16);
    h += "free";
    const uint64_t padding = AudioRecorder::kHeaderSize - h.size() - 8 - 16;
    put64(h, padding);
    h.append(padding, '\0');
    h += "data";
    put64(h, ~uint64_t(0));  // size unknown while recording
    put32(h, 0);              // edit count
    return h;
}

float decibels(double amplitude) {
    if (amplitude <= 0) return -160;
    return float(std::clamp(20 * std::log10(amplitude / 32768.0), -160.0, 0.0));
}

double now() { return foundation::RunLoop::main().now(); }

}  // namespace

AudioRecorder::Ptr AudioRecorder::make(const std::filesystem::path& url, const AudioRecorderSettings& settings,
                                       Error* error) {
    auto fail = [&](const std::string& reason) -> Ptr {
        if (error) *error = Error{"NSOSStatusErrorDomain", 1718449215, "The recorder could not be made.", reason};
        return nullptr;
    };
    if (settings.formatID != kAudioFormatLinearPCM) return fail("Only linear PCM is recorded.");
    if (settings.linearPCMBitDepth != 16) return fail("Only 16-bit samples are recorded.");
    if (settings.numberOfChannels < 1 || settings.numberOfChannels > 2) return fail("One or two channels only.");
    if (!(settings.sampleRate >= 8000 && settings.sampleRate <= 192000)) return fail("Unsupported sample rate.");
    if (url.empty() || url.filename().empty()) return fail("No file to record into.");
    return std::make_shared<AudioRecorder>(url, settings);
}

AudioRecorder::AudioRecorder(std::filesystem::path url, AudioRecorderSettings settings)
    : url_(std::move(url)), settings_(settings) {
    const size_t n = size_t(settings_.numberOfChannels);
    sumSquares_.assign(n, 0);
    peaks_.assign(n, 0);
    average_.assign(n, -160);
    peak_.assign(n, -160);
}

AudioRecorder::~AudioRecorder() {
    if (file_) {
        if (recording_) pump();
        finishFile();
    }
}

bool AudioRecorder::prepareToRecord() {
    if (recording_) return true;
    if (file_) return true;
    file_ = foundation::files::openPrivately(url_, "wb");
    if (!file_) {
        foundation::log("recorder: cannot create " + url_.string());
        return false;
    }
    std::string header = cafHeader(settings_);
    if (std::fwrite(header.data(), 1, header.size(), file_) != header.size()) {
        std::fclose(file_);
        file_ = nullptr;
        return false;
    }
    frames_ = 0;
    writeFailed_ = false;
    return true;
}

bool AudioRecorder::record() {
    if (recording_) return true;
    if (!prepareToRecord()) return false;
    recording_ = true;
    startedAt_ = now() - double(frames_) / settings_.sampleRate;
    frameLimit_ = -1;
    ++session_;
    meterFrames_ = 0;
    std::fill(sumSquares_.begin(), sumSquares_.end(), 0);
    std::fill(peaks_.begin(), peaks_.end(), 0);
    return true;
}

bool AudioRecorder::recordForDuration(double seconds) {
    if (!(seconds > 0)) return false;
    if (!record()) return false;
    frameLimit_ = frames_ + int64_t(std::llround(seconds * settings_.sampleRate));
    const unsigned long long session = session_;
    foundation::RunLoop::main().performAfter(seconds, foundation::weakBind(this, [session](const auto& self) {
                                                 if (self->recording_ && self->session_ == session) self->stop();
                                             }));
    return true;
}

void AudioRecorder::pump() {
    if (!recording_ || !file_) return;
    int64_t due = int64_t(std::floor((now() - startedAt_) * settings_.sampleRate + 1e-6));
    if (frameLimit_ >= 0) due = std::min(due, frameLimit_);
    const int channels = settings_.numberOfChannels;
    std::vector<int16_t> buffer;
    while (frames_ < due) {
        const int n = int(std::min<int64_t>(4096, due - frames_));
        buffer.resize(size_t(n * channels));
        Microphone::shared().render(frames_, n, settings_.sampleRate, channels, buffer.data());
        if (!writeFailed_ && std::fwrite(buffer.data(), 2, buffer.size(), file_) != buffer.size()) {
            writeFailed_ = true;
            foundation::log("recorder: write failed for " + url_.string());
        }
        for (int f = 0; f < n; ++f) {
            for (int c = 0; c < channels; ++c) {
                double v = buffer[size_t(f * channels + c)];
                sumSquares_[size_t(c)] += v * v;
                peaks_[size_t(c)] = std::max(peaks_[size_t(c)], std::fabs(v));
            }
        }
        meterFrames_ += n;
        frames_ += n;
    }
}

bool AudioRecorder::finishFile() {
    if (!file_) return false;
    bool ok = !writeFailed_;
    const uint64_t dataBytes = 4 + uint64_t(frames_) * uint64_t(2 * settings_.numberOfChannels);
    std::string size;
    put64(size, dataBytes);
    if (std::fseek(file_, kDataSizeAt, SEEK_SET) != 0 || std::fwrite(size.data(), 1, 8, file_) != 8) ok = false;
    if (std::fclose(file_) != 0) ok = false;
    file_ = nullptr;
    return ok;
}

void AudioRecorder::stop() {
    if (!recording_) return;
    pump();
    recording_ = false;
    ++session_;
    const bool ok = finishFile();
    auto self = shared_from_this();
    foundation::dispatch::mainQueue()->async([self, ok] {
        if (auto delegate = self->delegate_.lock()) delegate->audioRecorderDidFinishRecording(*self, ok);
    });
}

double AudioRecorder::currentTime() const {
    if (!recording_) return 0;
    double t = now() - startedAt_;
    if (frameLimit_ >= 0) t = std::min(t, double(frameLimit_) / settings_.sampleRate);
    return t;
}

bool AudioRecorder::deleteRecording() {
    if (recording_) return false;
    std::error_code ec;
    return std::filesystem::remove(url_, ec);
}

void AudioRecorder::updateMeters() {
    if (!metering_) return;
    pump();
    if (meterFrames_ == 0) return;
    for (size_t c = 0; c < average_.size(); ++c) {
        average_[c] = decibels(std::sqrt(sumSquares_[c] / double(meterFrames_)));
        peak_[c] = decibels(peaks_[c]);
        sumSquares_[c] = 0;
        peaks_[c] = 0;
    }
    meterFrames_ = 0;
}

float AudioRecorder::averagePowerForChannel(int channel) const {
    if (!metering_ || channel < 0 || size_t(channel) >= average_.size()) return -160;
    return average_[size_t(channel)];
}

float AudioRecorder::peakPowerForChannel(int channel) const {
    if (!metering_ || channel < 0 || size_t(channel) >= peak_.size()) return -160;
    return peak_[size_t(channel)];
}

}  // namespace media
