#include "VoiceTestSupport.h"

#include "platform/media/AudioSession.h"

namespace fs = std::filesystem;

namespace {

using RecordingTest = VoiceTest;

const std::string kName = "20261207100000";

}  // namespace

TEST_F(RecordingTest, ReleaseAfterAMomentReportsOneSecondAndARealMP3) {
    ASSERT_TRUE(sound->startRecorder(60, kName));
    EXPECT_EQ(media::AudioSession::sharedInstance().category(), media::AudioSessionCategory::PlayAndRecord);
    EXPECT_TRUE(media::AudioSession::sharedInstance().isActive());
    ASSERT_TRUE(sound->recorder());
    EXPECT_TRUE(sound->recorder()->isMeteringEnabled());
    EXPECT_EQ(sound->recorder()->url(), material(kName + ".caf"));
    EXPECT_EQ(sound->audioName(), kName);
    EXPECT_EQ(sound->recoudNum(), 1) << "the first tick comes at the start";
    EXPECT_EQ(overlay(), "microphone_1.png");

    advance(0.3);
    EXPECT_TRUE(sound->stopRecorder());
    EXPECT_FALSE(sound->recorder());
    EXPECT_EQ(overlay(), "");
    EXPECT_FALSE(sound->recoudTimer()) << "a release ends the level timer";
    advance(5);
    EXPECT_EQ(sound->recoudNum(), 1);

    ASSERT_TRUE(waitForReports(1));
    ASSERT_EQ(events->ended.size(), 1u);
    EXPECT_EQ(events->ended[0].path, material(kName + ".mp3").string());
    EXPECT_EQ(events->ended[0].time, 1.0);
    EXPECT_FALSE(fs::exists(material(kName + ".caf"))) << "the raw recording goes once converted";

    // The MP3 is what the encoder makes of the same microphone samples all at once.
    const int64_t frames = 13230;  // 0.3 s at 44100 Hz
    auto mp3 = foundation::files::read(material(kName + ".mp3")).value();
    auto direct = encodeDirectly(microphonePCM(frames));
    EXPECT_EQ(mp3, direct.mp3) << "streaming through fixed buffers changes nothing";
    auto info = media::AudioPlayer::decodeMP3(mp3);
    ASSERT_TRUE(info.decodable) << info.problem;
    EXPECT_EQ(info.sampleRate, 44100);
    EXPECT_EQ(info.channels, 2);
    // Without a LAME tag the decoder also plays the encoder's start-up delay and end padding;
    // taken off, the length is the recording's within one MP3 frame (the silent info frame).
    const double recorded = double(frames) / 44100;
    const double extra = double(direct.delay + direct.padding) / 44100;
    EXPECT_GE(info.duration - extra, recorded - 1e-9);
    EXPECT_LE(info.duration - extra, recorded + 1152.0 / 44100 + 1e-9);
}

TEST_F(RecordingTest, TheSixtyFirstTickOrTheRecordersLimitStopsAtSixtySeconds) {
    ASSERT_TRUE(sound->startRecorder(60, kName));
    for (int second = 1; second <= 59; ++second) advance(1.0);
    EXPECT_NE(overlay(), "");
    EXPECT_TRUE(sound->recorder()->isRecording());
    advance(1.0);
    EXPECT_EQ(overlay(), "");
    EXPECT_FALSE(sound->recoudTimer() && sound->recoudTimer()->isValid());
    advance(10.0);
    ASSERT_TRUE(waitForReports(1));
    ASSERT_EQ(events->ended.size(), 1u);
    EXPECT_EQ(events->ended[0].time, 60.0);
    auto info = media::AudioPlayer::decodeMP3(foundation::files::read(material(kName + ".mp3")).value());
    ASSERT_TRUE(info.decodable);
    EXPECT_NEAR(info.duration, 60.0, 0.2);
}

// The recorded time is the recording's length rounded to whole seconds, at least one; the
// tick at the start is not counted.
TEST_F(RecordingTest, TheRecordedTimeIsTheLengthInWholeSeconds) {
    const std::pair<double, double> takes[] = {{0.37, 1}, {1.5, 2}, {3.06, 3}, {10.06, 10}};
    size_t reports = 0;
    for (const auto& [length, seconds] : takes) {
        SCOPED_TRACE(length);
        ASSERT_TRUE(sound->startRecorder(60, kName + std::to_string(reports)));
        advance(length);
        sound->stopRecorder();
        ASSERT_TRUE(waitForReports(++reports));
        EXPECT_EQ(events->ended.back().time, seconds);
    }
}

TEST_F(RecordingTest, TheLevelFollowsTheRemainderRuleNotTheLoudness) {
    EXPECT_EQ(SoundRecording::levelForAveragePower(-35.7f), 3);
    EXPECT_EQ(SoundRecording::levelForAveragePower(-0.4f), 1);
    EXPECT_EQ(SoundRecording::levelForAveragePower(-113.2f), 1);
    EXPECT_EQ(SoundRecording::levelForAveragePower(-160.0f), 1);
    EXPECT_EQ(SoundRecording::levelForAveragePower(-90.0f), 1);
    EXPECT_EQ(SoundRecording::levelForAveragePower(-22.3f), 5);
    EXPECT_EQ(SoundRecording::levelForAveragePower(-21.0f), 5);
    EXPECT_EQ(SoundRecording::levelForAveragePower(-29.9f), 1);

    // Through the microphone: each tick measures the second before it.
    media::Microphone::shared().setTone(440, -35.7);
    ASSERT_TRUE(sound->startRecorder(60, kName));
    EXPECT_EQ(overlay(), "microphone_1.png") << "nothing measured yet at the start";
    advance(1.0);
    EXPECT_EQ(overlay(), "microphone_3.png");
    media::Microphone::shared().setTone(440, -22.3);
    advance(1.0);
    EXPECT_EQ(overlay(), "microphone_5.png");
    media::Microphone::shared().setSilence();
    advance(1.0);
    EXPECT_EQ(overlay(), "microphone_1.png");
    auto picture = window->viewWithTag(ShowTheWindow::kTag);
    EXPECT_EQ(picture->center().x, window->bounds().center().x);
    sound->stopRecorder();
    ASSERT_TRUE(waitForReports(1));
    EXPECT_EQ(events->ended[0].time, 3.0) << "three seconds recorded";
}

TEST_F(RecordingTest, NamesAreReplacedOrSuffixedOnlyWhereAMessageWouldBeLost) {
    // A stale raw file of that name is replaced.
    foundation::files::writeAtomically(material(kName + ".caf"), "left over from an earlier run");
    ASSERT_TRUE(sound->startRecorder(60, kName));
    EXPECT_EQ(sound->audioName(), kName);
    auto header = foundation::files::read(material(kName + ".caf")).value();
    EXPECT_EQ(header.substr(0, 4), "caff");
    advance(1.2);
    sound->stopRecorder();

    // A second recording in the same second, before the first is even converted.
    ASSERT_TRUE(sound->startRecorder(60, kName));
    EXPECT_EQ(sound->audioName(), kName + "_1");
    EXPECT_EQ(sound->deleteFileName(), kName + "_1");
    ASSERT_TRUE(waitForReports(1));
    advance(2.5);
    sound->stopRecorder();
    ASSERT_TRUE(waitForReports(2));

    // A third once the first MP3 exists and nothing is in flight.
    ASSERT_TRUE(sound->startRecorder(60, kName));
    EXPECT_EQ(sound->audioName(), kName + "_2");
    advance(0.5);
    sound->stopRecorder();
    ASSERT_TRUE(waitForReports(3));

    ASSERT_EQ(events->ended.size(), 3u);
    EXPECT_EQ(events->ended[0].path, material(kName + ".mp3").string());
    EXPECT_EQ(events->ended[0].time, 1.0);
    EXPECT_EQ(events->ended[1].path, material(kName + "_1.mp3").string());
    EXPECT_EQ(events->ended[1].time, 3.0);
    EXPECT_EQ(events->ended[2].path, material(kName + "_2.mp3").string());
    EXPECT_EQ(events->ended[2].time, 1.0);
    auto first = media::AudioPlayer::decodeMP3(foundation::files::read(material(kName + ".mp3")).value());
    auto second = media::AudioPlayer::decodeMP3(foundation::files::read(material(kName + "_1.mp3")).value());
    EXPECT_LT(first.duration, second.duration);
}

TEST_F(RecordingTest, EachRecordingKeepsItsNameAndTimeWhateverFollowsItsStop) {
    // Starting again while recording stops the running one first; it is still reported.
    ASSERT_TRUE(sound->startRecorder(60, "first"));
    advance(2.0);
    ASSERT_TRUE(sound->startRecorder(60, "second"));
    EXPECT_EQ(sound->recoudNum(), 1);
    EXPECT_EQ(overlay(), "microphone_1.png");
    ASSERT_TRUE(waitForReports(1));
    EXPECT_EQ(events->ended[0].path, material("first.mp3").string());
    EXPECT_EQ(events->ended[0].time, 2.0);
    EXPECT_NE(overlay(), "") << "the old recording's notice leaves the new overlay alone";
    EXPECT_TRUE(sound->recoudTimer() && sound->recoudTimer()->isValid());
    EXPECT_TRUE(fs::exists(material("second.caf")));

    // Released, then a new recording and its cancel before the conversion is reported.
    advance(1.5);
    sound->stopRecorder();
    ASSERT_TRUE(sound->startRecorder(60, "third"));
    advance(0.5);
    sound->setAudioName("");
    sound->stopRecorder();
    ASSERT_TRUE(waitForReports(2));
    drain();
    ASSERT_EQ(events->ended.size(), 2u);
    EXPECT_EQ(events->ended[1].path, material("second.mp3").string());
    EXPECT_EQ(events->ended[1].time, 2.0);
    EXPECT_FALSE(fs::exists(material("third.mp3")));
    EXPECT_FALSE(fs::exists(material("third.caf"))) << "a cancelled recording's raw file goes";
    EXPECT_TRUE(events->failures.empty());
}

TEST_F(RecordingTest, ACancelledRecordingIsNeitherConvertedNorReported) {
    ASSERT_TRUE(sound->startRecorder(60, kName));
    advance(3.0);
    sound->setAudioName("");
    sound->stopRecorder();
    EXPECT_EQ(overlay(), "");
    drain();
    EXPECT_EQ(SoundRecording::runningConversions(), 0);
    advance(1.0);
    EXPECT_TRUE(events->ended.empty());
    EXPECT_TRUE(events->failures.empty());
    EXPECT_FALSE(fs::exists(material(kName + ".mp3")));
    EXPECT_FALSE(fs::exists(material(kName + ".caf")));
    EXPECT_EQ(sound->deleteFileName(), kName);
}

TEST_F(RecordingTest, AStartThatCannotRecordLeavesNoTimerNoOverlayNoRecorder) {
    media::AudioSession::setSimulation({.categoryFails = true});
    EXPECT_FALSE(sound->startRecorder(60, kName));
    media::AudioSession::setSimulation({.activationFails = true});
    EXPECT_FALSE(sound->startRecorder(60, kName));
    media::AudioSession::setSimulation({});
    EXPECT_FALSE(sound->startRecorder(60, "../outside"));
    EXPECT_FALSE(sound->startRecorder(60, ""));
    EXPECT_FALSE(sound->recorder());
    EXPECT_FALSE(sound->recoudTimer());
    EXPECT_EQ(overlay(), "");

    // The raw file cannot be made: a directory of that name that cannot be removed.
    fs::create_directories(material(kName + ".caf") / "inside");
    EXPECT_FALSE(sound->startRecorder(60, kName));
    EXPECT_FALSE(sound->recorder());
    EXPECT_FALSE(sound->recoudTimer());
    EXPECT_EQ(overlay(), "");
    advance(70);
    EXPECT_TRUE(events->ended.empty());
    EXPECT_TRUE(events->failures.empty());
}

TEST_F(RecordingTest, AFailedConversionIsReportedAsAFailureAndLeavesNoPartialMP3) {
    // The raw file disappears before the conversion.
    ASSERT_TRUE(sound->startRecorder(60, "gone"));
    advance(1.0);
    sound->stopRecorder();
    fs::remove(material("gone.caf"));
    ASSERT_TRUE(waitForReports(1));
    EXPECT_EQ(events->failures.size(), 1u);
    EXPECT_TRUE(events->ended.empty());
    EXPECT_FALSE(fs::exists(material("gone.mp3")));

    // The MP3 cannot be written: a directory took its name meanwhile.
    ASSERT_TRUE(sound->startRecorder(60, "blocked"));
    fs::create_directories(material("blocked.mp3") / "inside");
    advance(1.0);
    sound->stopRecorder();
    ASSERT_TRUE(waitForReports(2));
    EXPECT_EQ(events->failures.size(), 2u);
    EXPECT_TRUE(events->ended.empty());
    EXPECT_TRUE(fs::is_directory(material("blocked.mp3")));
    EXPECT_TRUE(fs::exists(material("blocked.mp3") / "inside")) << "nothing written into it";
    EXPECT_FALSE(fs::exists(material("blocked.caf"))) << "a raw recording that cannot be converted goes";
}

TEST_F(RecordingTest, ARecordingAbandonedWithItsRecorderLeavesNoRawFile) {
    ASSERT_TRUE(sound->startRecorder(60, "left"));
    advance(2.0);
    ASSERT_TRUE(fs::exists(material("left.caf")));
    sound.reset();  // the chat screen went away mid-recording
    drain();
    advance(1.0);
    EXPECT_FALSE(fs::exists(material("left.caf")));
    EXPECT_FALSE(fs::exists(material("left.mp3")));
    EXPECT_EQ(overlay(), "");
    EXPECT_TRUE(events->ended.empty());

    // Stopped but its notice not heard yet: abandoned just the same.
    sound = std::make_shared<SoundRecording>();
    sound->setDelegate(events);
    ASSERT_TRUE(sound->startRecorder(60, "stopped"));
    advance(1.0);
    sound->stopRecorder();
    sound.reset();
    drain();
    EXPECT_FALSE(fs::exists(material("stopped.caf")));
    EXPECT_TRUE(events->ended.empty());
}

TEST_F(RecordingTest, TheConverterRejectsRecordingsWithoutAudio) {
    const fs::path dir = FileAccess::directory();
    foundation::files::writeAtomically(dir / "short.caf", "caff too short");
    auto outcome = VoiceEncoder::convertPCMFileToMP3(dir / "short.caf", dir / "short.mp3");
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_FALSE(fs::exists(dir / "short.mp3"));

    writeRawRecording(dir / "header.caf", {});
    outcome = VoiceEncoder::convertPCMFileToMP3(dir / "header.caf", dir / "header.mp3");
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_FALSE(fs::exists(dir / "header.mp3")) << "the flushed remainder is removed";

    // An odd trailing byte is not a frame; a stale MP3 of that name is replaced.
    auto pcm = microphonePCM(20000);
    writeRawRecording(dir / "odd.caf", pcm);
    {
        std::FILE* f = std::fopen((dir / "odd.caf").c_str(), "ab");
        std::fputc(7, f);
        std::fclose(f);
    }
    foundation::files::writeAtomically(dir / "odd.mp3", "stale");
    outcome = VoiceEncoder::convertPCMFileToMP3(dir / "odd.caf", dir / "odd.mp3");
    ASSERT_TRUE(outcome.succeeded) << outcome.failure;
    EXPECT_EQ(outcome.frames, 20000);
    EXPECT_EQ(foundation::files::read(dir / "odd.mp3").value(), encodeDirectly(pcm).mp3);
}

TEST_F(RecordingTest, TheConversionKeepsTheRecorderAliveUntilItReports) {
    ASSERT_TRUE(sound->startRecorder(60, kName));
    advance(1.5);
    sound->stopRecorder();
    drain();  // the finish notice starts the conversion
    std::weak_ptr<SoundRecording> weak = sound;
    sound.reset();
    ASSERT_TRUE(waitForReports(1));
    EXPECT_EQ(events->ended.size(), 1u);
    EXPECT_EQ(events->ended[0].time, 2.0);
    EXPECT_TRUE(fs::exists(material(kName + ".mp3")));
    EXPECT_TRUE(runUntil([&] { return weak.expired(); }));
}

TEST_F(RecordingTest, ALongRecordingIsConvertedInChunksLikeTheEncoderOnAllSamplesAtOnce) {
    ASSERT_TRUE(sound->startRecorder(60, kName));
    advance(7.25);
    sound->stopRecorder();
    ASSERT_TRUE(waitForReports(1));
    auto mp3 = foundation::files::read(material(kName + ".mp3")).value();
    EXPECT_EQ(mp3, encodeDirectly(microphonePCM(int64_t(7.25 * 44100))).mp3);
}
