#include <atomic>
#include <cstdlib>

#include "VoiceTestSupport.h"
#include "liability/chat/VoiceEncoder.h"

namespace fs = std::filesystem;

namespace {

// The voice queue held by a task until the test lets it go (also when the test fails early).
class QueueGate {
public:
    QueueGate() {
        VoiceEncoder::queue()->async([open = open_] {
            while (!open->load()) std::this_thread::yield();
        });
    }
    ~QueueGate() { release(); }
    void release() { open_->store(true); }

private:
    std::shared_ptr<std::atomic<bool>> open_ = std::make_shared<std::atomic<bool>>(false);
};

using ConversionQueueTest = VoiceTest;

constexpr const char* kExitDirectory = "VESKARD_VOICE_EXIT_DIR";

}  // namespace

TEST_F(ConversionQueueTest, TheConversionRunsOnTheVoiceQueueAndTheDelegateHearsOnTheMainThread) {
    QueueGate gate;
    ASSERT_TRUE(sound->startRecorder(60, "queued"));
    advance(2.5);
    sound->stopRecorder();
    advance(5);  // the finish notice queues the conversion behind the gate
    EXPECT_EQ(SoundRecording::runningConversions(), 1);
    EXPECT_TRUE(events->ended.empty());
    EXPECT_FALSE(fs::exists(material("queued.mp3"))) << "nothing converts while the queue is held";

    // A task queued behind the conversion finds its MP3 whole: the conversion ran on this queue.
    std::atomic<bool> probed{false};
    std::string seenByProbe;
    VoiceEncoder::queue()->async([&, mp3 = material("queued.mp3")] {
        seenByProbe = foundation::files::read(mp3).value_or("");
        probed = true;
    });
    gate.release();
    ASSERT_TRUE(waitForReports(1));
    ASSERT_EQ(events->ended.size(), 1u);
    EXPECT_TRUE(events->ended[0].onMainThread);
    EXPECT_EQ(events->ended[0].time, 3.0);
    ASSERT_TRUE(runUntil([&] { return probed.load(); }));
    const std::string expected = encodeDirectly(microphonePCM(int64_t(2.5 * 44100))).mp3;
    EXPECT_EQ(seenByProbe, expected);
    EXPECT_EQ(foundation::files::read(material("queued.mp3")).value_or(""), expected);
    EXPECT_TRUE(runUntil([] { return SoundRecording::runningConversions() == 0; }));
}

TEST_F(ConversionQueueTest, ConversionsRunOneAfterAnotherAndReportInOrder) {
    for (const char* name : {"one", "two", "three"}) {
        ASSERT_TRUE(sound->startRecorder(60, name));
        advance(1.2);
        sound->stopRecorder();
        drain();
    }
    ASSERT_TRUE(waitForReports(3));
    ASSERT_EQ(events->ended.size(), 3u);
    EXPECT_EQ(events->ended[0].path, material("one.mp3").string());
    EXPECT_EQ(events->ended[1].path, material("two.mp3").string());
    EXPECT_EQ(events->ended[2].path, material("three.mp3").string());
    for (const auto& ended : events->ended) EXPECT_TRUE(ended.onMainThread);
}

TEST_F(ConversionQueueTest, FinishingPendingConversionsLeavesEveryMP3CompleteBeforeTheReports) {
    ASSERT_TRUE(sound->startRecorder(60, "leaving"));
    advance(7.25);
    sound->stopRecorder();
    drain();  // the finish notice queues the conversion
    ASSERT_EQ(SoundRecording::runningConversions(), 1);

    VoiceEncoder::finishPendingConversions();  // the way out: the main loop does not turn here
    EXPECT_EQ(foundation::files::read(material("leaving.mp3")).value_or(""),
              encodeDirectly(microphonePCM(int64_t(7.25 * 44100))).mp3);
    EXPECT_TRUE(events->ended.empty()) << "the report waits for the main thread";
    EXPECT_EQ(VoiceEncoder::queue()->pending(), 0u);

    ASSERT_TRUE(waitForReports(1));
    EXPECT_EQ(events->ended[0].path, material("leaving.mp3").string());
    EXPECT_FALSE(fs::exists(material("leaving.caf")));
}

TEST_F(ConversionQueueTest, ExitingTheProcessFinishesTheConversionUnderWay) {
    // The test and the copy of the program that exits share one directory.
    const char* given = std::getenv(kExitDirectory);
    const fs::path dir = given ? fs::path(given) : FileAccess::directory();
    const auto pcm = microphonePCM(int64_t(4.5 * 44100));
    if (!given) {
        writeRawRecording(dir / "exit.caf", pcm);
        setenv(kExitDirectory, dir.c_str(), 1);
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::error_code ec;
            fs::remove_all(sandboxRoot, ec);  // this copy's own sandbox is not needed
            // The conversion is held until the exit has begun: the handler registered after
            // the queue came into being runs before the queue's static is destroyed.
            static std::atomic<bool> leaving{false};
            VoiceEncoder::queue();
            std::atexit([] { leaving = true; });
            VoiceEncoder::queue()->async([] {
                while (!leaving) std::this_thread::yield();
            });
            VoiceEncoder::convertLater(dir / "exit.caf", dir / "exit.mp3", [](const MP3Conversion&) {});
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
    unsetenv(kExitDirectory);
    EXPECT_EQ(foundation::files::read(dir / "exit.mp3").value_or(""), encodeDirectly(pcm).mp3)
        << "the exit waited for the whole MP3";
}
