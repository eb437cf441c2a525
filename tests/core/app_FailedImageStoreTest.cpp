#include <gtest/gtest.h>

#include <filesystem>

#include "core/FailedImageStore.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "support/PlatformTest.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

json record(const std::string& name, const std::string& type = "1") {
    return {{"userid", "10001"},       {"sn", "abc"},         {"appkey", "1039485726"},
            {"accidentno", "BJ0001"},  {"imagename", name},   {"contentdata", "%2F9j%2F4AAQ"},
            {"imagetype", type},       {"imagelon", "116.4"}, {"imagelat", "39.9"},
            {"imagedate", "2026-12-7 10:0:0"}, {"size", "30"}, {"flowtype", "0"}};
}

class FailedImageStoreTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        FailedImageStore::resetForTesting();
    }
    void TearDown() override {
        FailedImageStore::resetForTesting();
        PlatformTest::TearDown();
    }
    static json fileContents() { return foundation::plist::read(FailedImageStore::path()).value_or(json()); }
    std::vector<fs::path> asideFiles() const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(foundation::Sandbox::current().documents()))
            if (entry.path().filename().string().find(".corrupt-") != std::string::npos) found.push_back(entry.path());
        return found;
    }
};

TEST_F(FailedImageStoreTest, AddsAndRemovesWholeRecordsKeepingWhatOthersLeft) {
    EXPECT_TRUE(FailedImageStore::records().empty());
    EXPECT_FALSE(fs::exists(FailedImageStore::path()));

    // Another screen already left a record in the file.
    ASSERT_TRUE(foundation::plist::write(FailedImageStore::path(), json::array({record("a.jpg")})));
    EXPECT_TRUE(FailedImageStore::addRecord(record("b.jpg")));
    EXPECT_TRUE(FailedImageStore::addRecord(record("b.jpg")));  // an equal record is stored once
    json other = record("b.jpg");
    other["contentdata"] = "different";                         // differs in one value: another record
    EXPECT_TRUE(FailedImageStore::addRecord(other));
    EXPECT_EQ(fileContents(), json::array({record("a.jpg"), record("b.jpg"), other}));
    EXPECT_EQ(FailedImageStore::records(), (std::vector<json>{record("a.jpg"), record("b.jpg"), other}));

    EXPECT_TRUE(FailedImageStore::removeRecord(record("b.jpg")));
    EXPECT_FALSE(FailedImageStore::removeRecord(record("never.jpg")));
    EXPECT_EQ(fileContents(), json::array({record("a.jpg"), other}));
}

TEST_F(FailedImageStoreTest, RefusesWhatIsNotARecord) {
    EXPECT_FALSE(FailedImageStore::addRecord(json::array({"x"})));
    EXPECT_FALSE(FailedImageStore::addRecord(json::object()));
    EXPECT_FALSE(FailedImageStore::addRecord({{"imagename", 5}}));
    EXPECT_FALSE(fs::exists(FailedImageStore::path()));

    // Elements that cannot be sent stay in the file untouched, but are not handed out.
    json junk = json::array({record("a.jpg"), "stray text", {{"imagename", json::array()}}});
    ASSERT_TRUE(foundation::plist::write(FailedImageStore::path(), junk));
    EXPECT_EQ(FailedImageStore::records(), std::vector<json>{record("a.jpg")});
    EXPECT_TRUE(FailedImageStore::removeRecord(record("a.jpg")));
    EXPECT_EQ(fileContents(), json::array({"stray text", {{"imagename", json::array()}}}));
}

TEST_F(FailedImageStoreTest, CorruptFilesAreMovedAsideNotOverwritten) {
    for (const std::string& bytes : {std::string("<?xml version=\"1.0\"?><plist><array><dict><key>"),
                                     foundation::plist::toXml({{"imagename", "x.jpg"}}), std::string()}) {
        ASSERT_TRUE(foundation::files::writeAtomically(FailedImageStore::path(), bytes));
        size_t asideBefore = asideFiles().size();
        EXPECT_TRUE(FailedImageStore::records().empty());
        EXPECT_TRUE(FailedImageStore::addRecord(record("c.jpg")));
        EXPECT_EQ(fileContents(), json::array({record("c.jpg")}));
        auto aside = asideFiles();
        ASSERT_EQ(aside.size(), asideBefore + 1);
        bool kept = false;
        for (const auto& p : aside) kept = kept || foundation::files::read(p) == bytes;
        EXPECT_TRUE(kept) << "the corrupt bytes must survive aside";
        fs::remove(FailedImageStore::path());
    }
}

TEST_F(FailedImageStoreTest, KeepsRecordsInMemoryWhileTheFileCannotBeWritten) {
    // A directory where the file should be: it can be neither read nor replaced.
    fs::create_directories(FailedImageStore::path());
    EXPECT_FALSE(FailedImageStore::addRecord(record("a.jpg")));
    EXPECT_EQ(FailedImageStore::records(), std::vector<json>{record("a.jpg")});
    fs::remove(FailedImageStore::path());

    // The next change writes what was waiting in memory too.
    EXPECT_TRUE(FailedImageStore::addRecord(record("b.jpg")));
    EXPECT_EQ(fileContents(), json::array({record("b.jpg"), record("a.jpg")}));
}

TEST_F(FailedImageStoreTest, RetryDropsOnlyAnsweredRecordsAndKeepsNewOnes) {
    ASSERT_TRUE(FailedImageStore::addRecord(record("a.jpg")));
    ASSERT_TRUE(FailedImageStore::addRecord(record("b.jpg")));
    std::vector<std::pair<json, std::function<void(bool)>>> inFlight;
    auto sender = [&](const json& r, std::function<void(bool)> answered) { inFlight.emplace_back(r, std::move(answered)); };

    // Round one: "a" is answered "200", "b" fails; a shot fails meanwhile and is added.
    EXPECT_EQ(FailedImageStore::retry(sender), 2u);
    ASSERT_EQ(inFlight.size(), 2u);
    ASSERT_TRUE(FailedImageStore::addRecord(record("c.jpg")));
    for (auto& [r, answered] : inFlight) answered(r == record("a.jpg"));
    inFlight.clear();
    EXPECT_EQ(fileContents(), json::array({record("b.jpg"), record("c.jpg")}));

    // Round two: "b" goes through, "c" gets no answer at all (another rescode): it stays.
    EXPECT_EQ(FailedImageStore::retry(sender), 2u);
    for (auto& [r, answered] : inFlight)
        if (r == record("b.jpg")) answered(true);
    EXPECT_EQ(fileContents(), json::array({record("c.jpg")}));
}

}  // namespace
