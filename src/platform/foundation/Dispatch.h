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

// The main queue: the main run loop's thread.
//
//     foundation::dispatch::mainQueue()->async(task);
//
// is THE way to post work to the main thread, from any thread (a worker handing over its
// result, or the main thread deferring work to the next turn of the loop). Tasks run in post
// order. Work that changes views, screens, the spinner or the user state from another thread
// goes through it (see platform/foundation/MainThread.h). Delayed work uses after() below.
std::shared_ptr<Queue> mainQueue();
// The global concurrent queue: a small pool of worker threads.
std::shared_ptr<Queue> globalQueue();

// A serial queue: its own worker thread runs the tasks one at a time in order. It is joinable:
// destroying it (the last reference going, e.g. a static's destructor at exit) waits until every
// queued task has run and then joins the thread, so no task is left half-done. Its tasks never
// wait for the main thread: they hand their results over with mainQueue()->async.
class SerialQueue : public Queue {
public:
    // Waits until every task queued so far, and what those tasks queue here meanwhile, has run;
    // the queue stays open for later work. From the queue's own thread (where waiting would
    // never end) it returns false at once; otherwise true.
    virtual bool drain() = 0;
    // Tasks queued or running.
    virtual size_t pending() const = 0;
};
// A new serial queue with its own worker thread.
std::shared_ptr<SerialQueue> serialQueue(const std::string& label);

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
