#include <atomic>
#include <string>
#include <thread>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/MainThread.h"
#include "support/PlatformTest.h"

using namespace foundation;

namespace {

class MainThreadTest : public PlatformTest {
protected:
    void TearDown() override {
        setMainThreadPolicy(initialPolicy);
        PlatformTest::TearDown();
    }
    const MainThreadPolicy initialPolicy = mainThreadPolicy();
};

// Two places that change main-thread state.
void touchFirstPlace() { assertMainThread("the first place"); }
void touchSecondPlace() { assertMainThread("the second place"); }

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

TEST_F(MainThreadTest, DebugBuildsAbortAndReleaseBuildsLogByDefault) {
#ifdef NDEBUG
    EXPECT_EQ(initialPolicy, MainThreadPolicy::LogOnce);
#else
    EXPECT_EQ(initialPolicy, MainThreadPolicy::Abort);
#endif
}

TEST_F(MainThreadTest, TheLoopsThreadPassesAndPostedWorkRunsThere) {
    const long before = mainThreadViolations();
    touchFirstPlace();
    bool ranOnMain = false;
    std::thread([&] {
        dispatch::mainQueue()->async([&] {
            touchFirstPlace();  // posted back: no violation
            ranOnMain = isMainThread();
        });
    }).join();
    EXPECT_TRUE(runUntil([&] { return ranOnMain; }));
    EXPECT_EQ(mainThreadViolations(), before);
}

TEST_F(MainThreadTest, ReleaseBuildsReportEachPlaceOnceAndGoOn) {
    setMainThreadPolicy(MainThreadPolicy::LogOnce);
    const long before = mainThreadViolations();
    bool wentOn = false;
    testing::internal::CaptureStderr();
    std::thread([&] {
        for (int i = 0; i < 3; ++i) touchFirstPlace();
        touchSecondPlace();
        wentOn = true;
    }).join();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(wentOn);
    EXPECT_EQ(mainThreadViolations(), before + 4);
    EXPECT_EQ(count(said, "main thread violation"), 2u) << said;
    EXPECT_EQ(count(said, "the first place changed off the main thread"), 1u) << said;
    EXPECT_EQ(count(said, "the second place changed off the main thread"), 1u) << said;
    EXPECT_NE(said.find("MainThreadTest.cpp"), std::string::npos) << "the report names the place: " << said;
}

TEST_F(MainThreadTest, DebugBuildsAbortOnAChangeFromAnotherThread) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setMainThreadPolicy(MainThreadPolicy::Abort);
    EXPECT_DEATH(std::thread([] { touchSecondPlace(); }).join(),
                 "main thread violation: the second place changed off the main thread");
}
