#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/foundation/RunLoop.h"

namespace foundation::dispatch {

class Queue {
public:
    virtual ~Queue() = default;
    virtual void async(Task task) = 0;
    // Runs the task and waits for it. On the main queue from the main thread it runs inline.
    virtual void sync(Task task) = 0;
    virtual std::string label() const = 0;
};

// The main queue posts to the main run loop.
std::shared_ptr<Queue> mainQueue();
// The global concurrent queue: a small pool of worker threads.
std::shared_ptr<Queue> globalQueue();
// A new serial queue with its own worker thread; tasks run one at a time in order.
std::shared_ptr<Queue> serialQueue(const std::string& label);

inline void async(const std::shared_ptr<Queue>& q, Task t) { q->async(std::move(t)); }
// Runs the task on the main run loop after `seconds` of its clock.
void after(double seconds, Task task);

// A repeating timer whose handler runs on a queue (a dispatch timer source), timed by the
// main run loop's clock: first after `start` seconds (0: at the next turn of the loop), then
// every `interval` seconds until cancelled. A tick that comes while the previous handler is
// still running is dropped. It stays alive until cancelled, also when no one holds it.
class TimerSource {
public:
    virtual ~TimerSource() = default;
    // From any thread, also from the handler itself: no handler starts afterwards.
    virtual void cancel() = 0;
    virtual bool isCancelled() const = 0;
};
std::shared_ptr<TimerSource> timerSource(const std::shared_ptr<Queue>& queue, double start, double interval,
                                         Task handler);

// Tests: waits (real time) until the global queue and every serial queue have no work
// queued or running. Returns false when `limit` seconds pass first.
bool waitIdle(double limit = 10.0);

}  // namespace foundation::dispatch
