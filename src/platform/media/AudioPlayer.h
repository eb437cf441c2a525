#pragma once
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/media/MediaError.h"

namespace media {

class AudioPlayer;

class AudioPlayerDelegate {
public:
    virtual ~AudioPlayerDelegate() = default;
    virtual void audioPlayerDidFinishPlaying(AudioPlayer&, bool /*successfully*/) {}
    virtual void audioPlayerDecodeErrorDidOccur(AudioPlayer&, const Error&) {}
};

// What decoding an MP3 found.
struct MP3Info {
    bool decodable = false;
    double duration = 0;  // seconds
    long sampleRate = 0;
    int channels = 0;
    std::string problem;  // why it is not decodable
};

// Plays MP3 audio headlessly: the data is decoded (libmpg123) for its length and to find
// undecodable data; playback "sounds" for the duration on the main run loop's clock.
// Used on the main thread; the delegate hears on the main loop.
class AudioPlayer : public std::enable_shared_from_this<AudioPlayer> {
public:
    using Ptr = std::shared_ptr<AudioPlayer>;

    // Null (and the error) when the file cannot be read or holds nothing.
    static Ptr makeWithContentsOfURL(const std::filesystem::path& url,
                                     const std::optional<std::string>& fileTypeHint = std::nullopt,
                                     Error* error = nullptr);
    static Ptr makeWithData(const std::string& bytes, Error* error = nullptr);
    static MP3Info decodeMP3(const std::string& bytes);

    void setDelegate(std::weak_ptr<AudioPlayerDelegate> delegate) { delegate_ = std::move(delegate); }
    float volume() const { return volume_; }
    void setVolume(float volume);

    // False when the data does not decode.
    bool prepareToPlay();
    // Starts (or resumes). Undecodable data: false, and the delegate hears of the decode error.
    bool play();
    void stop();
    bool isPlaying() const { return playing_; }
    double duration() const { return info_.duration; }
    double currentTime() const;
    const std::optional<std::filesystem::path>& url() const { return url_; }

    AudioPlayer(std::string bytes, std::optional<std::filesystem::path> url);

private:
    std::optional<std::filesystem::path> url_;
    MP3Info info_;
    std::weak_ptr<AudioPlayerDelegate> delegate_;
    float volume_ = 1;
    bool playing_ = false;
    double position_ = 0;
    double startedAt_ = 0;
    unsigned long long session_ = 0;
};

}  // namespace media
