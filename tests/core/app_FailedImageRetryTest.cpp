#include <gtest/gtest.h>

#include <map>

#include "core/AppConfig.h"
#include "core/FailedImageRetry.h"
#include "core/FailedImageStore.h"
#include "core/RequestManager.h"
#include "support/PlatformTest.h"
#include "tools/server/StandInServer.h"

using nlohmann::json;
using Answer = FailedImageRetry::Answer;

namespace {

json photoRecord(const std::string& name, size_t photoBytes = 64) {
    std::string photo(photoBytes, 'Q');
    photo.replace(0, 3, "%2F");
    return {{"userid", "10001"},     {"sn", standin::signatureFor("10001")}, {"appkey", "1039485726"},
            {"accidentno", "BJ202612070001"}, {"imagename", name}, {"contentdata", photo},
            {"imagetype", "1"},      {"imagelon", "116.397500"}, {"imagelat", "39.908700"},
            {"imagedate", "2026-12-7 10:0:0"}, {"size", "30"}, {"flowtype", "0"}};
}

class FailedImageRetryTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        FailedImageStore::resetForTesting();
        retry().reset();
    }
    void TearDown() override {
        retry().reset();
        FailedImageStore::resetForTesting();
        server.stop();
        AppConfig::reset();
        PlatformTest::TearDown();
    }
    static FailedImageRetry& retry() { return FailedImageRetry::shared(); }
    bool roundOver() {
        return runUntil([] { return !FailedImageRetry::shared().roundUnderWay(); }, 30);
    }

    // A sender under the test's hand: every record sent waits until the test answers it.
    struct Outstanding {
        json record;
        std::function<void(Answer)> answer;
    };
    std::vector<Outstanding> outstanding;
    size_t mostAtOnce = 0;
    void holdSends() {
        retry().setSender([this](const json& record, std::function<void(Answer)> answered) {
            outstanding.push_back({record, std::move(answered)});
            mostAtOnce = std::max(mostAtOnce, outstanding.size());
        });
    }
    std::string answerNext(Answer answer) {
        EXPECT_FALSE(outstanding.empty());
        if (outstanding.empty()) return {};
        auto next = outstanding.front();
        outstanding.erase(outstanding.begin());
        next.answer(answer);
        drain();
        return next.record["imagename"];
    }

    standin::StandInServer server;
};

TEST_F(FailedImageRetryTest, ARoundSendsOneRecordAtATimeAndNeverOneTwice) {
    holdSends();
    std::vector<FailedImageStore::Id> ids;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) ids.push_back(*FailedImageStore::add(photoRecord(name)));

    // A fresh shot's upload of "b" is under way when the round starts: the round leaves it alone.
    retry().sendStored(ids[1], photoRecord("b.jpg"));
    ASSERT_EQ(outstanding.size(), 1u);
    EXPECT_TRUE(retry().inFlight(ids[1]));
    // So is a second upload of the same record.
    std::optional<Answer> refusedAtOnce;
    retry().sendStored(ids[1], photoRecord("b.jpg"), [&](Answer a) { refusedAtOnce = a; });
    drain();
    EXPECT_EQ(refusedAtOnce, Answer::Failed);
    EXPECT_EQ(outstanding.size(), 1u);

    EXPECT_TRUE(retry().round());
    EXPECT_FALSE(retry().round());  // one round at a time
    EXPECT_EQ(outstanding.size(), 2u);
    EXPECT_EQ(outstanding.back().record["imagename"], "a.jpg");
    EXPECT_EQ(answerNext(Answer::Accepted), "b.jpg");  // the fresh shot's upload went through
    EXPECT_EQ(answerNext(Answer::Accepted), "a.jpg");
    EXPECT_EQ(answerNext(Answer::Failed), "c.jpg");
    EXPECT_EQ(answerNext(Answer::Refused), "d.jpg");
    EXPECT_TRUE(outstanding.empty());
    EXPECT_FALSE(retry().roundUnderWay());
    EXPECT_EQ(mostAtOnce, 2u);  // the fresh upload and one record of the round

    std::vector<std::string> left;
    for (const auto& record : FailedImageStore::records()) left.push_back(record["imagename"]);
    EXPECT_EQ(left, (std::vector<std::string>{"c.jpg", "d.jpg"}));

    // A transport failure keeps the rhythm: the next round sends "c" again; "d" waits its 2 minutes.
    EXPECT_TRUE(retry().round());
    EXPECT_EQ(answerNext(Answer::Failed), "c.jpg");
    EXPECT_TRUE(outstanding.empty());
    EXPECT_DOUBLE_EQ(retry().notBefore(ids[3]), loop().now() + FailedImageRetry::kRefusedFirstWait);
    advance(FailedImageRetry::kRefusedFirstWait);
    EXPECT_TRUE(retry().round());
    EXPECT_EQ(answerNext(Answer::Accepted), "c.jpg");
    EXPECT_EQ(answerNext(Answer::Refused), "d.jpg");
    EXPECT_DOUBLE_EQ(retry().notBefore(ids[3]), loop().now() + 2 * FailedImageRetry::kRefusedFirstWait);
}

TEST_F(FailedImageRetryTest, RefusalWaitsDoubleUpToADay) {
    holdSends();
    auto id = *FailedImageStore::add(photoRecord("a.jpg"));
    std::vector<double> waits;
    for (int refusal = 0; refusal < 12; ++refusal) {
        double before = loop().now();
        ASSERT_TRUE(retry().round());
        answerNext(Answer::Refused);
        waits.push_back(retry().notBefore(id) - before);
        advance(waits.back() - 1);
        EXPECT_FALSE(retry().round()) << "sent before its wait was over";
        advance(1);
    }
    EXPECT_EQ(waits, (std::vector<double>{120, 240, 480, 960, 1920, 3840, 7680, 15360, 30720, 61440, 86400, 86400}));
    EXPECT_EQ(FailedImageStore::count(), 1u);  // nothing is dropped but on "200"
}

TEST_F(FailedImageRetryTest, ThreeTransportFailuresInARowEndTheRound) {
    holdSends();
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}) FailedImageStore::add(photoRecord(name));
    ASSERT_TRUE(retry().round());
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) EXPECT_EQ(answerNext(Answer::Failed), name);
    EXPECT_TRUE(outstanding.empty());
    EXPECT_FALSE(retry().roundUnderWay());
    // The next round starts with the records that had no turn.
    ASSERT_TRUE(retry().round());
    EXPECT_EQ(answerNext(Answer::Accepted), "d.jpg");
    EXPECT_EQ(answerNext(Answer::Accepted), "e.jpg");
    EXPECT_EQ(answerNext(Answer::Accepted), "a.jpg");
}

// Twelve photos on a link too slow to carry them all within one time-out: sent together every
// one would time out (while the server got each whole); sent one after the other they all
// arrive, each once, in one round. Scaled down from 12 x 300 KB on 100 KB/s with 30 s.
TEST_F(FailedImageRetryTest, TwelvePhotosDrainOnASlowLink) {
    const size_t photoBytes = 40 * 1024;
    const double rate = 200 * 1024;
    ASSERT_TRUE(server.start());
    server.setLink({rate, -1});
    AppConfig::setHost("127.0.0.1");
    AppConfig::setPort(server.port());
    // Twelve together need 2.4 s of the link; one alone 0.2 s.
    AppConfig::setRequestTimeout(12 * photoBytes / rate * 0.75);
    std::vector<json> photos;
    for (int i = 0; i < 12; ++i) {
        photos.push_back(photoRecord("photo" + std::to_string(i) + ".jpg", photoBytes));
        ASSERT_TRUE(FailedImageStore::addRecord(photos.back()));
    }
    ASSERT_TRUE(retry().round());
    ASSERT_TRUE(roundOver());
    drain();
    EXPECT_EQ(FailedImageStore::count(), 0u);
    auto seen = server.requests("image");
    ASSERT_EQ(seen.size(), photos.size());
    for (size_t i = 0; i < photos.size(); ++i) EXPECT_TRUE(seen[i].body == photos[i]) << i;
    EXPECT_EQ(server.cutUploads(), 0u);
}

TEST_F(FailedImageRetryTest, AConnectionCutMidUploadKeepsTheRecord) {
    ASSERT_TRUE(server.start());
    server.setLink({0, 10 * 1024});
    AppConfig::setHost("127.0.0.1");
    AppConfig::setPort(server.port());
    ASSERT_TRUE(FailedImageStore::addRecord(photoRecord("big.jpg", 50 * 1024)));
    ASSERT_TRUE(FailedImageStore::addRecord(photoRecord("small.jpg", 1024)));
    ASSERT_TRUE(retry().round());
    ASSERT_TRUE(roundOver());
    drain();
    EXPECT_EQ(server.cutUploads(), 1u);
    ASSERT_EQ(server.count("image"), 1u);
    EXPECT_EQ(server.lastRequest("image")->param("imagename"), "small.jpg");
    auto left = FailedImageStore::records();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0]["imagename"], "big.jpg");

    // The link is whole again: the next round (no refusal wait) delivers it.
    server.setLink({});
    ASSERT_TRUE(retry().round());
    ASSERT_TRUE(roundOver());
    EXPECT_EQ(FailedImageStore::count(), 0u);
    EXPECT_EQ(server.count("image"), 2u);
}

}  // namespace
