#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <sstream>
#include <algorithm>
#include <functional>
#include <set>
#include <thread>

#include "core/FailedImageRetry.h"
#include "core/FailedImageStore.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "support/PlatformTest.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

json record(const std::string& name, const std::string& type = "1", size_t photoBytes = 12) {
    std::string photo = "%2F9j%2F4AAQ";
    while (photo.size() < photoBytes) photo += "QUJDRA%3D";
    return {{"userid", "10001"},       {"sn", "abc"},         {"appkey", "1039485726"},
            {"accidentno", "BJ0001"},  {"imagename", name},   {"contentdata", photo},
            {"imagetype", type},       {"imagelon", "116.4"}, {"imagelat", "39.9"},
            {"imagedate", "2026-12-7 10:0:0"}, {"size", "30"}, {"flowtype", "0"}};
}

// The image names of records, to compare lists of large records readably.
std::vector<std::string> names(const std::vector<json>& records) {
    std::vector<std::string> out;
    for (const auto& r : records) out.push_back(r.value("imagename", std::string("?")));
    return out;
}

class FailedImageStoreTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        FailedImageStore::resetForTesting();
        FailedImageRetry::shared().reset();
    }
    void TearDown() override {
        FailedImageStore::resetForTesting();
        FailedImageRetry::shared().reset();
        PlatformTest::TearDown();
    }
    // What a new start of the application finds.
    static std::vector<json> afterRestart() {
        FailedImageStore::resetForTesting();
        return FailedImageStore::records();
    }
    static std::vector<fs::path> filesIn(const fs::path& dir, const std::string& containing) {
        std::vector<fs::path> found;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(dir, ec))
            if (entry.path().filename().string().find(containing) != std::string::npos) found.push_back(entry.path());
        return found;
    }
    static std::vector<fs::path> recordFiles() { return filesIn(FailedImageStore::directory(), ".json"); }
    static void writeLegacy(const std::string& bytes) {
        ASSERT_TRUE(foundation::files::writeAtomically(FailedImageStore::path(), bytes));
    }
};

TEST_F(FailedImageStoreTest, EachRecordIsAFileOfItsOwnAndSurvivesARestart) {
    EXPECT_EQ(FailedImageStore::count(), 0u);
    auto a = FailedImageStore::add(record("a.jpg"));
    auto b = FailedImageStore::add(record("b.jpg"));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(FailedImageStore::add(record("b.jpg")), b);  // an equal record is stored once
    json other = record("b.jpg");
    other["contentdata"] = "different";
    auto c = FailedImageStore::add(other);
    ASSERT_TRUE(c);
    EXPECT_EQ(FailedImageStore::ids(), (std::vector<FailedImageStore::Id>{*a, *b, *c}));
    EXPECT_EQ(recordFiles().size(), 3u);
    EXPECT_EQ(FailedImageStore::load(*b), record("b.jpg"));

    EXPECT_TRUE(FailedImageStore::remove(*b));
    EXPECT_FALSE(FailedImageStore::remove(*b));
    EXPECT_FALSE(FailedImageStore::removeRecord(record("never.jpg")));
    EXPECT_EQ(recordFiles().size(), 2u);
    EXPECT_EQ(afterRestart(), (std::vector<json>{record("a.jpg"), other}));
    // Numbering goes on after the restart: a new record comes last.
    ASSERT_TRUE(FailedImageStore::addRecord(record("d.jpg")));
    EXPECT_EQ(afterRestart(), (std::vector<json>{record("a.jpg"), other, record("d.jpg")}));
    EXPECT_FALSE(fs::exists(FailedImageStore::path()));
}

TEST_F(FailedImageStoreTest, RefusesWhatIsNotARecord) {
    EXPECT_FALSE(FailedImageStore::add(json::array({"x"})));
    EXPECT_FALSE(FailedImageStore::add(json::object()));
    EXPECT_FALSE(FailedImageStore::add({{"imagename", 5}}));
    EXPECT_EQ(FailedImageStore::count(), 0u);
}

TEST_F(FailedImageStoreTest, TakesOverTheFileOfEarlierVersions) {
    std::vector<json> old{record("a.jpg"), record("b.jpg", "2"), record("c.jpg", "3")};
    ASSERT_TRUE(foundation::plist::write(FailedImageStore::path(), json(old)));
    EXPECT_EQ(FailedImageStore::records(), old);
    EXPECT_FALSE(fs::exists(FailedImageStore::path()));
    EXPECT_EQ(afterRestart(), old);

    // A takeover cut short by a kill (records stored, file still there) runs again without
    // doubling anything.
    ASSERT_TRUE(foundation::plist::write(FailedImageStore::path(), json(old)));
    EXPECT_EQ(afterRestart(), old);

    // Elements that are not records are kept in the file, moved aside.
    ASSERT_TRUE(foundation::plist::write(FailedImageStore::path(),
                                         json::array({record("d.jpg"), "stray text", {{"imagename", json::array()}}})));
    auto taken = afterRestart();
    EXPECT_EQ(taken.size(), 4u);
    EXPECT_EQ(taken.back(), record("d.jpg"));
    EXPECT_EQ(filesIn(foundation::Sandbox::current().documents(), "failedImage.plist.corrupt-").size(), 1u);
}

TEST_F(FailedImageStoreTest, DamagedOldFilesGiveUpEveryIntactRecord) {
    std::vector<json> records{record("a.jpg", "1", 6000), record("b.jpg", "2", 6000), record("c.jpg", "3", 6000),
                              record("d.jpg", "6", 6000)};
    const std::string xml = foundation::plist::toXml(json(records));
    // The photo text of the n-th record (keys are written in sorted order: the photo comes first).
    auto photoOf = [&](int n) {
        size_t p = 0;
        for (int i = 0; i <= n; ++i) p = xml.find("<dict>", p + 1);
        return xml.find("QUJD", p);
    };

    struct Damage {
        const char* what;
        std::string bytes;
        std::vector<json> intact;
    };
    std::string nulInText = xml;
    nulInText[photoOf(1)] = '\0';
    std::string zeroPage = xml;
    size_t pageAt = photoOf(2);
    zeroPage.replace(pageAt, 4096, std::string(4096, '\0'));
    std::string cutShort = xml.substr(0, photoOf(2) + 100);
    std::string entity = xml;
    entity.replace(photoOf(0), 4, "&#0;");
    std::vector<Damage> damages{
        {"a NUL inside a text", nulInText, {records[0], records[2], records[3]}},
        {"a page of zeros", zeroPage, {records[0], records[1], records[3]}},
        {"cut short in the middle of a record", cutShort, {records[0], records[1]}},
        {"a NUL written as a character reference", entity, {records[1], records[2], records[3]}},
        {"only zeros", std::string(4096, '\0'), {}},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.what);
        FailedImageStore::resetForTesting();
        fs::remove_all(FailedImageStore::directory());
        for (const auto& p : filesIn(foundation::Sandbox::current().documents(), ".corrupt-")) fs::remove(p);
        writeLegacy(damage.bytes);
        // The plain reader refuses the file instead of stopping the process.
        EXPECT_FALSE(foundation::plist::parse(damage.bytes).has_value());
        auto taken = FailedImageStore::records();
        EXPECT_EQ(names(taken), names(damage.intact));
        EXPECT_TRUE(taken == damage.intact);
        EXPECT_FALSE(fs::exists(FailedImageStore::path()));
        auto aside = filesIn(foundation::Sandbox::current().documents(), "failedImage.plist.corrupt-");
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(foundation::files::read(aside[0]), damage.bytes);  // nothing of it is thrown away
    }
}

TEST_F(FailedImageStoreTest, ADamagedRecordFileIsMovedAsideAndTheOthersStay) {
    auto a = FailedImageStore::add(record("a.jpg", "1", 5000));
    auto b = FailedImageStore::add(record("b.jpg", "2", 5000));
    auto c = FailedImageStore::add(record("c.jpg", "3", 5000));
    auto d = FailedImageStore::add(record("d.jpg", "6", 5000));
    ASSERT_TRUE(a && b && c && d);
    auto files = recordFiles();
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), 4u);
    auto damage = [](const fs::path& file, const std::function<void(std::string&)>& change) {
        std::string bytes = *foundation::files::read(file);
        change(bytes);
        ASSERT_TRUE(foundation::files::writeAtomically(file, bytes));
    };
    damage(files[0], [](std::string& s) { s[s.size() / 2] = '\0'; });
    damage(files[1], [](std::string& s) { s.replace(100, 4096, std::string(4096, '\0')); });
    damage(files[2], [](std::string& s) { s.resize(s.size() / 3); });

    EXPECT_EQ(names(afterRestart()), std::vector<std::string>{"d.jpg"});
    EXPECT_EQ(FailedImageStore::count(), 1u);
    EXPECT_EQ(filesIn(FailedImageStore::directory(), ".corrupt-").size(), 3u);
    EXPECT_TRUE(afterRestart() == std::vector<json>{record("d.jpg", "6", 5000)});
}

TEST_F(FailedImageStoreTest, TemporariesOfInterruptedWritesAreRemovedAtTheNextStart) {
    ASSERT_TRUE(FailedImageStore::addRecord(record("a.jpg")));
    fs::path dir = FailedImageStore::directory();
    fs::path docs = foundation::Sandbox::current().documents();
    // Left by a process that was killed between writing and renaming.
    for (const fs::path& p : {dir / "0000000000000002-00000000000000aa.json.tmp-999999-1",
                              docs / "account.data.tmp-999999-3"})
        ASSERT_TRUE(foundation::files::writeAtomically(p, "half"));
    foundation::files::writeAtomically(docs / "notes.tmp-own", "not ours");  // not a temporary name
    EXPECT_EQ(afterRestart(), std::vector<json>{record("a.jpg")});
    EXPECT_TRUE(filesIn(dir, ".tmp-").empty());
    EXPECT_FALSE(fs::exists(docs / "account.data.tmp-999999-3"));
    EXPECT_TRUE(fs::exists(docs / "notes.tmp-own"));
}

// A child process adds and removes records and reports each step it finished on a pipe; it is
// killed at a random moment. The next start must read every record reported added and not yet
// being removed, and nothing that was never added.
TEST_F(FailedImageStoreTest, AKillAtAnyMomentLosesNoConfirmedRecord) {
    std::mt19937 random(20261207);
    const int runs = 200;
    int killedMidway = 0;
    for (int run = 0; run < runs; ++run) {
        FailedImageStore::resetForTesting();
        fs::remove_all(FailedImageStore::directory());
        int channel[2];
        ASSERT_EQ(::pipe(channel), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(channel[0]);
            std::mt19937 own(static_cast<unsigned>(run));
            std::vector<FailedImageStore::Id> held;
            for (int step = 0; step < 400; ++step) {
                char line[64];
                if (held.size() < 3 || own() % 3 != 0) {
                    // Records of real shape, some large enough to be cut in the middle of a write.
                    auto id = FailedImageStore::add(record(std::to_string(run) + "-" + std::to_string(step) + ".jpg", "1",
                                                           own() % 4 == 0 ? 200000 : 2000));
                    if (!id) ::_exit(3);
                    held.push_back(*id);
                    int n = std::snprintf(line, sizeof line, "A %llu\n", static_cast<unsigned long long>(*id));
                    if (::write(channel[1], line, n) != n) ::_exit(4);
                } else {
                    auto id = held[own() % held.size()];
                    held.erase(std::find(held.begin(), held.end(), id));
                    int n = std::snprintf(line, sizeof line, "R %llu\n", static_cast<unsigned long long>(id));
                    if (::write(channel[1], line, n) != n) ::_exit(4);  // reported before it starts
                    if (!FailedImageStore::remove(id)) ::_exit(5);
                }
            }
            ::_exit(0);
        }
        ::close(channel[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 6000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFSIGNALED(status)) ++killedMidway;
        ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << "child failed";

        std::string reported;
        char buffer[4096];
        for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) reported.append(buffer, n);
        ::close(channel[0]);
        std::set<FailedImageStore::Id> confirmed, removing;
        std::istringstream lines(reported);
        std::string kind;
        unsigned long long id = 0;
        while (lines >> kind >> id) (kind == "A" ? confirmed : removing).insert(id);

        FailedImageStore::resetForTesting();
        auto ids = FailedImageStore::ids();
        std::set<FailedImageStore::Id> found(ids.begin(), ids.end());
        for (auto confirmedId : confirmed) {
            if (!removing.count(confirmedId)) {
                ASSERT_TRUE(found.count(confirmedId)) << "run " << run << " lost " << confirmedId;
            }
        }
        for (auto foundId : ids) {
            auto loaded = FailedImageStore::load(foundId);
            ASSERT_TRUE(loaded) << "run " << run << ": record " << foundId << " is damaged";
            // At most the one record whose add was under way when the kill came was not confirmed.
            if (!confirmed.count(foundId)) {
                EXPECT_EQ(foundId, confirmed.empty() ? 1u : *confirmed.rbegin() + 1);
            }
        }
        EXPECT_TRUE(filesIn(FailedImageStore::directory(), ".tmp-").empty());
    }
    EXPECT_GT(killedMidway, runs / 2);
}

}  // namespace
