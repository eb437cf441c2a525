#include <gtest/gtest.h>

#include "CameraTestSupport.h"
#include "capture/camera/ImageUpload.h"
#include "core/AppConfig.h"
#include "platform/foundation/PropertyList.h"
#include "support/HeldReply.h"
#include "tools/server/StandInServer.h"

namespace {

using nlohmann::json;

class ImageUploadTest : public CameraTest {
protected:
    void SetUp() override {
        CameraTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(startServer());
        auto& state = UserDateSingleton::shareUserDateInstance();
        state.setUserid("10001");
        state.setSn(standin::signatureFor("10001"));
        state.setAccidentno("BJ202612070001");
        state.setLongitude("116.397500");
        state.setLatitude("39.908700");
    }
    void TearDown() override {
        server.stop();
        AppConfig::reset();
        CameraTest::TearDown();
    }
    // Sends a record and waits for its outcome.
    bool sendAndWait(const std::shared_ptr<ImageRequestModel>& record) {
        std::optional<bool> sent;
        ImageUpload::send(record, [&](bool ok) { sent = ok; });
        EXPECT_TRUE(runUntil([&] { return sent.has_value(); }));
        return sent.value_or(false);
    }
    json failedFile() const { return json(FailedImageStore::records()); }
};

class StepCodeTest : public CameraTest {};

TEST_F(StepCodeTest, StepCodesFollowTheShotCount) {
    std::vector<std::string> single;
    for (size_t count = 0; count < 5; ++count) single.push_back(ImageUpload::singleCarImageType(count));
    EXPECT_EQ(single, (std::vector<std::string>{"1", "2", "3", "6", "7"}));

    size_t count = 0, secondcount = 0;
    std::vector<std::string> multi;
    for (int shot = 0; shot < 20; ++shot) multi.push_back(ImageUpload::multiCarImageType(count, secondcount));
    EXPECT_EQ(multi, (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "1", "2", "3", "6", "7",
                                               "1", "2", "3", "6", "7", "1"}));
    EXPECT_EQ(count, 20u);
    EXPECT_EQ(secondcount, 1u);
}

TEST_F(ImageUploadTest, RecordIsCompleteAndTheServerGetsIt) {
    auto record = ImageUpload::recordWithShot("%2F9j%2F4AAQ", "6");
    json keys = record->keyValues();
    EXPECT_EQ(keys.size(), 12u);
    EXPECT_EQ(keys["userid"], "10001");
    EXPECT_EQ(keys["appkey"], "1039485726");
    EXPECT_EQ(keys["accidentno"], "BJ202612070001");
    EXPECT_EQ(keys["imagename"], "20261271000.jpg");  // the fixture's clock: 2026-12-07 10:00:00
    EXPECT_EQ(keys["imagedate"], "2026-12-7 10:0:0");
    EXPECT_EQ(keys["imagetype"], "6");
    EXPECT_EQ(keys["imagelon"], "116.397500");
    EXPECT_EQ(keys["imagelat"], "39.908700");
    EXPECT_EQ(keys["size"], "30");
    EXPECT_EQ(keys["flowtype"], "0");

    EXPECT_TRUE(sendAndWait(record));
    auto seen = server.lastRequest("image");
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->method, "POST");
    EXPECT_EQ(seen->body, keys);
    // Stored while under way, gone once answered "200".
    EXPECT_EQ(FailedImageStore::count(), 0u);
}

TEST_F(ImageUploadTest, ThePhotoIsStoredBeforeItsUploadStartsAndLeavesOnlyWhenAnswered) {
    HeldReply answer;
    server.scriptOnce("image", answer(standin::Reply::json({{"rescode", "200"}, {"resdes", "成功"}})));
    auto record = ImageUpload::recordWithShot("%2F9j%2F4AAQ", "1");
    std::optional<bool> sent;
    ImageUpload::send(record, [&](bool ok) { sent = ok; });
    // What a start after a crash right now would find: the photo, on the disk.
    FailedImageStore::resetForTesting();
    EXPECT_EQ(FailedImageStore::records(), std::vector<json>{record->keyValues()});
    answer.release();
    ASSERT_TRUE(runUntil([&] { return sent.has_value(); }));
    EXPECT_TRUE(*sent);
    EXPECT_EQ(FailedImageStore::count(), 0u);
    FailedImageStore::resetForTesting();
    EXPECT_EQ(FailedImageStore::count(), 0u);
    EXPECT_EQ(server.count("image"), 1u);
}

TEST_F(ImageUploadTest, FailedUploadsAreKeptBesideWhatTheFileHolds) {
    json earlier = ImageUpload::recordWithShot("AAAA", "1")->keyValues();
    earlier["imagename"] = "20261279590.jpg";
    ASSERT_TRUE(foundation::plist::write(FailedImageStore::path(), json::array({earlier})));

    // Answered, but not "200": the photo is kept for the retry.
    server.scriptOnce("image", standin::Reply::rescode("201", "失败"));
    auto second = ImageUpload::recordWithShot("BBBB", "2");
    EXPECT_FALSE(sendAndWait(second));
    server.scriptOnce("image", standin::Reply::rescode("500", "服务器错误"));
    auto third = ImageUpload::recordWithShot("CCCC", "3");
    EXPECT_FALSE(sendAndWait(third));
    // Transport failures: a dropped connection and a broken body.
    server.scriptOnce("image", standin::Reply::dropped());
    auto fourth = ImageUpload::recordWithShot("DDDD", "6");
    EXPECT_FALSE(sendAndWait(fourth));
    server.scriptOnce("image", standin::Reply::raw("{not json"));
    auto fifth = ImageUpload::recordWithShot("EEEE", "7");
    EXPECT_FALSE(sendAndWait(fifth));

    EXPECT_EQ(failedFile(), json::array({earlier, second->keyValues(), third->keyValues(), fourth->keyValues(),
                                         fifth->keyValues()}));
    for (const auto& record : FailedImageStore::records()) EXPECT_EQ(record.size(), 12u);

    // Replies without a usable rescode count as failures too.
    EXPECT_TRUE(ImageUpload::isFailedUpload(json::object(), std::nullopt));
    EXPECT_TRUE(ImageUpload::isFailedUpload(json{{"rescode", nullptr}}, std::nullopt));
    EXPECT_TRUE(ImageUpload::isFailedUpload(json::array(), std::nullopt));
    EXPECT_FALSE(ImageUpload::isFailedUpload(json{{"rescode", 200}}, std::nullopt));
    EXPECT_TRUE(ImageUpload::isFailedUpload(json{{"rescode", "200"}}, RequestError{}));
}

TEST_F(ImageUploadTest, CameraShotsUploadedInStepOrderFromTheHandBackQueue) {
    open(5, 0, true, false);
    size_t count = 0;
    camera->setSavePhotoBlock([&count](const std::string& shot) {
        ImageUpload::send(ImageUpload::recordWithShot(shot, ImageUpload::singleCarImageType(count++)));
    });
    for (int i = 0; i < 5; ++i) shoot();
    ASSERT_TRUE(server.waitForRequests("image", 5));
    std::vector<std::string> codes;
    for (const auto& r : server.requests("image")) codes.push_back(r.param("imagetype").value_or("?"));
    EXPECT_EQ(codes, (std::vector<std::string>{"1", "2", "3", "6", "7"}));
    EXPECT_EQ(endActions, 1);
}

}  // namespace
