#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/foundation/Clock.h"

namespace foundation {

using Task = std::function<void()>;

class RunLoop;
namespace dispatch {
class MainQueue;
}

// A timer on the main run loop. Held by its owner through shared_ptr; the run loop keeps
// it alive while it is valid. A repeating timer fires every `interval` until invalidated.
class Timer : public std::enable_shared_from_this<Timer> {
public:
    void invalidate();
    bool isValid() const;
    void fire();                 // runs the action now; a one-shot timer is then invalid
    double interval() const { return interval_; }
    bool repeats() const { return repeats_; }
    double fireDate() const { return fireAt_; }

    // Internal to the run loop.
    Timer(double interval, bool repeats, std::function<void(Timer&)> action);
    std::function<void(Timer&)> action_;
    double interval_;
    bool repeats_;
    double fireAt_ = 0;
    bool valid_ = true;
    unsigned long long seq_ = 0;
};

// The main run loop: everything that touches screens runs here. Other threads only post, and
// the one way to post is dispatch::mainQueue()->async(task) (platform/foundation/Dispatch.h).
class RunLoop {
public:
    static RunLoop& main();

    // The clock: real by default; tests install a ManualClock before they start.
    void setClock(std::shared_ptr<Clock> clock);
    Clock& clock() const;
    std::shared_ptr<ManualClock> manualClock() const;  // null when the clock is real
    double now() const;                                  // clock().now()

    // Run a task after `seconds` on the run loop's clock (callable from any thread).
    void performAfter(double seconds, Task task);
    // Timers (created and scheduled from the main thread).
    std::shared_ptr<Timer> scheduleTimer(double interval, bool repeats, std::function<void(Timer&)> action);
    // The same with its own first firing: after `firstDelay` seconds (0: at the next turn).
    std::shared_ptr<Timer> scheduleTimerAfter(double firstDelay, double interval, bool repeats,
                                              std::function<void(Timer&)> action);

    // Runs until stop().
    void run();
    void stop();
    // Runs posted work and due timers for `seconds`: real time with the real clock;
    // with the manual clock, advances it by `seconds`, firing everything due in time order.
    void runFor(double seconds);
    // Turns the loop until `condition` holds (checked after every task) or `limit` seconds of
    // real time pass. Does not move a manual clock. Returns whether the condition held.
    bool runUntil(const std::function<bool()>& condition, double limit = 10.0);
    // Runs what is ready now without waiting. Returns the number of tasks and timers run.
    int drain();

    // The main thread: the last thread that ran the loop (run, runFor, runUntil, drain) or adopted
    // it; before any did, the process's first thread (the one that ran static initialisation),
    // so views made before the loop first turns are on the main thread.
    bool isMainThread() const;
    void adoptCurrentThread();

    // Drops every pending task and timer and installs a fresh real clock (between tests).
    void reset();
    size_t pendingTimerCount() const;
    // When the earliest timer or delayed task falls due on the loop's clock (infinity when none).
    double nextFireDate() const;

    RunLoop();
    ~RunLoop();
    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;

    struct Impl;

private:
    // Queues a task from any thread; it runs on the run loop's thread in post order. Reached
    // through dispatch::mainQueue() only.
    friend class dispatch::MainQueue;
    void post(Task task);

    std::unique_ptr<Impl> impl_;
};

// True when called on the main run loop's thread.
inline bool isMainThread() { return RunLoop::main().isMainThread(); }

}  // namespace foundation
