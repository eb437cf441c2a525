#include "platform/foundation/Dispatch.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/foundation/Log.h"

namespace foundation::dispatch {

namespace {

// Work queued or running on the global queue and every serial queue, for waitIdle().
struct Outstanding {
    std::mutex mutex;
    std::condition_variable idle;
    long count = 0;

    void add() {
        std::lock_guard<std::mutex> lock(mutex);
        ++count;
    }
    void done() {
        std::lock_guard<std::mutex> lock(mutex);
        if (--count == 0) idle.notify_all();
    }
};

Outstanding& outstanding() {
    static Outstanding* o = new Outstanding();  // lives as long as the worker threads
    return *o;
}

// Runs a task on a worker thread; an exception escaping it is reported, not fatal.
void runGuarded(const Task& task, const std::string& label) {
    try {
        task();
    } catch (const std::exception& e) {
        log("dispatch: task on " + label + " threw: " + e.what());
    } catch (...) {
        log("dispatch: task on " + label + " threw");
    }
}

// Runs `task` through `queue` and waits for it.
void runAndWait(Queue& queue, Task task) {
    std::promise<void> finished;
    auto future = finished.get_future();
    queue.async([&] {
        try {
            task();
            finished.set_value();
        } catch (...) {
            finished.set_exception(std::current_exception());
        }
    });
    future.get();  // a task's exception reaches the caller
}

// A set of threads taking tasks from one queue.
struct Workers {
    std::string label;
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<Task> tasks;
    std::vector<std::thread::id> ids;
    bool closing = false;
    size_t pending = 0;  // queued or running
    std::condition_variable idle;

    void push(Task task) {
        outstanding().add();
        std::lock_guard<std::mutex> lock(mutex);
        tasks.push_back(std::move(task));
        ++pending;
        ready.notify_one();
    }

    bool onWorker() {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto id : ids)
            if (id == std::this_thread::get_id()) return true;
        return false;
    }

    // The body of a worker thread: runs tasks until closed and empty.
    static void work(const std::shared_ptr<Workers>& self) {
        {
            std::lock_guard<std::mutex> lock(self->mutex);
            self->ids.push_back(std::this_thread::get_id());
        }
        for (;;) {
            Task task;
            {
                std::unique_lock<std::mutex> lock(self->mutex);
                self->ready.wait(lock, [&] { return self->closing || !self->tasks.empty(); });
                if (self->tasks.empty()) return;
                task = std::move(self->tasks.front());
                self->tasks.pop_front();
            }
            runGuarded(task, self->label);
            task = nullptr;  // captures are released before the task counts as done
            {
                std::lock_guard<std::mutex> lock(self->mutex);
                if (--self->pending == 0) self->idle.notify_all();
            }
            outstanding().done();
        }
    }
};

class GlobalQueue : public Queue {
public:
    explicit GlobalQueue(int threads) : workers_(std::make_shared<Workers>()) {
        workers_->label = "global";
        for (int i = 0; i < threads; ++i) {
            std::thread([w = workers_] { Workers::work(w); }).detach();
        }
    }
    void async(Task task) override {
        if (task) workers_->push(std::move(task));
    }
    // Concurrent: the task may run on the calling thread itself.
    void sync(Task task) override {
        if (task) task();
    }
    std::string label() const override { return "global"; }

private:
    std::shared_ptr<Workers> workers_;
};

class ThreadSerialQueue : public SerialQueue {
public:
    explicit ThreadSerialQueue(std::string label) : workers_(std::make_shared<Workers>()) {
        workers_->label = std::move(label);
        thread_ = std::thread([w = workers_] { Workers::work(w); });
    }
    ~ThreadSerialQueue() override {
        {
            std::lock_guard<std::mutex> lock(workers_->mutex);
            workers_->closing = true;
            workers_->ready.notify_all();
        }
        // The queued work still runs; the last owner may be a task on the queue's own thread.
        if (thread_.get_id() == std::this_thread::get_id())
            thread_.detach();
        else
            thread_.join();
    }
    void async(Task task) override {
        if (task) workers_->push(std::move(task));
    }
    void sync(Task task) override {
        if (!task) return;
        if (workers_->onWorker()) {  // already on this queue: waiting would never end
            task();
            return;
        }
        runAndWait(*this, std::move(task));
    }
    std::string label() const override { return workers_->label; }
    bool drain() override {
        if (workers_->onWorker()) {
            log("dispatch: " + workers_->label + " cannot wait for itself");
            return false;
        }
        std::unique_lock<std::mutex> lock(workers_->mutex);
        workers_->idle.wait(lock, [&] { return workers_->pending == 0; });
        return true;
    }
    size_t pending() const override {
        std::lock_guard<std::mutex> lock(workers_->mutex);
        return workers_->pending;
    }

private:
    std::shared_ptr<Workers> workers_;
    std::thread thread_;
};

}  // namespace

// The main queue: the run loop's own posting, behind the Queue interface.
class MainQueue : public Queue {
public:
    void async(Task task) override { RunLoop::main().post(std::move(task)); }
    void sync(Task task) override {
        if (!task) return;
        if (RunLoop::main().isMainThread()) {
            task();
            return;
        }
        runAndWait(*this, std::move(task));
    }
    std::string label() const override { return "main"; }
};

std::shared_ptr<Queue> mainQueue() {
    static auto* queue = new std::shared_ptr<Queue>(std::make_shared<MainQueue>());
    return *queue;
}

std::shared_ptr<Queue> globalQueue() {
    // Never destroyed: its detached workers run for the life of the process.
    static auto* queue = new std::shared_ptr<Queue>(std::make_shared<GlobalQueue>(4));
    return *queue;
}

std::shared_ptr<SerialQueue> serialQueue(const std::string& label) {
    return std::make_shared<ThreadSerialQueue>(label);
}

namespace {
class RunLoopTimerSource : public TimerSource, public std::enable_shared_from_this<RunLoopTimerSource> {
public:
    RunLoopTimerSource(std::shared_ptr<Queue> queue, Task handler)
        : queue_(std::move(queue)), handler_(std::make_shared<Task>(std::move(handler))) {}

    void start(double start, double interval) {
        auto self = shared_from_this();
        std::lock_guard<std::mutex> lock(mutex_);
        // The run loop timer holds the source until it is cancelled.
        timer_ = RunLoop::main().scheduleTimerAfter(start, interval, true, [self](Timer& timer) {
            if (self->cancelled_) {
                timer.invalidate();
                return;
            }
            if (self->running_.exchange(true)) return;  // the previous tick is still at work
            self->queue_->async([self] {
                if (!self->cancelled_ && *self->handler_) (*self->handler_)();
                self->running_ = false;
            });
        });
    }

    void cancel() override {
        if (cancelled_.exchange(true)) return;
        // The timer belongs to the main loop: it is invalidated there, at its next turn.
        std::weak_ptr<Timer> weak;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            weak = timer_;
        }
        mainQueue()->async([weak] {
            if (auto timer = weak.lock()) timer->invalidate();
        });
    }

    bool isCancelled() const override { return cancelled_; }

private:
    std::shared_ptr<Queue> queue_;
    std::shared_ptr<Task> handler_;
    std::mutex mutex_;
    std::shared_ptr<Timer> timer_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> running_{false};
};
}  // namespace

std::shared_ptr<TimerSource> timerSource(const std::shared_ptr<Queue>& queue, double start, double interval,
                                         Task handler) {
    auto source = std::make_shared<RunLoopTimerSource>(queue ? queue : globalQueue(), std::move(handler));
    source->start(start, interval);
    return source;
}

void after(double seconds, Task task) { RunLoop::main().performAfter(seconds, std::move(task)); }

bool waitIdle(double limit) {
    auto& o = outstanding();
    std::unique_lock<std::mutex> lock(o.mutex);
    return o.idle.wait_for(lock, std::chrono::duration<double>(limit > 0 ? limit : 0),
                           [&] { return o.count == 0; });
}

}  // namespace foundation::dispatch
