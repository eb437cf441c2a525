#include "PlatformTest.h"

#include <cstdlib>
#include <ctime>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/UserDefaults.h"

#ifndef VESKARD_RESOURCE_DIR
#define VESKARD_RESOURCE_DIR "resources"
#endif

using namespace foundation;

void PlatformTest::SetUp() {
    setenv("TZ", std::filesystem::exists("/usr/share/zoneinfo/Asia/Shanghai") ? "Asia/Shanghai" : "CST-8", 1);
    tzset();
    setLogEnabled(std::getenv("VESKARD_LOG") != nullptr);
    auto errors = errors_;
    setErrorObserver([errors](const std::string& message) {
        std::lock_guard<std::mutex> lock(errors->mutex);
        errors->messages.push_back(message);
    });

    auto& loop = RunLoop::main();
    loop.reset();
    loop.adoptCurrentThread();
    clock = std::make_shared<ManualClock>();
    loop.setClock(clock);

    sandboxRoot = Sandbox::makeTemporary("veskard-test");
    setBundleRoot(VESKARD_RESOURCE_DIR);
    NotificationCenter::defaultCenter().reset();
    UserDefaults::standard().reload();
}

void PlatformTest::TearDown() {
    EXPECT_TRUE(dispatch::waitIdle(30)) << "dispatch queues still busy at the end of the test";
    auto& loop = RunLoop::main();
    loop.drain();
    loop.reset();
    NotificationCenter::defaultCenter().reset();
    setBundleRoot(VESKARD_RESOURCE_DIR);
    std::error_code ec;
    std::filesystem::remove_all(sandboxRoot, ec);
    setErrorObserver(nullptr);
    if (!errorsExpected_) {
        for (const auto& message : loggedErrors()) ADD_FAILURE() << "the application logged an error: " << message;
    }
}

std::vector<std::string> PlatformTest::loggedErrors() const {
    std::lock_guard<std::mutex> lock(errors_->mutex);
    return errors_->messages;
}
