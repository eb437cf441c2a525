#include <atomic>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/foundation/Dispatch.h"
#include "support/PlatformTest.h"

using namespace foundation;

namespace {
class DispatchTest : public PlatformTest {};
}  // namespace

TEST_F(DispatchTest, SerialQueueRunsTasksOneAtATimeInOrderOffTheMainThread) {
    auto queue = dispatch::serialQueue("com.veskard.test.serial");
    EXPECT_EQ(queue->label(), "com.veskard.test.serial");
    std::vector<int> order;
    std::atomic<int> running{0}, overlaps{0}, onMain{0};
    for (int i = 0; i < 300; ++i) {
        queue->async([&, i] {
            if (running.fetch_add(1) != 0) ++overlaps;
            if (isMainThread()) ++onMain;
            order.push_back(i);
            running.fetch_sub(1);
        });
    }
    ASSERT_TRUE(dispatch::waitIdle());
    ASSERT_EQ(order.size(), 300u);
    for (int i = 0; i < 300; ++i) EXPECT_EQ(order[i], i);
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_EQ(onMain.load(), 0);

    int value = 0;
    queue->sync([&] { value = 42; });
    EXPECT_EQ(value, 42);
    EXPECT_THROW(queue->sync([] { throw std::runtime_error("bad"); }), std::runtime_error);
    // Still usable after a task threw.
    queue->sync([&] { value = 43; });
    EXPECT_EQ(value, 43);
}

TEST_F(DispatchTest, GlobalWorkHandsItsResultToTheMainQueue) {
    std::atomic<int> workersDone{0};
    int results = 0;
    bool allOnMain = true;
    for (int i = 0; i < 20; ++i) {
        dispatch::async(dispatch::globalQueue(), [&] {
            bool worker = !isMainThread();
            ++workersDone;
            dispatch::mainQueue()->async([&, worker] {
                allOnMain = allOnMain && isMainThread() && worker;
                ++results;
            });
        });
    }
    EXPECT_TRUE(runUntil([&] { return results == 20; }));
    EXPECT_TRUE(allOnMain);
    EXPECT_TRUE(dispatch::waitIdle());
}

TEST_F(DispatchTest, SyncOnTheMainQueueFromAWorkerWaitsForTheLoop) {
    bool ranOnMain = false;
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        dispatch::mainQueue()->sync([&] { ranOnMain = isMainThread(); });
        returned = true;
    });
    EXPECT_TRUE(runUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_TRUE(ranOnMain);

    bool inline_ = false;
    dispatch::mainQueue()->sync([&] { inline_ = true; });  // from the main thread: at once
    EXPECT_TRUE(inline_);
}

TEST_F(DispatchTest, AfterRunsOnTheMainLoopClock) {
    std::vector<double> times;
    dispatch::after(2, [&] { times.push_back(loop().now()); });
    dispatch::after(0.5, [&] { times.push_back(loop().now()); });
    advance(1);
    advance(1);
    EXPECT_EQ(times, (std::vector<double>{0.5, 2}));
}

TEST_F(DispatchTest, QueueReleasedByItsOwnTaskFinishesCleanly) {
    auto queue = dispatch::serialQueue("self-releasing");
    std::atomic<int> ran{0};
    auto holder = std::make_shared<std::shared_ptr<dispatch::Queue>>(queue);
    queue->async([&] { ++ran; });
    queue->async([holder, &ran] {
        ++ran;
        holder->reset();
    });
    queue.reset();
    holder.reset();
    EXPECT_TRUE(dispatch::waitIdle());
    EXPECT_EQ(ran.load(), 2);
}

TEST_F(DispatchTest, TimerSourceTicksOnItsQueueByTheLoopClockUntilCancelled) {
    std::atomic<int> ticks{0};
    std::atomic<int> onMain{0};
    std::shared_ptr<dispatch::TimerSource> source;
    int countdown = 3;  // touched only by the handler: ticks never overlap
    source = dispatch::timerSource(dispatch::globalQueue(), 0, 1, [&] {
        if (isMainThread()) ++onMain;
        if (countdown <= 0) {
            source->cancel();
            return;
        }
        --countdown;
        ++ticks;
    });
    drain();  // the first tick comes at once
    ASSERT_TRUE(dispatch::waitIdle());
    EXPECT_EQ(ticks.load(), 1);
    for (int second = 0; second < 6; ++second) {
        advance(1);
        ASSERT_TRUE(dispatch::waitIdle());
    }
    EXPECT_EQ(ticks.load(), 3);
    EXPECT_TRUE(source->isCancelled());
    EXPECT_EQ(onMain.load(), 0);
    drain();
    EXPECT_EQ(loop().pendingTimerCount(), 0u);
}

TEST_F(DispatchTest, DrainingASerialQueueWaitsForItsWorkAndWhatThatWorkQueues) {
    auto queue = dispatch::serialQueue("drained");
    std::vector<int> done;
    // Each task queues the next one: drain also waits for work queued while it waits.
    std::function<void(int)> step = [&](int i) {
        done.push_back(i);
        if (i < 50) queue->async([&, i] { step(i + 1); });
    };
    queue->async([&] { step(1); });
    EXPECT_TRUE(queue->drain());
    ASSERT_EQ(done.size(), 50u);
    EXPECT_EQ(done.back(), 50);
    EXPECT_EQ(queue->pending(), 0u);

    // The queue stays open afterwards.
    queue->async([&] { done.push_back(51); });
    EXPECT_TRUE(queue->drain());
    EXPECT_EQ(done.size(), 51u);
}

TEST_F(DispatchTest, ASerialQueueCannotDrainItselfAndSaysSo) {
    auto queue = dispatch::serialQueue("self-draining");
    std::atomic<int> answer{-1};
    queue->async([&] { answer = queue->drain() ? 1 : 0; });
    EXPECT_TRUE(queue->drain());
    EXPECT_EQ(answer.load(), 0);
}

TEST_F(DispatchTest, TheLastReferenceToASerialQueueJoinsItAfterEveryQueuedTask) {
    std::vector<int> done;
    std::atomic<bool> release{false};
    {
        auto queue = dispatch::serialQueue("joined");
        // The first task holds the queue until the others are queued.
        queue->async([&] {
            while (!release.load()) std::this_thread::yield();
            done.push_back(0);
        });
        for (int i = 1; i <= 20; ++i) queue->async([&, i] { done.push_back(i); });
        EXPECT_EQ(queue->pending(), 21u);
        release = true;
    }  // the queue goes here
    ASSERT_EQ(done.size(), 21u) << "no task is dropped or left running";
    for (int i = 0; i <= 20; ++i) EXPECT_EQ(done[size_t(i)], i);
}
