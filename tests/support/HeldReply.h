#pragma once
#include <memory>

#include "tools/server/StandInServer.h"

// Replies the stand-in server keeps back until the test lets them go. What a screen shows while
// its request is on the way (a spinner, a disabled button) is then read however slowly the
// test runs: no answer can land during the settle that follows a tap.
//
//     HeldReply held;
//     server.scriptOnce("taskstate", held(Reply::rescode("200", "成功")));
//     ... tap, check the spinner ...
//     held.release();
//
// Going out of scope releases them too, so a failed assertion leaves nothing waiting.
class HeldReply {
public:
    HeldReply() = default;
    ~HeldReply() { release(); }
    HeldReply(const HeldReply&) = delete;
    HeldReply& operator=(const HeldReply&) = delete;

    // `reply`, held until release().
    standin::Reply operator()(standin::Reply reply) const { return standin::Reply::held(gate_, std::move(reply)); }
    void release() { gate_->open(); }

private:
    std::shared_ptr<standin::ReplyGate> gate_ = std::make_shared<standin::ReplyGate>();
};
