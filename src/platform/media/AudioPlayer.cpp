#include "platform/media/AudioPlayer.h"

#include <mpg123.h>

#include <algorithm>
#include <mutex>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/WeakBind.h"

namespace media {

namespace {

double now() { return foundation::RunLoop::main().now(); }

Error decodeError(const std::string& reason) {
    return Error{"NSOSStatusErrorDomain", 1954115647, "The audio data could not be decoded.", reason};
}

}  // namespace

MP3Info AudioPlayer::decodeMP3(const std::string& bytes) {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
    MP3Info info;
    if (bytes.empty()) {
        info.problem = "no data";
        return info;
    }
    int err = MPG123_OK;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh) {
        info.problem = "decoder unavailable";
        return info;
    }
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    long long samples = 0;
    int encoding = 0;
    size_t frameBytes = 0;
    bool decodedFrame = false;
    if (mpg123_open_feed(mh) != MPG123_OK ||
        mpg123_feed(mh, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) != MPG123_OK) {
        info.problem = mpg123_strerror(mh);
    } else {
        for (;;) {
            off_t frameNumber = 0;
            unsigned char* audio = nullptr;
            size_t done = 0;
            int r = mpg123_decode_frame(mh, &frameNumber, &audio, &done);
            if (r == MPG123_NEW_FORMAT) {
                mpg123_getformat(mh, &info.sampleRate, &info.channels, &encoding);
                frameBytes = size_t(std::max(1, info.channels)) * size_t(std::max(1, mpg123_encsize(encoding)));
            } else if (r == MPG123_OK) {
                if (frameBytes == 0) continue;
                samples += (long long)(done / frameBytes);
                decodedFrame = true;
            } else if (r == MPG123_NEED_MORE || r == MPG123_DONE) {
                break;
            } else {
                info.problem = mpg123_plain_strerror(r);
                break;
            }
        }
    }
    mpg123_delete(mh);
    if (info.problem.empty() && (!decodedFrame || info.sampleRate <= 0)) info.problem = "no MPEG audio frames found";
    info.decodable = info.problem.empty();
    info.duration = info.decodable ? double(samples) / double(info.sampleRate) : 0;
    return info;
}

AudioPlayer::Ptr AudioPlayer::makeWithContentsOfURL(const std::filesystem::path& url,
                                                    const std::optional<std::string>& fileTypeHint, Error* error) {
    if (fileTypeHint && *fileTypeHint != "mp3") {
        foundation::log("player: type hint \"" + *fileTypeHint + "\"; decoding as MP3");
    }
    auto bytes = foundation::files::read(url);
    if (!bytes || bytes->empty()) {
        if (error) *error = Error{"NSOSStatusErrorDomain", 2003334207, "The file could not be opened.", url.string()};
        return nullptr;
    }
    return std::make_shared<AudioPlayer>(std::move(*bytes), url);
}

AudioPlayer::Ptr AudioPlayer::makeWithData(const std::string& bytes, Error* error) {
    if (bytes.empty()) {
        if (error) *error = Error{"NSOSStatusErrorDomain", 1954115647, "No audio data.", "The data is empty."};
        return nullptr;
    }
    return std::make_shared<AudioPlayer>(bytes, std::nullopt);
}

AudioPlayer::AudioPlayer(std::string bytes, std::optional<std::filesystem::path> url)
    : url_(std::move(url)), info_(decodeMP3(bytes)) {}

void AudioPlayer::setVolume(float volume) { volume_ = std::clamp(volume, 0.0f, 1.0f); }

bool AudioPlayer::prepareToPlay() { return info_.decodable; }

bool AudioPlayer::play() {
    auto self = shared_from_this();
    if (!info_.decodable) {
        Error e = decodeError(info_.problem);
        foundation::dispatch::mainQueue()->async([self, e] {
            if (auto d = self->delegate_.lock()) d->audioPlayerDecodeErrorDidOccur(*self, e);
        });
        return false;
    }
    if (playing_) return true;
    if (position_ >= info_.duration) position_ = 0;
    playing_ = true;
    startedAt_ = now() - position_;
    const unsigned long long session = ++session_;
    auto finished = foundation::weakBind(self, [session](const auto& player) {
        if (!player->playing_ || player->session_ != session) return;
        player->playing_ = false;
        player->position_ = 0;
        if (auto d = player->delegate_.lock()) d->audioPlayerDidFinishPlaying(*player, true);
    });
    foundation::RunLoop::main().performAfter(info_.duration - position_, finished);
    return true;
}

void AudioPlayer::stop() {
    if (!playing_) return;
    position_ = std::min(info_.duration, now() - startedAt_);
    playing_ = false;
    ++session_;
}

double AudioPlayer::currentTime() const {
    return playing_ ? std::min(info_.duration, now() - startedAt_) : position_;
}

}  // namespace media
