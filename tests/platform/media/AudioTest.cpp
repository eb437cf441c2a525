#include <lame/lame.h>

#include <cmath>
#include <cstring>

#include "MediaTestSupport.h"
#include "platform/foundation/Sandbox.h"
#include "platform/media/AudioPlayer.h"
#include "platform/media/AudioRecorder.h"

using namespace media;

namespace {

struct RecorderEvents : AudioRecorderDelegate {
    int finished = 0;
    bool successfully = false;
    void audioRecorderDidFinishRecording(AudioRecorder&, bool ok) override {
        ++finished;
        successfully = ok;
    }
};

struct PlayerEvents : AudioPlayerDelegate {
    int finished = 0;
    int decodeErrors = 0;
    void audioPlayerDidFinishPlaying(AudioPlayer&, bool) override { ++finished; }
    void audioPlayerDecodeErrorDidOccur(AudioPlayer&, const Error&) override { ++decodeErrors; }
};

// Real MP3 bytes: `seconds` of a 440 Hz stereo tone at 44.1 kHz through LAME.
std::string makeMP3(double seconds) {
    lame_t lame = lame_init();
    lame_set_in_samplerate(lame, 44100);
    lame_set_VBR(lame, vbr_default);
    lame_init_params(lame);
    const int frames = int(seconds * 44100);
    std::vector<short> pcm(size_t(frames) * 2);
    for (int i = 0; i < frames; ++i) pcm[size_t(2 * i)] = pcm[size_t(2 * i + 1)] = short(8000 * std::sin(i * 0.0627));
    std::vector<unsigned char> buffer(size_t(frames) + 7200 + 8192);
    int n = lame_encode_buffer_interleaved(lame, pcm.data(), frames, buffer.data(), int(buffer.size()));
    std::string mp3(reinterpret_cast<char*>(buffer.data()), size_t(std::max(0, n)));
    n = lame_encode_flush(lame, buffer.data(), int(buffer.size()));
    mp3.append(reinterpret_cast<char*>(buffer.data()), size_t(std::max(0, n)));
    lame_close(lame);
    return mp3;
}

class AudioTest : public MediaTest {
protected:
    std::filesystem::path cafPath() const { return sandboxRoot / "voice.caf"; }
    AudioRecorder::Ptr makeRecorder() {
        auto r = AudioRecorder::make(cafPath(), AudioRecorderSettings{});
        r->setDelegate(recorderEvents);
        r->setMeteringEnabled(true);
        return r;
    }
    std::shared_ptr<RecorderEvents> recorderEvents = std::make_shared<RecorderEvents>();
    std::shared_ptr<PlayerEvents> playerEvents = std::make_shared<PlayerEvents>();
};

}  // namespace

TEST_F(AudioTest, OneSecondOfRecordingIsTheHeaderAndOneSecondOfStereoPCM) {
    auto recorder = makeRecorder();
    ASSERT_TRUE(recorder->prepareToRecord());
    ASSERT_TRUE(recorder->record());
    EXPECT_TRUE(recorder->isRecording());
    advance(1.0);
    EXPECT_DOUBLE_EQ(recorder->currentTime(), 1.0);
    recorder->stop();
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(foundation::files::size(cafPath()), 4096 + 44100 * 4);
    EXPECT_EQ(recorderEvents->finished, 0) << "the delegate hears on the main loop, not inside stop";
    drain();
    EXPECT_EQ(recorderEvents->finished, 1);
    EXPECT_TRUE(recorderEvents->successfully);

    // A Core Audio file whose audio data begins right after the 4096-byte header.
    auto bytes = foundation::files::read(cafPath()).value();
    EXPECT_EQ(bytes.substr(0, 4), "caff");
    EXPECT_EQ(bytes.substr(4096 - 16, 4), "data");
}

TEST_F(AudioTest, RecordForDurationStopsByItselfOnTheClock) {
    auto recorder = makeRecorder();
    ASSERT_TRUE(recorder->recordForDuration(2.0));
    advance(1.5);
    EXPECT_TRUE(recorder->isRecording());
    advance(1.0);
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(recorderEvents->finished, 1);
    EXPECT_EQ(foundation::files::size(cafPath()), 4096 + 2 * 44100 * 4);

    // Recording again under the same name replaces the file.
    auto again = makeRecorder();
    ASSERT_TRUE(again->record());
    advance(0.5);
    again->stop();
    EXPECT_EQ(foundation::files::size(cafPath()), 4096 + 22050 * 4);
}

TEST_F(AudioTest, MeteringFollowsTheTonesLoudness) {
    auto recorder = makeRecorder();
    ASSERT_TRUE(recorder->record());
    for (double level : {-20.0, -35.7, -50.0, -3.0}) {
        Microphone::shared().setTone(440, level);
        advance(0.5);
        recorder->updateMeters();
        EXPECT_NEAR(recorder->averagePowerForChannel(0), level, 0.2) << level;
        EXPECT_NEAR(recorder->averagePowerForChannel(1), level, 0.2) << level;
        EXPECT_GT(recorder->peakPowerForChannel(0), recorder->averagePowerForChannel(0));
    }
    Microphone::shared().setSilence();
    advance(0.5);
    recorder->updateMeters();
    EXPECT_EQ(recorder->averagePowerForChannel(0), -160.0f);
    recorder->stop();
}

TEST_F(AudioTest, TheMicrophonePlaysAWavFile) {
    // A mono WAV of 1000 rising samples at 44.1 kHz.
    std::string wav = "RIFF    WAVEfmt ";
    auto le = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) wav.push_back(char((v >> (8 * i)) & 0xff));
    };
    le(16, 4), le(1, 2), le(1, 2), le(44100, 4), le(88200, 4), le(2, 2), le(16, 2);
    wav += "data";
    le(2000, 4);
    for (int i = 0; i < 1000; ++i) le(uint32_t(i * 10), 2);
    ASSERT_TRUE(foundation::files::writeAtomically(sandboxRoot / "voice.wav", wav));
    ASSERT_TRUE(Microphone::shared().setWavFile(sandboxRoot / "voice.wav"));
    EXPECT_FALSE(Microphone::shared().setWavFile(sandboxRoot / "missing.wav"));

    auto recorder = makeRecorder();
    ASSERT_TRUE(recorder->record());
    advance(0.1);
    recorder->stop();
    auto bytes = foundation::files::read(cafPath()).value();
    ASSERT_EQ(bytes.size(), 4096u + 4410 * 4);
    std::vector<int16_t> pcm((bytes.size() - 4096) / 2);
    std::memcpy(pcm.data(), bytes.data() + 4096, pcm.size() * 2);
    EXPECT_EQ(pcm[2 * 500], 5000);
    EXPECT_EQ(pcm[2 * 500 + 1], 5000) << "a mono file fills both channels";
    EXPECT_EQ(pcm[2 * 2000], 0) << "silence after the end of the file";
}

TEST_F(AudioTest, RecorderAndSessionRefusals) {
    Error error;
    AudioRecorderSettings mp3;
    mp3.formatID = 0x2E6D7033;  // '.mp3'
    EXPECT_FALSE(AudioRecorder::make(cafPath(), mp3, &error));
    EXPECT_FALSE(error.localizedFailureReason.empty());
    auto nowhere = AudioRecorder::make(sandboxRoot / "no" / "such" / "dir.caf", AudioRecorderSettings{});
    ASSERT_TRUE(nowhere);
    EXPECT_FALSE(nowhere->prepareToRecord());
    EXPECT_FALSE(nowhere->record());

    auto& session = AudioSession::sharedInstance();
    EXPECT_TRUE(session.setCategory(AudioSessionCategory::PlayAndRecord));
    EXPECT_TRUE(session.setActive(true));
    AudioSession::setSimulation({.categoryFails = true, .activationFails = true});
    EXPECT_FALSE(session.setCategory(AudioSessionCategory::SoloAmbient, &error));
    EXPECT_EQ(session.category(), AudioSessionCategory::PlayAndRecord);
    EXPECT_FALSE(session.setActive(true, &error));
    EXPECT_FALSE(error.localizedDescription.empty());
}

TEST_F(AudioTest, PlayerKnowsAnMP3sDurationAndFinishesOnTheClock) {
    const std::string mp3 = makeMP3(1.0);
    ASSERT_TRUE(foundation::files::writeAtomically(sandboxRoot / "voice.mp3", mp3));
    auto player = AudioPlayer::makeWithContentsOfURL(sandboxRoot / "voice.mp3", std::string("mp3"));
    ASSERT_TRUE(player);
    // The encoder adds its delay, padding and an empty tag frame: a few MP3 frames of 1152 samples.
    EXPECT_GE(player->duration(), 1.0);
    EXPECT_LT(player->duration(), 1.0 + 3 * 1152 / 44100.0);
    player->setDelegate(playerEvents);
    player->setVolume(1.0);
    ASSERT_TRUE(player->prepareToPlay());
    ASSERT_TRUE(player->play());
    advance(0.5);
    EXPECT_TRUE(player->isPlaying());
    EXPECT_EQ(playerEvents->finished, 0);
    advance(0.6);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(playerEvents->finished, 1);

    // Stopped playback reports nothing; bytes play like the file.
    auto fromBytes = AudioPlayer::makeWithData(makeMP3(3.0));
    ASSERT_TRUE(fromBytes);
    EXPECT_GE(fromBytes->duration(), 3.0);
    EXPECT_LT(fromBytes->duration(), 3.0 + 3 * 1152 / 44100.0);
    fromBytes->setDelegate(playerEvents);
    fromBytes->play();
    advance(1.0);
    fromBytes->stop();
    advance(5.0);
    EXPECT_EQ(playerEvents->finished, 1);
    EXPECT_NEAR(fromBytes->currentTime(), 1.0, 1e-9);
}

TEST_F(AudioTest, UndecodableDataGivesADecodeError) {
    std::string garbage;
    for (int i = 0; i < 200; ++i) garbage += "this is not audio at all; ";
    auto player = AudioPlayer::makeWithData(garbage);
    ASSERT_TRUE(player);
    player->setDelegate(playerEvents);
    EXPECT_FALSE(player->prepareToPlay());
    EXPECT_FALSE(player->play());
    drain();
    EXPECT_EQ(playerEvents->decodeErrors, 1);
    EXPECT_EQ(playerEvents->finished, 0);

    // A truncated MP3 still plays what it holds.
    const std::string mp3 = makeMP3(2.0);
    auto half = AudioPlayer::makeWithData(mp3.substr(0, mp3.size() / 2));
    ASSERT_TRUE(half);
    EXPECT_GT(half->duration(), 0.5);
    EXPECT_LT(half->duration(), 1.5);

    Error error;
    EXPECT_FALSE(AudioPlayer::makeWithContentsOfURL(sandboxRoot / "missing.mp3", std::nullopt, &error));
    EXPECT_FALSE(error.localizedDescription.empty());
    EXPECT_FALSE(AudioPlayer::makeWithData(""));
}
