#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "liability/chat/VoiceEncoder.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/AudioPlayer.h"
#include "platform/media/AudioRecorder.h"

class SoundRecording;

// What a voice recorder tells its owner. Every operation is optional.
class SoundRecordingDelegate {
public:
    virtual ~SoundRecordingDelegate() = default;
    // A finished recording has been converted: the MP3's full path and the recorded time (the
    // recording's length rounded to whole seconds, at least 1). Main thread.
    virtual void soundrecording(SoundRecording& /*recorder*/, const std::string& /*mp3Path*/, double /*recordTime*/) {}
    // YES when playback ended normally or was stopped; NO when it could not start or decode.
    virtual void playedFinishedOrError(bool /*finished*/) {}
    // A finished recording could not be converted (no recording file, the MP3 not writable,
    // an encoder error): the MP3 path it would have had (no file there) and its recorded time.
    // Main thread.
    virtual void soundrecordingFailed(SoundRecording& /*recorder*/, const std::string& /*mp3Path*/,
                                      double /*recordTime*/, const std::string& /*reason*/) {}
};

// One recording as it leaves the recorder: its base name and recorded time, fixed at its
// finish notice and carried through the conversion to the report.
struct SoundRecordingTake {
    std::string audioName;
    int64_t recordTime = 0;
};

// The voice engine of the case chat: records one message at a time from the microphone into
// the case material directory with a level overlay, has each finished recording converted to
// MP3 on the voice queue (VoiceEncoder) and reports it on the main thread; plays stored voice
// messages, or received ones once fetched (VoiceDownload). Made with std::make_shared; used on
// the main thread.
class SoundRecording : public media::AudioRecorderDelegate,
                       public media::AudioPlayerDelegate,
                       public std::enable_shared_from_this<SoundRecording> {
public:
    // The 61st level tick stops a recording.
    static constexpr int64_t kTickLimit = 60;

    SoundRecording() = default;
    ~SoundRecording() override;
    SoundRecording(const SoundRecording&) = delete;
    SoundRecording& operator=(const SoundRecording&) = delete;

    // Starts recording `duration` seconds at most into <name>.caf. A recording still running is
    // stopped first (and still reported). A name in use by a recording not yet reported, or
    // whose .mp3 exists, gets a suffix "_1", "_2"... NO when the audio session refuses, the
    // name is not a plain file name, or no recorder could be made or started.
    bool startRecorder(int64_t duration, const std::string& name);
    // Stops and releases the recorder, ends the level timer and removes the overlay; the
    // finish notice then converts the recording (or drops it when `audioName` is empty).
    bool stopRecorder();
    // One level tick.
    void addTimerForRecoud();

    // The conversion of one recording: queues the streaming of <name>.caf into <name>.mp3 on
    // the voice queue, which hands the outcome to convertMp3Finish on the main thread (this
    // object is kept alive until then, and let go of there). Returns the MP3 path.
    std::string changePCMtoMP3(const SoundRecordingTake& take, const std::filesystem::path& caf,
                               const std::filesystem::path& mp3);
    // The completion on the main thread: reports the MP3 (or the failure) of that take and
    // removes its raw recording after a success.
    void convertMp3Finish(const SoundRecordingTake& take, const std::string& mp3Path, const MP3Conversion& outcome);

    // Plays a voice message: a file of that name in the case material directory at once, or
    // the copy an earlier play of the same address stored; otherwise the http(s) URL is
    // downloaded into that directory first (stored once), decoded on a worker, then played.
    void playAudio(const std::string& pathOrURL);
    void playAudioData(const std::string& bytes);
    void stopAudioPlay();

    // Recorder and player notices.
    void audioRecorderDidFinishRecording(media::AudioRecorder& recorder, bool successfully) override;
    void audioRecorderEncodeErrorDidOccur(media::AudioRecorder&, const media::Error&) override {}
    void audioPlayerDidFinishPlaying(media::AudioPlayer& player, bool successfully) override;
    void audioPlayerDecodeErrorDidOccur(media::AudioPlayer& player, const media::Error& error) override;

    // Properties.
    const media::AudioRecorder::Ptr& recorder() const { return recorder_; }
    const std::string& audioName() const { return audioName_; }
    void setAudioName(const std::string& name) { audioName_ = name; }
    const media::AudioPlayer::Ptr& audioPlayer() const { return audioPlayer_; }
    std::shared_ptr<SoundRecordingDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<SoundRecordingDelegate> delegate) { delegate_ = std::move(delegate); }
    const std::string& deleteFileName() const { return deleteFileName_; }
    int64_t recoudNum() const { return recoudNum_; }
    const std::shared_ptr<foundation::Timer>& recoudTimer() const { return recoudTimer_; }

    // The overlay level for an average power in decibels: t = the power truncated toward
    // zero, r = (t + 100) remainder 10 (sign of the dividend); r / 2 + 1 when r >= 0, else 1.
    static int levelForAveragePower(float decibels);
    // The length of a finished recording in whole seconds (rounded, at least 1), from the
    // samples its file holds.
    static int64_t recordedSeconds(const media::AudioRecorder& recorder);
    // A name reduced to a plain file name (VoiceDownload::plainFileName).
    static std::string plainFileName(const std::string& name);
    // Conversions in this process not yet reported (tests wait for none).
    static int runningConversions();

private:
    // A recorder whose finish notice has not come yet; `frozen` holds the name and time it
    // had when it was stopped or replaced.
    struct Take {
        media::AudioRecorder::Ptr recorder;
        std::string baseName;
        std::optional<SoundRecordingTake> frozen;
    };

    Take* takeFor(const media::AudioRecorder* recorder);
    void freeze(const media::AudioRecorder* recorder);
    void endLevelTimer();
    std::string unusedName(const std::string& name) const;
    void startConversion(const SoundRecordingTake& take);
    void playFile(const std::filesystem::path& path, bool withTypeHint);
    // Plays a player made from `path` (null: `error` says why, and NO is reported).
    void startPlayer(const media::AudioPlayer::Ptr& player, const std::filesystem::path& path, const media::Error& error);
    void download(const std::string& url, unsigned long long session);
    void reportPlayback(bool finished);
    void reportPlaybackLater(bool finished);

    std::shared_ptr<foundation::Timer> recoudTimer_;
    int64_t recoudNum_ = 0;
    media::AudioRecorder::Ptr recorder_;
    std::string audioName_;
    media::AudioPlayer::Ptr audioPlayer_;
    std::weak_ptr<SoundRecordingDelegate> delegate_;
    std::string deleteFileName_;

    std::vector<Take> takes_;
    std::set<std::string> busyNames_;  // recording or converting, not yet reported
    unsigned long long playSession_ = 0;
};
