#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"

// The base of every test that touches the platform: a fresh temporary sandbox, a manual
// clock on the main run loop (2026-12-07 10:00:00 Beijing time), this thread as the main
// thread, empty notifications and defaults, a quiet log (unless VESKARD_LOG is set) and
// TZ=Asia/Shanghai. TearDown waits for the dispatch queues, drains and resets the run loop
// and removes the sandbox.
class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    foundation::RunLoop& loop() { return foundation::RunLoop::main(); }
    // Advances the manual clock, firing timers and delayed work in time order.
    void advance(double seconds) { loop().runFor(seconds); }
    // Turns the run loop until `condition` holds or `limit` seconds of real time pass.
    bool runUntil(const std::function<bool()>& condition, double limit = 10.0) {
        return loop().runUntil(condition, limit);
    }
    int drain() { return loop().drain(); }

    // Errors the application logged (foundation::logError) during this test. Each one fails the
    // test unless the test said it expects errors.
    std::vector<std::string> loggedErrors() const;
    void expectErrors() { errorsExpected_ = true; }

    std::shared_ptr<foundation::ManualClock> clock;
    std::filesystem::path sandboxRoot;

private:
    struct ErrorLog {
        std::mutex mutex;
        std::vector<std::string> messages;
    };
    std::shared_ptr<ErrorLog> errors_ = std::make_shared<ErrorLog>();
    bool errorsExpected_ = false;
};
