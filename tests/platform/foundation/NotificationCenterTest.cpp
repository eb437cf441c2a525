#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/NotificationCenter.h"
#include "support/PlatformTest.h"

using namespace foundation;

namespace {
class NotificationCenterTest : public PlatformTest {
protected:
    NotificationCenter& center = NotificationCenter::defaultCenter();
    std::vector<std::string> log;
};
}  // namespace

TEST_F(NotificationCenterTest, DeliversInOrderWithSenderFilterAndUserInfo) {
    int sender = 0, other = 0;
    center.addObserver("changed", [&](const Notification& n) { 
        log.push_back("first " + (n.userInfo.is_object() ? n.userInfo.value("k", "") : std::string()));
     });
    center.addObserver("changed", [&](const Notification&) { log.push_back("from sender"); }, nullptr, &sender);
    center.addObserver("changed", [&](const Notification& n) { log.push_back(n.object == &other ? "other" : "?"); });
    center.addObserver("unrelated", [&](const Notification&) { log.push_back("unrelated"); });

    center.post("changed", &sender, {{"k", "值"}});
    center.post("changed", &other);
    EXPECT_EQ(log, (std::vector<std::string>{"first 值", "from sender", "?", "first ", "other"}));
    EXPECT_EQ(center.observerCount("changed"), 3u);
}

TEST_F(NotificationCenterTest, RemovesByTokenOwnerAndOwnerWithName) {
    int owner = 0;
    auto token = center.addObserver("a", [&](const Notification&) { log.push_back("token"); });
    center.addObserver("a", [&](const Notification&) { log.push_back("owner a"); }, &owner);
    center.addObserver("b", [&](const Notification&) { log.push_back("owner b"); }, &owner);
    center.addObserver("c", [&](const Notification&) { log.push_back("owner c"); }, &owner);

    center.removeObserver(token);
    center.removeObserver(&owner, "b");
    center.post("a");
    center.post("b");
    center.post("c");
    EXPECT_EQ(log, (std::vector<std::string>{"owner a", "owner c"}));

    center.removeObserver(&owner);
    center.post("a");
    center.post("c");
    EXPECT_EQ(log.size(), 2u);
    EXPECT_EQ(center.observerCount("a") + center.observerCount("c"), 0u);
}

TEST_F(NotificationCenterTest, ObserverRemovedDuringAPostIsNotCalledAndObserversMayPostAgain) {
    NotificationCenter::Token second = 0;
    center.addObserver("x", [&](const Notification&) {
        log.push_back("first");
        center.removeObserver(second);
        center.post("y");
    });
    second = center.addObserver("x", [&](const Notification&) { log.push_back("second"); });
    center.addObserver("y", [&](const Notification&) { log.push_back("y"); });
    center.post("x");
    EXPECT_EQ(log, (std::vector<std::string>{"first", "y"}));
}

TEST_F(NotificationCenterTest, DeliveredOnThePostingThread) {
    std::thread::id deliveredOn;
    center.addObserver("bg", [&](const Notification&) { deliveredOn = std::this_thread::get_id(); });
    std::thread::id poster;
    std::thread t([&] {
        poster = std::this_thread::get_id();
        center.post("bg");
    });
    t.join();
    EXPECT_EQ(deliveredOn, poster);
}
