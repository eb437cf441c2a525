#pragma once
#include <condition_variable>
#include <memory>
#include <mutex>

#include "tools/server/StandInServer.h"

// A reply the stand-in server keeps back until the test lets it go. What a screen shows while
// its request is on the way (a spinner, a disabled button) is then read however slowly the
// test runs: no answer can land during the settle that follows a tap.
//
//     HeldReply held(Reply::rescode("200", "成功"));
//     server.scriptHandler("taskstate", held.handler());
//     ... tap, check the spinner ...
//     held.release();
//
// Every request for the path word waits on the server's thread until release(); afterwards
// they are answered at once. The destructor releases too, so a failed assertion never leaves
// the server stuck.
class HeldReply {
public:
    explicit HeldReply(standin::Reply reply) : state_(std::make_shared<State>()) { state_->reply = std::move(reply); }
    ~HeldReply() { release(); }
    HeldReply(const HeldReply&) = delete;
    HeldReply& operator=(const HeldReply&) = delete;

    standin::ReplyHandler handler() const {
        auto state = state_;
        return [state](const standin::RecordedRequest&) {
            std::unique_lock lock(state->mutex);
            ++state->arrived;
            state->changed.notify_all();
            state->changed.wait(lock, [&] { return state->released; });
            return state->reply;
        };
    }
    void release() {
        std::lock_guard lock(state_->mutex);
        state_->released = true;
        state_->changed.notify_all();
    }
    // Requests that reached the handler so far.
    int arrived() const {
        std::lock_guard lock(state_->mutex);
        return state_->arrived;
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        standin::Reply reply;
        bool released = false;
        int arrived = 0;
    };
    std::shared_ptr<State> state_;
};
