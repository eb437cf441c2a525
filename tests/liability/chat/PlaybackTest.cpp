#include "VoiceTestSupport.h"

#include <nlohmann/json.hpp>

#include "liability/chat/VoiceDownload.h"
#include "platform/media/AudioSession.h"
#include "support/HostileServer.h"

namespace fs = std::filesystem;

namespace {

class PlaybackTest : public VoiceTest {
protected:
    bool waitForPlayingOrReport() {
        return runUntil([&] {
            return !events->played.empty() || (sound->audioPlayer() && sound->audioPlayer()->isPlaying());
        });
    }
    // Every file in the sandbox outside the case material directory's voice files.
    std::vector<fs::path> filesNamed(const std::string& name) const {
        std::vector<fs::path> found;
        for (auto& entry : fs::recursive_directory_iterator(sandboxRoot))
            if (entry.path().filename() == name) found.push_back(entry.path());
        return found;
    }

    VoiceServer server;
    std::string twoSeconds = voiceMP3(2.0);
};

}  // namespace

TEST_F(PlaybackTest, AStoredMessagePlaysAtOnceWithoutTheNetwork) {
    foundation::files::writeAtomically(material("20261207100000.mp3"), twoSeconds);
    sound->playAudio(server.url("/voice/20261207100000.mp3"));
    ASSERT_TRUE(sound->audioPlayer());
    EXPECT_TRUE(sound->audioPlayer()->isPlaying());
    EXPECT_EQ(sound->audioPlayer()->url(), material("20261207100000.mp3"));
    EXPECT_EQ(sound->audioPlayer()->volume(), 1.0f);
    EXPECT_EQ(media::AudioSession::sharedInstance().category(), media::AudioSessionCategory::SoloAmbient);
    EXPECT_EQ(sound->audioName(), server.url("/voice/20261207100000.mp3"));
    advance(1.0);
    EXPECT_TRUE(events->played.empty());
    advance(1.5);
    EXPECT_EQ(events->played, std::vector<bool>{true});

    // By its plain name, as an own message is played.
    auto again = std::make_shared<SoundRecording>();
    again->setDelegate(events);
    again->playAudio("20261207100000.mp3");
    ASSERT_TRUE(again->audioPlayer());
    EXPECT_TRUE(again->audioPlayer()->isPlaying());
    again->stopAudioPlay();
    EXPECT_FALSE(again->audioPlayer());
    EXPECT_EQ(events->played, (std::vector<bool>{true, true}));
    advance(3.0);
    EXPECT_EQ(events->played.size(), 2u) << "a stopped player says nothing more";
    EXPECT_EQ(server.hits(), 0);
}

TEST_F(PlaybackTest, ADownloadedMessageIsStoredAndPlayedFromThereTheSecondTime) {
    server.serve("fresh.mp3", twoSeconds);
    const std::string url = server.url("/voice/fresh.mp3?token=1");
    sound->playAudio(url);
    EXPECT_FALSE(sound->audioPlayer());
    ASSERT_TRUE(waitForPlayingOrReport());
    ASSERT_TRUE(sound->audioPlayer());
    EXPECT_TRUE(sound->audioPlayer()->isPlaying());
    EXPECT_EQ(sound->audioPlayer()->url(), material("fresh.mp3"));
    EXPECT_EQ(foundation::files::read(material("fresh.mp3")).value(), twoSeconds);
    EXPECT_EQ(server.hits(), 1);

    auto second = std::make_shared<SoundRecording>();
    second->setDelegate(events);
    second->playAudio(url);
    ASSERT_TRUE(second->audioPlayer());
    EXPECT_TRUE(second->audioPlayer()->isPlaying());
    EXPECT_EQ(server.hits(), 1);
    advance(2.5);
    EXPECT_EQ(events->played, (std::vector<bool>{true, true}));
    EXPECT_EQ(fs::directory_iterator(FileAccess::directory()) != fs::directory_iterator(), true);
    EXPECT_TRUE(fs::is_empty(foundation::Sandbox::current().tmp())) << "no download left behind";
}

TEST_F(PlaybackTest, AServerNamedFileStaysInsideTheCaseMaterialDirectoryAndNeverOverwrites) {
    server.name("attachment; filename=\"../../x.mp3\"", twoSeconds);
    sound->playAudio(server.url("/named"));
    ASSERT_TRUE(waitForPlayingOrReport());
    ASSERT_TRUE(sound->audioPlayer());
    EXPECT_EQ(sound->audioPlayer()->url(), material("x.mp3"));
    EXPECT_EQ(filesNamed("x.mp3"), std::vector<fs::path>{material("x.mp3")});

    // The same name for another address: the stored file is kept and the new one goes beside it.
    const std::string other = voiceMP3(1.0);
    server.name("attachment; filename*=UTF-8''..%2F..%2Fx.mp3", other);
    auto next = std::make_shared<SoundRecording>();
    next->setDelegate(events);
    next->playAudio(server.url("/named?another"));
    ASSERT_TRUE(runUntil([&] { return next->audioPlayer() != nullptr; }));
    EXPECT_EQ(next->audioPlayer()->url(), material("x-1.mp3"));
    EXPECT_EQ(foundation::files::read(material("x.mp3")).value(), twoSeconds);
    EXPECT_EQ(foundation::files::read(material("x-1.mp3")).value(), other);
    EXPECT_TRUE(events->played.empty());
}

// The name a hostile reply gives a voice message, and the name it is stored under.
class VoiceNameTest : public PlaybackTest, public ::testing::WithParamInterface<std::pair<std::string, std::string>> {};

TEST_P(VoiceNameTest, AServerNameIsStrippedOfInvisibleCharactersAndEndsInMp3) {
    const auto& [disposition, stored] = GetParam();
    server.name(disposition, twoSeconds);
    sound->playAudio(server.url("/named"));
    ASSERT_TRUE(waitForPlayingOrReport());
    ASSERT_TRUE(sound->audioPlayer());
    EXPECT_EQ(sound->audioPlayer()->url(), material(stored));
    for (const auto& entry : fs::directory_iterator(FileAccess::directory()))
        EXPECT_TRUE(entry.path() == material(stored) || entry.path() == VoiceDownload::indexPath()) << entry.path();
    sound->stopAudioPlay();
}

INSTANTIATE_TEST_SUITE_P(
    Names, VoiceNameTest,
    ::testing::Values(std::pair{"attachment; filename*=UTF-8''evil%E2%80%AEpm3.exe", "evilpm3.mp3"},
                      std::pair{"attachment; filename=\"account.data\"", "account.mp3"},
                      std::pair{"attachment; filename=.voice-downloads.plist", "voice-downloads.mp3"},
                      std::pair{"attachment; filename*=UTF-8''%E8%AF%AD%E9%9F%B3%E2%81%A6%E7%95%99%E8%A8%80.MP3",
                                "语音留言.mp3"},
                      std::pair{"attachment; filename*=UTF-8''bad%C0%AFname%EF%BB%BF.mp3", "badname.mp3"},
                      std::pair{"attachment; filename*=UTF-8''%E2%80%8B%E2%80%8F%E2%80%AE", "named.mp3"}));

TEST_F(PlaybackTest, AMessageTheServerNamesDifferentlyIsDownloadedOnceAndPlayedFromTheStoredCopy) {
    server.name("attachment; filename=\"20261207120000.mp3\"", twoSeconds);
    const std::string url = server.url("/named");
    for (int play = 1; play <= 3; ++play) {
        SCOPED_TRACE(play);
        events->played.clear();
        auto player = std::make_shared<SoundRecording>();
        player->setDelegate(events);
        player->playAudio(url);
        ASSERT_TRUE(runUntil([&] { return player->audioPlayer() && player->audioPlayer()->isPlaying(); }));
        EXPECT_EQ(player->audioPlayer()->url(), material("20261207120000.mp3"));
        player->stopAudioPlay();
    }
    EXPECT_EQ(server.hits(), 1);
    EXPECT_EQ(filesNamed("20261207120000-1.mp3"), std::vector<fs::path>{});

    // The stored copy gone: fetched again. A damaged index only costs a fetch.
    fs::remove(material("20261207120000.mp3"));
    events->played.clear();
    sound->playAudio(url);
    ASSERT_TRUE(waitForPlayingOrReport());
    EXPECT_EQ(server.hits(), 2);
    EXPECT_EQ(sound->audioPlayer()->url(), material("20261207120000.mp3"));
    sound->stopAudioPlay();
    ASSERT_TRUE(foundation::files::writeAtomically(VoiceDownload::indexPath(), "<plist><dict><key>"));
    sound->playAudio(url);
    ASSERT_TRUE(runUntil([&] { return server.hits() == 3; }));
    ASSERT_TRUE(runUntil([&] { return sound->audioPlayer() && sound->audioPlayer()->isPlaying(); }));
    EXPECT_EQ(sound->audioPlayer()->url(), material("20261207120000-1.mp3"));
    sound->stopAudioPlay();
}

TEST_F(PlaybackTest, TwoPlaysOfOneAddressAtOnceKeepOneCopy) {
    server.name("attachment; filename=\"both.mp3\"", twoSeconds);
    auto first = std::make_shared<SoundRecording>();
    auto second = std::make_shared<SoundRecording>();
    first->setDelegate(events);
    second->setDelegate(events);
    first->playAudio(server.url("/named"));
    second->playAudio(server.url("/named"));
    ASSERT_TRUE(runUntil([&] { return first->audioPlayer() && second->audioPlayer(); }));
    EXPECT_EQ(first->audioPlayer()->url(), material("both.mp3"));
    EXPECT_EQ(second->audioPlayer()->url(), material("both.mp3"));
    EXPECT_FALSE(fs::exists(material("both-1.mp3")));
    EXPECT_EQ(server.hits(), 2);
    first->stopAudioPlay();
    second->stopAudioPlay();
}

TEST_F(PlaybackTest, PlaybackThatCannotStartReportsNo) {
    struct Case {
        std::string what;
        std::string source;
    };
    foundation::files::writeAtomically(material("broken.mp3"), std::string(3000, 'q'));
    foundation::files::writeAtomically(material("nothing.mp3"), "");
    const std::vector<Case> cases = {
        {"a missing file", "20261207235959.mp3"},
        {"a stored file that does not decode", "broken.mp3"},
        {"an empty stored file", "nothing.mp3"},
        {"a server that has no such file", server.url("/voice/missing.mp3")},
        {"a download that is not audio", server.url("/garbage")},
        {"an empty download", server.url("/empty")},
        {"an address that is not http", "ftp://127.0.0.1/voice/a.mp3"},
        {"a path out of the directory", "../../etc/passwd"},
        {"a server nobody answers at", "http://127.0.0.1:1/voice/a.mp3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        events->played.clear();
        auto player = std::make_shared<SoundRecording>();
        player->setDelegate(events);
        player->playAudio(c.source);
        ASSERT_TRUE(runUntil([&] { return !events->played.empty(); }));
        EXPECT_EQ(events->played, std::vector<bool>{false});
        EXPECT_FALSE(player->audioPlayer() && player->audioPlayer()->isPlaying());
    }
    EXPECT_FALSE(fs::exists(material("missing.mp3")));
    EXPECT_FALSE(fs::exists(material("garbage")));
    EXPECT_FALSE(fs::exists(material("empty")));
    EXPECT_TRUE(fs::is_empty(foundation::Sandbox::current().tmp()));
    EXPECT_EQ(server.hits(), 3);
}

TEST_F(PlaybackTest, AnEndlessVoiceMessageIsCutAtItsLimitAndNothingIsKept) {
    // Playable frames repeated without end.
    hostile::Server hostile;
    hostile.endless("/voice/endless.mp3", twoSeconds, 1ll << 30);
    sound->playAudio(hostile.url("/voice/endless.mp3"));
    ASSERT_TRUE(runUntil([&] { return !events->played.empty(); }));
    EXPECT_EQ(events->played, std::vector<bool>{false});
    EXPECT_FALSE(sound->audioPlayer());
    EXPECT_LE(hostile.bytesSent("/voice/endless.mp3"), VoiceDownload::kMaximumBytes + (8ll << 20));
    EXPECT_TRUE(fs::is_empty(FileAccess::directory()));
    EXPECT_TRUE(fs::is_empty(foundation::Sandbox::current().tmp()));
}

TEST_F(PlaybackTest, ALaterPlayOrAStopSupersedesADownloadInFlight) {
    server.serve("slow.mp3", twoSeconds);
    foundation::files::writeAtomically(material("here.mp3"), voiceMP3(1.0));
    sound->playAudio(server.url("/voice/slow.mp3"));
    sound->playAudio("here.mp3");
    ASSERT_TRUE(runUntil([&] { return fs::exists(material("slow.mp3")); }));
    drain();
    ASSERT_TRUE(sound->audioPlayer());
    EXPECT_EQ(sound->audioPlayer()->url(), material("here.mp3"));

    sound->playAudio(server.url("/voice/slow.mp3?again"));  // now stored: plays at once
    EXPECT_EQ(sound->audioPlayer()->url(), material("slow.mp3"));
    sound->stopAudioPlay();
    EXPECT_EQ(events->played, std::vector<bool>{true});
}

TEST_F(PlaybackTest, AudioHeldInMemoryPlaysOrReportsNo) {
    sound->playAudioData(twoSeconds);
    ASSERT_TRUE(sound->audioPlayer());
    EXPECT_TRUE(sound->audioPlayer()->isPlaying());
    EXPECT_FALSE(sound->audioPlayer()->url());
    advance(2.5);
    EXPECT_EQ(events->played, std::vector<bool>{true});

    sound->playAudioData("");
    sound->playAudioData("not audio at all");
    drain();
    EXPECT_EQ(events->played, (std::vector<bool>{true, false, false}));
}

TEST(VoiceFileNames, AreReducedToPlainNames) {
    EXPECT_EQ(SoundRecording::plainFileName("../../x.mp3"), "x.mp3");
    EXPECT_EQ(SoundRecording::plainFileName("..\\..\\x.mp3"), "x.mp3");
    EXPECT_EQ(SoundRecording::plainFileName("voice/a b.mp3"), "a b.mp3");
    EXPECT_EQ(SoundRecording::plainFileName(".hidden.mp3"), "hidden.mp3");
    EXPECT_EQ(SoundRecording::plainFileName(std::string("a\nb\0c.mp3", 9)), "abc.mp3");
    EXPECT_EQ(SoundRecording::plainFileName(".."), "");
    EXPECT_EQ(SoundRecording::plainFileName("dir/"), "");
    EXPECT_EQ(SoundRecording::plainFileName(""), "");

    // A very long name keeps its end, cut between whole characters.
    std::string longName;
    for (int i = 0; i < 100; ++i) longName += "语音";
    std::string plain = SoundRecording::plainFileName(longName + ".mp3");
    EXPECT_LE(plain.size(), 200u);
    EXPECT_TRUE(plain.ends_with("语音.mp3"));
    EXPECT_NO_THROW((void)nlohmann::json(plain).dump());
}
