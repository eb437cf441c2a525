#include "liability/chat/SoundRecording.h"

#include <lame/lame.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <thread>

#include "core/FileAccess.h"
#include "core/ShowTheWindow.h"
#include "network/URLSessionManager.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"
#include "platform/media/AudioSession.h"

namespace fs = std::filesystem;

std::atomic<int> SoundRecording::runningConversions_{0};

namespace {

constexpr const char* kRawExtension = ".caf";
constexpr const char* kMP3Extension = ".mp3";

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

std::string lowerCase(std::string s) {
    for (auto& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool isWebURL(const std::string& s) {
    const std::string l = lowerCase(s.substr(0, 8));
    return l.rfind("http://", 0) == 0 || l.rfind("https://", 0) == 0;
}

std::string percentDecoded(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out.push_back(char(std::stoi(s.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

// The file name a Content-Disposition header gives ("filename*=UTF-8''..." wins over
// "filename=..."); empty when it names none.
std::string dispositionFileName(const std::string& header) {
    std::string plain, extended;
    size_t pos = 0;
    while (pos < header.size()) {
        size_t semicolon = header.find(';', pos);
        // A quoted value may hold ';'.
        size_t quote = header.find('"', pos);
        if (quote != std::string::npos && quote < semicolon) {
            size_t close = header.find('"', quote + 1);
            semicolon = close == std::string::npos ? std::string::npos : header.find(';', close);
        }
        std::string part = header.substr(pos, semicolon == std::string::npos ? std::string::npos : semicolon - pos);
        pos = semicolon == std::string::npos ? header.size() : semicolon + 1;
        size_t eq = part.find('=');
        if (eq == std::string::npos) continue;
        std::string key = part.substr(0, eq), value = part.substr(eq + 1);
        key.erase(0, key.find_first_not_of(" \t"));
        key.erase(key.find_last_not_of(" \t") + 1);
        value.erase(0, value.find_first_not_of(" \t"));
        value.erase(value.find_last_not_of(" \t") + 1);
        key = lowerCase(key);
        if (key == "filename") {
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
            plain = value;
        } else if (key == "filename*") {
            size_t tick = value.find("''");
            extended = percentDecoded(tick == std::string::npos ? value : value.substr(tick + 2));
        }
    }
    return extended.empty() ? plain : extended;
}

// The last "/"-separated component of a path or URL (a URL without its query and fragment).
std::string lastComponent(const std::string& s) {
    std::string path = s;
    if (isWebURL(s)) {
        size_t cut = path.find_first_of("?#");
        if (cut != std::string::npos) path.resize(cut);
    }
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name beside `name` in the case material directory that no file has yet: name, name-1...
fs::path unusedPath(const std::string& name) {
    const fs::path dir = FileAccess::directory();
    fs::path candidate = dir / name;
    const fs::path stem = fs::path(name).stem(), extension = fs::path(name).extension();
    for (int n = 1; foundation::files::exists(candidate); ++n) {
        candidate = dir / (stem.string() + "-" + std::to_string(n) + extension.string());
    }
    return candidate;
}

}  // namespace

SoundRecording::~SoundRecording() {
    const bool overlay = recoudTimer_ && recoudTimer_->isValid();
    if (recoudTimer_) recoudTimer_->invalidate();
    if (recorder_ && recorder_->isRecording()) recorder_->stop();
    if (overlay) ShowTheWindow::removeTheWindow();
}

int SoundRecording::runningConversions() { return runningConversions_.load(); }

int SoundRecording::levelForAveragePower(float decibels) {
    // Meter readings lie in -160..0; anything else (or NaN) is taken at the nearest end.
    double p = std::isnan(decibels) ? -160.0 : std::clamp(double(decibels), -160.0, 0.0);
    const int32_t t = static_cast<int32_t>(p);  // toward zero
    const int32_t r = (t + 100) % 10;           // sign of the dividend
    return r >= 0 ? r / 2 + 1 : 1;
}

std::string SoundRecording::plainFileName(const std::string& name) {
    std::string plain = name;
    size_t cut = plain.find_last_of("/\\");
    if (cut != std::string::npos) plain = plain.substr(cut + 1);
    plain.erase(std::remove_if(plain.begin(), plain.end(),
                               [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }),
                plain.end());
    plain.erase(0, plain.find_first_not_of(" ."));  // no hidden files, no "." or ".."
    while (!plain.empty() && plain.back() == ' ') plain.pop_back();
    if (plain.size() > 200) {
        // Keep the end (with the extension), starting on a whole UTF-8 character.
        size_t start = plain.size() - 200;
        while (start < plain.size() && (static_cast<unsigned char>(plain[start]) & 0xC0) == 0x80) ++start;
        plain = plain.substr(start);
    }
    return FileAccess::isAcceptableName(plain) ? plain : std::string();
}

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
    std::weak_ptr<SoundRecording> weak = weak_from_this();
    recoudTimer_ = foundation::RunLoop::main().scheduleTimer(1.0, true, [weak](foundation::Timer&) {
        if (auto self = weak.lock()) self->addTimerForRecoud();
    });
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
    startConversion(SoundRecordingTake{take.baseName, values.recordTime});
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
    auto self = shared_from_this();
    ++runningConversions_;
    try {
        std::thread([self, take, caf = fs::path(*caf), mp3 = fs::path(*mp3)]() mutable {
            // The thread holds the object until the main thread takes it over.
            SoundRecording* object = self.get();
            object->convert(self, take, caf, mp3);
            --runningConversions_;
        }).detach();
    } catch (const std::exception& e) {
        --runningConversions_;
        convertMp3Finish(take, *mp3, MP3Conversion{false, std::string("no conversion thread: ") + e.what()});
    }
}

std::string SoundRecording::changePCMtoMP3(const SoundRecordingTake& take, const fs::path& caf, const fs::path& mp3) {
    std::shared_ptr<SoundRecording> owner = shared_from_this();
    return convert(owner, take, caf, mp3);
}

std::string SoundRecording::convert(std::shared_ptr<SoundRecording>& owner, const SoundRecordingTake& take,
                                    const fs::path& caf, const fs::path& mp3) {
    MP3Conversion outcome;
    try {
        outcome = convertPCMFileToMP3(caf, mp3);
    } catch (const std::exception& e) {
        outcome = MP3Conversion{false, std::string("the conversion failed: ") + e.what()};
        std::error_code ec;
        fs::remove(mp3, ec);
    } catch (...) {
        outcome = MP3Conversion{false, "the conversion failed"};
        std::error_code ec;
        fs::remove(mp3, ec);
    }
    // Hand over to the main thread and wait until the completion has run: the MP3 is closed
    // before anyone hears of it, and the object is let go of there, never on this thread.
    const std::string path = mp3.string();
    try {
        foundation::dispatch::mainQueue()->sync([&] {
            auto self = std::move(owner);
            self->convertMp3Finish(take, path, outcome);
        });
    } catch (...) {
        foundation::log("SoundRecording: the completion of " + path + " failed");
    }
    return path;
}

MP3Conversion SoundRecording::convertPCMFileToMP3(const fs::path& caf, const fs::path& mp3) {
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

    File out(std::fopen(mp3.c_str(), "wb"));
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

void SoundRecording::convertMp3Finish(const SoundRecordingTake& take, const std::string& mp3Path,
                                      const MP3Conversion& outcome) {
    busyNames_.erase(take.audioName);
    auto delegate = delegate_.lock();
    if (!outcome.succeeded) {
        // The raw recording stays: it is the only copy of the voice.
        foundation::log("SoundRecording: " + take.audioName + " not converted: " + outcome.failure);
        if (delegate) delegate->soundrecordingFailed(*this, outcome.failure);
        return;
    }
    if (delegate) delegate->soundrecording(*this, mp3Path, double(take.recordTime));
    FileAccess files;
    if (files.isFileExists(take.audioName + kRawExtension)) files.deleteFile(take.audioName + kRawExtension);
}

// Playback

void SoundRecording::reportPlayback(bool finished) {
    if (auto delegate = delegate_.lock()) delegate->playedFinishedOrError(finished);
}

void SoundRecording::reportPlaybackLater(bool finished) {
    auto self = shared_from_this();
    foundation::RunLoop::main().post([self, finished] { self->reportPlayback(finished); });
}

void SoundRecording::playFile(const fs::path& path, bool withTypeHint) {
    media::Error error;
    auto player = media::AudioPlayer::makeWithContentsOfURL(
        path, withTypeHint ? std::optional<std::string>("mp3") : std::nullopt, &error);
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
    const std::string local = plainFileName(lastComponent(pathOrURL));
    if (!local.empty()) {
        const fs::path path = FileAccess::directory() / local;
        if (foundation::files::exists(path)) {
            playFile(path, true);
            return;
        }
    }
    if (!isWebURL(pathOrURL)) {
        foundation::log("SoundRecording: no voice file and no web address: \"" + pathOrURL + "\"");
        audioPlayer_ = nullptr;
        reportPlaybackLater(false);
        return;
    }
    download(pathOrURL, session);
}

void SoundRecording::download(const std::string& url, unsigned long long session) {
    URLSessionManager manager(URLSessionConfiguration::defaultSessionConfiguration());
    const std::string localName = plainFileName(lastComponent(url));
    auto destination = [localName](const fs::path& temporary, const URLSessionResponse& response) -> fs::path {
        if (response.statusCode < 200 || response.statusCode > 299) {
            foundation::log("SoundRecording: download answered " + std::to_string(response.statusCode));
            return {};
        }
        // Only a voice message is kept.
        auto bytes = foundation::files::read(temporary);
        if (!bytes || !media::AudioPlayer::decodeMP3(*bytes).decodable) {
            foundation::log("SoundRecording: the download is no playable MP3");
            return {};
        }
        // The server's name for the file, else the requested address's, else the answer's.
        std::string name;
        auto header = response.allHeaderFields.find("content-disposition");
        if (header != response.allHeaderFields.end()) name = plainFileName(dispositionFileName(header->second));
        if (name.empty()) name = localName;
        if (name.empty()) name = plainFileName(response.suggestedFilename());
        if (name.empty()) name = "voice.mp3";
        return unusedPath(name);  // never over an existing file
    };
    auto self = shared_from_this();
    auto completion = [self, session](const URLSessionResponse&, const fs::path& file,
                                      const std::optional<URLSessionError>& error) {
        if (self->playSession_ != session) return;  // superseded by a later play or a stop
        if (error || file.empty()) {
            self->audioPlayer_ = nullptr;
            self->reportPlayback(false);
            return;
        }
        self->playFile(file, false);
    };
    auto task = manager.downloadTaskWithRequest(URLSessionRequest::requestWithURL(url), nullptr, destination,
                                                completion);
    task->resume();
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
