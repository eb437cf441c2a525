#include "liability/chat/SoundRecording.h"

#include <algorithm>
#include <cmath>

#include "core/FileAccess.h"
#include "core/ShowTheWindow.h"
#include "liability/chat/VoiceDownload.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/WeakBind.h"
#include "platform/media/AudioSession.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kRawExtension = ".caf";
constexpr const char* kMP3Extension = ".mp3";

}  // namespace

SoundRecording::~SoundRecording() {
    const bool overlay = recoudTimer_ && recoudTimer_->isValid();
    if (recoudTimer_) recoudTimer_->invalidate();
    if (recorder_ && recorder_->isRecording()) recorder_->stop();
    if (overlay) ShowTheWindow::removeTheWindow();
    // Recordings whose finish notice has not come are abandoned: nothing will convert them now.
    for (auto& take : takes_) {
        if (take.recorder->isRecording()) take.recorder->stop();
        if (!take.recorder->deleteRecording())
            foundation::log("SoundRecording: the abandoned recording " + take.baseName + " could not be removed");
    }
}

int SoundRecording::runningConversions() { return VoiceEncoder::pendingConversions(); }

int SoundRecording::levelForAveragePower(float decibels) {
    // Meter readings lie in -160..0; anything else (or NaN) is taken at the nearest end.
    double p = std::isnan(decibels) ? -160.0 : std::clamp(double(decibels), -160.0, 0.0);
    const int32_t t = static_cast<int32_t>(p);  // toward zero
    const int32_t r = (t + 100) % 10;           // sign of the dividend
    return r >= 0 ? r / 2 + 1 : 1;
}

std::string SoundRecording::plainFileName(const std::string& name) { return VoiceDownload::plainFileName(name); }

// Recording

SoundRecording::Take* SoundRecording::takeFor(const media::AudioRecorder* recorder) {
    for (auto& take : takes_)
        if (take.recorder.get() == recorder) return &take;
    return nullptr;
}

void SoundRecording::freeze(const media::AudioRecorder* recorder) {
    if (Take* take = takeFor(recorder); take && !take->frozen) take->frozen = SoundRecordingTake{audioName_, recoudNum_};
}

void SoundRecording::endLevelTimer() {
    if (recoudTimer_) recoudTimer_->invalidate();
    recoudTimer_ = nullptr;
}

std::string SoundRecording::unusedName(const std::string& name) const {
    FileAccess files;
    std::string candidate = name;
    for (int n = 1; busyNames_.count(candidate) || files.isFileExists(candidate + kMP3Extension); ++n) {
        candidate = name + "_" + std::to_string(n);
    }
    return candidate;
}

bool SoundRecording::startRecorder(int64_t duration, const std::string& name) {
    // A recording still running ends here, under the name and time it had.
    if (recorder_) {
        freeze(recorder_.get());
        recorder_->stop();
        recorder_ = nullptr;
    }
    if (recoudTimer_) {
        endLevelTimer();
        ShowTheWindow::removeTheWindow();
    }
    deleteFileName_ = name;

    auto& session = media::AudioSession::sharedInstance();
    media::Error error;
    if (!session.setCategory(media::AudioSessionCategory::PlayAndRecord, &error)) {
        foundation::log("SoundRecording: audio session category refused: " + error.localizedDescription);
        return false;
    }
    if (!session.setActive(true, &error)) {
        foundation::log("SoundRecording: audio session not activated: " + error.localizedDescription);
        return false;
    }
    if (name.empty() || !FileAccess::isAcceptableName(name + kRawExtension)) {
        foundation::log("SoundRecording: no usable recording name \"" + name + "\"");
        return false;
    }

    const std::string actual = unusedName(name);
    audioName_ = actual;
    deleteFileName_ = actual;

    FileAccess files;
    const std::string rawName = actual + kRawExtension;
    if (files.isFileExists(rawName)) files.deleteFile(rawName);
    auto path = files.getFileByFileName(rawName);
    auto recorder = path ? media::AudioRecorder::make(*path, media::AudioRecorderSettings{}, &error) : nullptr;
    if (!recorder) {
        foundation::log("SoundRecording: no recorder for " + rawName + ": " + error.localizedFailureReason);
        return false;
    }
    recorder_ = recorder;
    recorder->setMeteringEnabled(true);
    recorder->setDelegate(weak_from_this());
    const bool recording = recorder->prepareToRecord() &&
                           (duration > 0 ? recorder->recordForDuration(double(duration)) : recorder->record());
    if (!recording) {
        // Nothing records: no level timer, no overlay, no finish notice.
        foundation::log("SoundRecording: the recorder did not start for " + rawName);
        recorder->deleteRecording();
        recorder_ = nullptr;
        ShowTheWindow::removeTheWindow();
        return false;
    }
    takes_.push_back(Take{recorder, actual, std::nullopt});
    busyNames_.insert(actual);

    recoudNum_ = 0;
    recoudTimer_ = foundation::RunLoop::main().scheduleTimer(
        1.0, true, foundation::weakBind(this, [](const auto& self, foundation::Timer&) { self->addTimerForRecoud(); }));
    recoudTimer_->fire();  // the first tick at the start
    return true;
}

void SoundRecording::addTimerForRecoud() {
    const int64_t c = recoudNum_;
    recoudNum_ = c + 1;
    if (!recoudTimer_ || !recoudTimer_->isValid()) return;  // no recording to show
    if (c < kTickLimit) {
        float power = -160;
        if (recorder_) {
            recorder_->updateMeters();
            power = recorder_->averagePowerForChannel(0);
        }
        ShowTheWindow::showTheWindown(levelForAveragePower(power));
        return;
    }
    recoudTimer_->invalidate();
    if (recorder_) {
        freeze(recorder_.get());
        recorder_->stop();  // the property keeps the stopped recorder
    }
    ShowTheWindow::removeTheWindow();
}

bool SoundRecording::stopRecorder() {
    if (recorder_) {
        freeze(recorder_.get());
        recorder_->stop();
        recorder_ = nullptr;
    }
    endLevelTimer();
    ShowTheWindow::removeTheWindow();
    return true;
}

void SoundRecording::audioRecorderDidFinishRecording(media::AudioRecorder& recorder, bool) {
    Take* found = takeFor(&recorder);
    if (!found) return;  // not one of ours, or already handled
    Take take = std::move(*found);
    takes_.erase(takes_.begin() + (found - takes_.data()));

    if (&recorder == recorder_.get()) {
        endLevelTimer();
        ShowTheWindow::removeTheWindow();
    }
    const SoundRecordingTake values = take.frozen ? *take.frozen : SoundRecordingTake{audioName_, recoudNum_};
    if (values.audioName.empty()) {
        // Cancelled: neither converted nor reported; its raw file goes.
        busyNames_.erase(take.baseName);
        FileAccess().deleteFile(take.baseName + kRawExtension);
        return;
    }
    startConversion(SoundRecordingTake{take.baseName, recordedSeconds(recorder)});
}

int64_t SoundRecording::recordedSeconds(const media::AudioRecorder& recorder) {
    // The samples the file holds after its header, at the recorder's rate and frame size.
    std::error_code error;
    const auto size = fs::file_size(recorder.url(), error);
    const auto& settings = recorder.settings();
    const double frameBytes = double(settings.numberOfChannels) * settings.linearPCMBitDepth / 8;
    double seconds = 0;
    if (!error && size > uintmax_t(media::AudioRecorder::kHeaderSize) && frameBytes > 0 && settings.sampleRate > 0)
        seconds = double(size - media::AudioRecorder::kHeaderSize) / frameBytes / settings.sampleRate;
    return std::max<int64_t>(1, std::llround(seconds));
}

// Conversion

void SoundRecording::startConversion(const SoundRecordingTake& take) {
    FileAccess files;
    auto caf = files.getFileByFileName(take.audioName + kRawExtension);
    auto mp3 = files.getFileByFileName(take.audioName + kMP3Extension);
    if (!caf || !mp3) {
        convertMp3Finish(take, mp3.value_or(""), MP3Conversion{false, "the recording name is not usable"});
        return;
    }
    changePCMtoMP3(take, *caf, *mp3);
}

std::string SoundRecording::changePCMtoMP3(const SoundRecordingTake& take, const fs::path& caf, const fs::path& mp3) {
    const std::string path = mp3.string();
    // The completion holds this object until it has reported on the main thread.
    VoiceEncoder::convertLater(caf, mp3, [self = shared_from_this(), take, path](const MP3Conversion& outcome) {
        self->convertMp3Finish(take, path, outcome);
    });
    return path;
}

void SoundRecording::convertMp3Finish(const SoundRecordingTake& take, const std::string& mp3Path,
                                      const MP3Conversion& outcome) {
    busyNames_.erase(take.audioName);
    auto delegate = delegate_.lock();
    FileAccess files;
    // The raw recording goes either way: no message is ever made from it later.
    if (files.isFileExists(take.audioName + kRawExtension)) files.deleteFile(take.audioName + kRawExtension);
    if (!outcome.succeeded) {
        foundation::log("SoundRecording: " + take.audioName + " not converted: " + outcome.failure);
        if (delegate) delegate->soundrecordingFailed(*this, mp3Path, double(take.recordTime), outcome.failure);
        return;
    }
    if (delegate) delegate->soundrecording(*this, mp3Path, double(take.recordTime));
}

// Playback

void SoundRecording::reportPlayback(bool finished) {
    if (auto delegate = delegate_.lock()) delegate->playedFinishedOrError(finished);
}

void SoundRecording::reportPlaybackLater(bool finished) {
    auto self = shared_from_this();
    foundation::dispatch::mainQueue()->async([self, finished] { self->reportPlayback(finished); });
}

void SoundRecording::playFile(const fs::path& path, bool withTypeHint) {
    media::Error error;
    auto player = media::AudioPlayer::makeWithContentsOfURL(
        path, withTypeHint ? std::optional<std::string>("mp3") : std::nullopt, &error);
    startPlayer(player, path, error);
}

void SoundRecording::startPlayer(const media::AudioPlayer::Ptr& player, const fs::path& path, const media::Error& error) {
    audioPlayer_ = player;
    if (!player) {
        foundation::log("SoundRecording: cannot play " + path.string() + ": " + error.localizedDescription);
        reportPlaybackLater(false);
        return;
    }
    player->setVolume(1.0f);
    media::AudioSession::sharedInstance().setCategory(media::AudioSessionCategory::SoloAmbient);
    player->setDelegate(weak_from_this());
    player->stop();
    player->prepareToPlay();
    player->play();  // undecodable data: the decode-error notice follows
}

void SoundRecording::playAudio(const std::string& pathOrURL) {
    audioName_ = pathOrURL;
    const unsigned long long session = ++playSession_;
    const std::string local = plainFileName(VoiceDownload::lastComponent(pathOrURL));
    if (!local.empty()) {
        const fs::path path = FileAccess::directory() / local;
        if (foundation::files::exists(path)) {
            playFile(path, true);
            return;
        }
    }
    if (auto stored = VoiceDownload::storedCopy(pathOrURL)) {
        // Fetched before under the server's name for it.
        playFile(*stored, true);
        return;
    }
    if (!VoiceDownload::isWebURL(pathOrURL)) {
        foundation::log("SoundRecording: no voice file and no web address: \"" + pathOrURL + "\"");
        audioPlayer_ = nullptr;
        reportPlaybackLater(false);
        return;
    }
    download(pathOrURL, session);
}

void SoundRecording::download(const std::string& url, unsigned long long session) {
    VoiceDownload::fetch(url, [self = shared_from_this(), session](const std::optional<fs::path>& file) {
        if (self->playSession_ != session) return;  // superseded by a later play or a stop
        if (!file) {
            self->audioPlayer_ = nullptr;
            self->reportPlayback(false);
            return;
        }
        // The player decodes the whole message when it is made: that happens on a worker, and
        // only the ready player comes back to the main thread.
        // The worker holds nothing of this object's or the player's: both end on the main thread.
        std::weak_ptr<SoundRecording> weak = self;
        foundation::dispatch::globalQueue()->async([weak, session, path = *file] {
            media::Error error;
            auto player = media::AudioPlayer::makeWithContentsOfURL(path, std::nullopt, &error);
            foundation::dispatch::mainQueue()->async([weak, session, path, player = std::move(player), error] {
                auto self = weak.lock();
                if (!self || self->playSession_ != session) return;
                self->startPlayer(player, path, error);
            });
        });
    });
}

void SoundRecording::playAudioData(const std::string& bytes) {
    ++playSession_;
    media::Error error;
    auto player = media::AudioPlayer::makeWithData(bytes, &error);
    audioPlayer_ = player;
    if (!player) {
        reportPlaybackLater(false);
        return;
    }
    player->setVolume(1.0f);
    media::AudioSession::sharedInstance().setCategory(media::AudioSessionCategory::SoloAmbient);
    player->setDelegate(weak_from_this());
    player->prepareToPlay();
    player->play();
}

void SoundRecording::stopAudioPlay() {
    ++playSession_;
    if (audioPlayer_) audioPlayer_->stop();
    audioPlayer_ = nullptr;
    reportPlayback(true);
}

void SoundRecording::audioPlayerDidFinishPlaying(media::AudioPlayer& player, bool) {
    if (&player != audioPlayer_.get()) return;  // a player already replaced or stopped
    reportPlayback(true);
}

void SoundRecording::audioPlayerDecodeErrorDidOccur(media::AudioPlayer& player, const media::Error& error) {
    if (&player != audioPlayer_.get()) return;
    foundation::log("SoundRecording: cannot decode the voice message: " + error.localizedFailureReason);
    reportPlayback(false);
}
