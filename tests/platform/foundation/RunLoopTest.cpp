#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/foundation/Dates.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/RunLoop.h"
#include "support/PlatformTest.h"

using namespace foundation;

namespace {
class RunLoopTest : public PlatformTest {
protected:
    std::vector<std::pair<std::string, double>> fired;
    void record(const std::string& what) { fired.emplace_back(what, loop().now()); }
};
}  // namespace

TEST_F(RunLoopTest, AdvancingFiresTimersAndDelayedTasksInTimeOrderEachAtItsOwnTime) {
    std::shared_ptr<Timer> late;
    int repeats = 0;
    loop().performAfter(3, [&] { record("after 3"); });
    auto once = loop().scheduleTimer(1, false, [&](Timer&) { record("once 1"); });
    auto every = loop().scheduleTimer(2, true, [&](Timer& t) {
        ++repeats;
        record("every 2");
        if (repeats == 2) late = loop().scheduleTimer(0.5, false, [&](Timer&) { record("scheduled at 4"); });
        if (repeats == 3) t.invalidate();
    });
    loop().performAfter(5, [&] { record("after 5"); });
    EXPECT_EQ(loop().pendingTimerCount(), 2u);

    advance(10);

    std::vector<std::pair<std::string, double>> expected{{"once 1", 1},  {"every 2", 2}, {"after 3", 3},
                                                         {"every 2", 4}, {"scheduled at 4", 4.5},
                                                         {"after 5", 5}, {"every 2", 6}};
    EXPECT_EQ(fired, expected);
    EXPECT_DOUBLE_EQ(loop().now(), 10);
    EXPECT_FALSE(once->isValid());
    EXPECT_FALSE(every->isValid());
    ASSERT_TRUE(late);
    EXPECT_FALSE(late->isValid());
    EXPECT_EQ(loop().pendingTimerCount(), 0u);
}

TEST_F(RunLoopTest, WorkDueAtTheSameTimeRunsInSchedulingOrderAndChainsWithinOneAdvance) {
    loop().performAfter(1, [&] {
        record("a");
        loop().performAfter(1, [&] {
            record("c");
            dispatch::mainQueue()->async([&] { record("posted by c"); });
        });
    });
    loop().scheduleTimer(1, false, [&](Timer&) { record("b"); });
    advance(0.5);
    EXPECT_TRUE(fired.empty());
    advance(2);
    std::vector<std::pair<std::string, double>> expected{{"a", 1}, {"b", 1}, {"c", 2}, {"posted by c", 2}};
    EXPECT_EQ(fired, expected);
    EXPECT_DOUBLE_EQ(loop().now(), 2.5);
}

TEST_F(RunLoopTest, RepeatingTimerKeepsItsCadenceAcrossAdvances) {
    auto timer = loop().scheduleTimer(5, true, [&](Timer&) { record("poll"); });
    advance(4.9);
    EXPECT_TRUE(fired.empty());
    advance(0.1);
    advance(12);
    ASSERT_EQ(fired.size(), 3u);
    EXPECT_DOUBLE_EQ(fired[0].second, 5);
    EXPECT_DOUBLE_EQ(fired[1].second, 10);
    EXPECT_DOUBLE_EQ(fired[2].second, 15);
    EXPECT_DOUBLE_EQ(timer->fireDate(), 20);
    timer->invalidate();
    advance(20);
    EXPECT_EQ(fired.size(), 3u);
}

TEST_F(RunLoopTest, FireNowInvalidateAndIsValid) {
    int onceCount = 0, everyCount = 0;
    auto once = loop().scheduleTimer(10, false, [&](Timer&) { ++onceCount; });
    auto every = loop().scheduleTimer(3, true, [&](Timer&) { ++everyCount; });

    once->fire();
    EXPECT_EQ(onceCount, 1);
    EXPECT_FALSE(once->isValid());
    every->fire();  // a repeating timer fired by hand keeps its schedule
    EXPECT_EQ(everyCount, 1);
    EXPECT_TRUE(every->isValid());
    EXPECT_EQ(loop().pendingTimerCount(), 1u);

    advance(10);
    EXPECT_EQ(onceCount, 1);
    EXPECT_EQ(everyCount, 4);  // by hand, then at 3, 6 and 9
    every->invalidate();
    every->fire();
    EXPECT_EQ(everyCount, 4);
    EXPECT_EQ(loop().pendingTimerCount(), 0u);
}

TEST_F(RunLoopTest, InvalidatingReleasesWhatTheActionHolds) {
    auto held = std::make_shared<int>(7);
    std::weak_ptr<int> watch = held;
    auto timer = loop().scheduleTimer(1, true, [held](Timer&) {});
    held.reset();
    EXPECT_FALSE(watch.expired());
    timer->invalidate();
    EXPECT_TRUE(watch.expired());
}

TEST_F(RunLoopTest, PostsFromWorkerThreadsArriveOnTheMainLoopInPostOrder) {
    constexpr int kThreads = 4, kPosts = 200;
    std::vector<std::vector<int>> seen(kThreads);
    std::atomic<int> offMain{0};
    int total = 0;
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([&, t] {
            for (int i = 0; i < kPosts; ++i) {
                dispatch::mainQueue()->async([&, t, i] {
                    if (!isMainThread()) ++offMain;
                    seen[t].push_back(i);
                    ++total;
                });
            }
        });
    }
    EXPECT_TRUE(runUntil([&] { return total == kThreads * kPosts; }));
    for (auto& w : workers) w.join();
    EXPECT_EQ(offMain.load(), 0);
    for (const auto& s : seen) {
        ASSERT_EQ(s.size(), static_cast<size_t>(kPosts));
        for (int i = 0; i < kPosts; ++i) EXPECT_EQ(s[i], i);
    }
}

TEST_F(RunLoopTest, DelayedTaskFromAnotherThreadUsesTheLoopClock) {
    std::thread([&] { loop().performAfter(2, [&] { record("from worker"); }); }).join();
    EXPECT_EQ(drain(), 0);
    advance(2);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_DOUBLE_EQ(fired[0].second, 2);
}

TEST_F(RunLoopTest, RunUntilGivesUpAtItsLimitWithoutMovingTheManualClock) {
    bool ran = false;
    loop().performAfter(1, [&] { ran = true; });
    EXPECT_FALSE(runUntil([&] { return ran; }, 0.05));
    EXPECT_FALSE(ran);
    EXPECT_DOUBLE_EQ(loop().now(), 0);
}

TEST_F(RunLoopTest, RunStopsWhenAskedAndDrainRunsOnlyWhatIsReady) {
    int count = 0;
    dispatch::mainQueue()->async([&] { ++count; });
    dispatch::mainQueue()->async([&] { loop().stop(); });
    loop().run();
    EXPECT_EQ(count, 1);

    dispatch::mainQueue()->async([&] { ++count; });
    loop().performAfter(1, [&] { ++count; });
    EXPECT_EQ(drain(), 1);
    EXPECT_EQ(count, 2);
}

TEST_F(RunLoopTest, RealClockRunsDelayedWorkWhenItsTimeComes) {
    loop().setClock(std::make_shared<RealClock>());
    EXPECT_EQ(loop().manualClock(), nullptr);
    bool fired = false;
    auto timer = loop().scheduleTimer(0.01, false, [&](Timer&) { fired = true; });
    EXPECT_TRUE(runUntil([&] { return fired; }));
    bool later = false;
    loop().performAfter(0.01, [&] { later = true; });
    loop().runFor(0.05);
    EXPECT_TRUE(later);
}

TEST_F(RunLoopTest, ResetDropsPendingWork) {
    bool ran = false;
    auto timer = loop().scheduleTimer(1, true, [&](Timer&) { ran = true; });
    loop().performAfter(1, [&] { ran = true; });
    dispatch::mainQueue()->async([&] { ran = true; });
    loop().reset();
    EXPECT_FALSE(timer->isValid());
    EXPECT_EQ(loop().pendingTimerCount(), 0u);
    EXPECT_EQ(drain(), 0);
    EXPECT_FALSE(ran);
    EXPECT_EQ(loop().manualClock(), nullptr);
}

TEST_F(RunLoopTest, DatesFollowTheLoopClock) {
    double start = dates::now();
    advance(90);
    EXPECT_DOUBLE_EQ(dates::now() - start, 90);
}
