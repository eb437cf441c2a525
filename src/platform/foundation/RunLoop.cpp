#include "platform/foundation/RunLoop.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace foundation {

namespace {
// Shortest interval of a repeating timer, so that a zero interval cannot spin the loop.
constexpr double kMinimumRepeatInterval = 0.0001;
// The longest a waiting loop sleeps before it looks again at conditions other threads may change.
constexpr double kPollSlice = 0.002;
// Upper bound of tasks drain() runs, so that a task reposting itself cannot hang it.
constexpr int kDrainLimit = 100000;

// The thread that ran the program's static initialisation, the process's first thread: the
// main thread until a thread runs the loop. Taken at load time, so that a worker that happens
// to be the first to name the run loop does not become its thread.
std::thread::id initialThread() {
    static const std::thread::id id = std::this_thread::get_id();
    return id;
}
[[maybe_unused]] const std::thread::id kInitialThread = initialThread();

double steadyNow() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

// ---- Timer -----------------------------------------------------------------------------

Timer::Timer(double interval, bool repeats, std::function<void(Timer&)> action)
    : action_(std::move(action)), interval_(interval), repeats_(repeats) {}

void Timer::invalidate() {
    valid_ = false;
    // Drop the action now: it may hold its owner, which holds this timer.
    std::function<void(Timer&)> dropped;
    dropped.swap(action_);
}

bool Timer::isValid() const { return valid_; }

void Timer::fire() {
    if (!valid_) return;
    auto self = weak_from_this().lock();  // keeps a shared timer alive while it fires
    auto action = action_;  // the action may invalidate the timer while it runs
    if (action) action(*this);
    if (!repeats_) invalidate();
}

// ---- RunLoop ---------------------------------------------------------------------------

struct RunLoop::Impl {
    struct Item {
        double at;
        unsigned long long seq;
        Task task;                     // a delayed task, or
        std::shared_ptr<Timer> timer;  // a timer's firing
    };
    // Heap order: the earliest time first, then the order of scheduling.
    static bool later(const Item& a, const Item& b) {
        return a.at > b.at || (a.at == b.at && a.seq > b.seq);
    }

    mutable std::mutex mutex;
    std::condition_variable wake;
    std::deque<Task> posted;
    std::vector<Item> items;  // a heap ordered by `later`
    unsigned long long nextSeq = 1;
    std::shared_ptr<Clock> clock = std::make_shared<RealClock>();
    // Clocks replaced by setClock/reset stay alive: callers may still hold a reference.
    std::vector<std::shared_ptr<Clock>> retiredClocks;
    std::atomic<std::thread::id> mainThread{initialThread()};
    bool stopRequested = false;

    static bool stale(const Item& item) {
        return item.timer && (!item.timer->valid_ || item.timer->seq_ != item.seq);
    }

    void pushItemLocked(Item item) {
        items.push_back(std::move(item));
        std::push_heap(items.begin(), items.end(), later);
    }

    Item popItemLocked() {
        std::pop_heap(items.begin(), items.end(), later);
        Item item = std::move(items.back());
        items.pop_back();
        return item;
    }

    // Removes stale timer entries from the top of the heap; they are destroyed by the caller
    // after the lock is released.
    void pruneLocked(std::vector<Item>& garbage) {
        while (!items.empty() && stale(items.front())) garbage.push_back(popItemLocked());
    }

    // The time of the next live item, or +infinity.
    double nextTimeLocked(std::vector<Item>& garbage) {
        pruneLocked(garbage);
        return items.empty() ? INFINITY : items.front().at;
    }

    void scheduleTimerLocked(const std::shared_ptr<Timer>& timer) {
        Item item{timer->fireAt_, nextSeq++, nullptr, timer};
        timer->seq_ = item.seq;
        pushItemLocked(std::move(item));
    }

    // Runs one posted task or one due item. Returns false when nothing was ready.
    bool runOne() {
        std::vector<Item> garbage;
        Task task;
        std::shared_ptr<Timer> timer;
        double at = 0;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (!posted.empty()) {
                task = std::move(posted.front());
                posted.pop_front();
            } else {
                double next = nextTimeLocked(garbage);
                if (next > clock->now()) return false;
                Item item = popItemLocked();
                at = item.at;
                task = std::move(item.task);
                timer = std::move(item.timer);
                if (timer && timer->repeats_) {
                    // Reschedule before firing, so that the action can invalidate it.
                    double nextFire = at + timer->interval_;
                    double now = clock->now();
                    if (!clock->isManual() && nextFire <= now) nextFire = now + timer->interval_;
                    timer->fireAt_ = nextFire;
                    scheduleTimerLocked(timer);
                }
            }
        }
        if (timer) {
            timer->fire();
        } else if (task) {
            task();
        }
        return true;
    }

    // Waits (real time) until work may be ready or `deadline` (steady seconds) passes.
    void waitForWork(double deadline) {
        std::vector<Item> garbage;
        std::unique_lock<std::mutex> lock(mutex);
        if (!posted.empty() || stopRequested) return;
        double until = deadline;
        double next = nextTimeLocked(garbage);
        if (next != INFINITY) {
            double loopNow = clock->now();
            if (next <= loopNow) return;
            if (!clock->isManual()) until = std::min(until, steadyNow() + (next - loopNow));
        }
        until = std::min(until, steadyNow() + kPollSlice);
        double wait = until - steadyNow();
        if (wait <= 0) return;
        wake.wait_for(lock, std::chrono::duration<double>(wait));
    }
};

RunLoop::RunLoop() : impl_(std::make_unique<Impl>()) {}

RunLoop::~RunLoop() = default;

RunLoop& RunLoop::main() {
    // Never destroyed: tasks and timers may still refer to it while the process exits.
    static RunLoop* loop = new RunLoop();
    return *loop;
}

void RunLoop::setClock(std::shared_ptr<Clock> clock) {
    if (!clock) clock = std::make_shared<RealClock>();
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->retiredClocks.push_back(impl_->clock);
    impl_->clock = std::move(clock);
    impl_->wake.notify_all();
}

Clock& RunLoop::clock() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return *impl_->clock;
}

std::shared_ptr<ManualClock> RunLoop::manualClock() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return std::dynamic_pointer_cast<ManualClock>(impl_->clock);
}

double RunLoop::now() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->clock->now();
}

void RunLoop::post(Task task) {
    if (!task) return;
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->posted.push_back(std::move(task));
    impl_->wake.notify_all();
}

void RunLoop::performAfter(double seconds, Task task) {
    if (!task) return;
    if (!(seconds > 0)) seconds = 0;  // negative and NaN delays run at once
    std::lock_guard<std::mutex> lock(impl_->mutex);
    Impl::Item item{impl_->clock->now() + seconds, impl_->nextSeq++, std::move(task), nullptr};
    impl_->pushItemLocked(std::move(item));
    impl_->wake.notify_all();
}

std::shared_ptr<Timer> RunLoop::scheduleTimer(double interval, bool repeats,
                                              std::function<void(Timer&)> action) {
    return scheduleTimerAfter(interval, interval, repeats, std::move(action));
}

std::shared_ptr<Timer> RunLoop::scheduleTimerAfter(double firstDelay, double interval, bool repeats,
                                                   std::function<void(Timer&)> action) {
    if (!(interval > 0)) interval = 0;
    if (!(firstDelay > 0)) firstDelay = 0;
    if (repeats) interval = std::max(interval, kMinimumRepeatInterval);
    auto timer = std::make_shared<Timer>(interval, repeats, std::move(action));
    std::lock_guard<std::mutex> lock(impl_->mutex);
    timer->fireAt_ = impl_->clock->now() + firstDelay;
    impl_->scheduleTimerLocked(timer);
    impl_->wake.notify_all();
    return timer;
}

void RunLoop::run() {
    adoptCurrentThread();
    {
        std::lock_guard<std::mutex> lock(impl_->mutex);
        impl_->stopRequested = false;
    }
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(impl_->mutex);
            if (impl_->stopRequested) {
                impl_->stopRequested = false;
                return;
            }
        }
        if (!impl_->runOne()) impl_->waitForWork(INFINITY);
    }
}

void RunLoop::stop() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->stopRequested = true;
    impl_->wake.notify_all();
}

void RunLoop::runFor(double seconds) {
    adoptCurrentThread();
    if (!(seconds > 0)) seconds = 0;
    if (auto manual = manualClock()) {
        // Advance the manual clock item by item: each timer or delayed task runs with the
        // clock set to its own time, and work it schedules joins the walk.
        const double target = manual->now() + seconds;
        for (;;) {
            int guard = 0;
            while (impl_->runOne() && ++guard < kDrainLimit) {}
            double next;
            {
                std::vector<Impl::Item> garbage;
                std::lock_guard<std::mutex> lock(impl_->mutex);
                next = impl_->nextTimeLocked(garbage);
            }
            if (next > target) break;
            manual->setNow(next);
        }
        manual->setNow(target);
        drain();
        return;
    }
    const double deadline = steadyNow() + seconds;
    for (;;) {
        while (steadyNow() < deadline && impl_->runOne()) {}
        if (steadyNow() >= deadline) break;
        impl_->waitForWork(deadline);
    }
}

bool RunLoop::runUntil(const std::function<bool()>& condition, double limit) {
    adoptCurrentThread();
    const double deadline = steadyNow() + (limit > 0 ? limit : 0);
    for (;;) {
        if (condition && condition()) return true;
        if (impl_->runOne()) continue;
        if (steadyNow() >= deadline) return condition ? condition() : false;
        impl_->waitForWork(deadline);
    }
}

int RunLoop::drain() {
    adoptCurrentThread();
    int count = 0;
    while (count < kDrainLimit && impl_->runOne()) ++count;
    return count;
}

bool RunLoop::isMainThread() const { return impl_->mainThread.load() == std::this_thread::get_id(); }

void RunLoop::adoptCurrentThread() { impl_->mainThread.store(std::this_thread::get_id()); }

void RunLoop::reset() {
    // Tasks and timers are destroyed outside the lock: their captures may post again.
    for (int round = 0; round < 4; ++round) {
        std::deque<Task> posted;
        std::vector<Impl::Item> items;
        {
            std::lock_guard<std::mutex> lock(impl_->mutex);
            posted.swap(impl_->posted);
            items.swap(impl_->items);
            impl_->stopRequested = false;
            if (round == 0) {
                impl_->retiredClocks.push_back(impl_->clock);
                impl_->clock = std::make_shared<RealClock>();
            }
        }
        if (posted.empty() && items.empty()) break;
        for (auto& item : items)
            if (item.timer) item.timer->invalidate();
    }
}

size_t RunLoop::pendingTimerCount() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    size_t n = 0;
    for (const auto& item : impl_->items)
        if (item.timer && !Impl::stale(item)) ++n;
    return n;
}

double RunLoop::nextFireDate() const {
    std::vector<Impl::Item> garbage;
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->nextTimeLocked(garbage);
}

}  // namespace foundation
