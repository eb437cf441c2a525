#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "core/UserDateSingleton.h"
#include "platform/foundation/Dispatch.h"
#include "support/MainThreadDeath.h"
#include "support/PlatformTest.h"

namespace {

class UserStateTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        state().reset();
    }
    void TearDown() override {
        state().reset();
        PlatformTest::TearDown();
    }
    static UserDateSingleton& state() { return UserDateSingleton::shareUserDateInstance(); }
};

}  // namespace

TEST_F(UserStateTest, WorkersReadWhatTheMainThreadWroteAndHandTheirWritesToIt) {
    state().setUserid(std::string("U1001"));
    state().setAccidentno(std::string("A20261207"));
    std::optional<std::string> seen;
    std::thread([&] {
        seen = state().accidentno();  // reading off the main thread is allowed
        foundation::dispatch::mainQueue()->async([] { state().setCarno(std::string("京A12345")); });
    }).join();
    EXPECT_EQ(seen, "A20261207");
    EXPECT_TRUE(runUntil([] { return state().carno() == "京A12345"; }));
    EXPECT_EQ(state().signedParams().value("userid", ""), "U1001");
}

TEST_F(UserStateTest, AWriteFromAWorkerAborts) {
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(state().setUserid(std::string("U2")), "the user state \\(userid\\)");
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(state().setAccidentno(std::nullopt), "the user state \\(accidentno\\)");
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(state().reset(), "the user state");
}
