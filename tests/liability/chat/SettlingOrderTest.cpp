#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "liability/chat/SettlingOrder.h"

namespace {

// What settled, in the order it settled.
struct Settled {
    std::vector<std::string> names;
    std::function<void()> note(const std::string& name) {
        return [this, name] { names.push_back(name); };
    }
};

TEST(SettlingOrderTest, APieceBackEarlyWaitsForTheOnesThatTookTheirPlacesBefore) {
    SettlingOrder order;
    Settled settled;
    auto first = order.take("http://a/voice.mp3");
    auto second = order.take("http://a/voice.mp3");
    auto third = order.take("http://a/voice.mp3");
    order.arrive("http://a/voice.mp3", third, settled.note("third"));
    order.arrive("http://a/voice.mp3", second, settled.note("second"));
    EXPECT_TRUE(settled.names.empty());
    EXPECT_EQ(order.unsettled(), 3u);
    order.arrive("http://a/voice.mp3", first, settled.note("first"));
    EXPECT_EQ(settled.names, (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(order.unsettled(), 0u);
}

TEST(SettlingOrderTest, SettlesUpToTheFirstPieceStillAway) {
    SettlingOrder order;
    Settled settled;
    auto first = order.take("k");
    auto second = order.take("k");
    auto third = order.take("k");
    order.arrive("k", third, settled.note("third"));
    order.arrive("k", first, settled.note("first"));
    EXPECT_EQ(settled.names, std::vector<std::string>{"first"});
    order.arrive("k", second, settled.note("second"));
    EXPECT_EQ(settled.names, (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(order.unsettled(), 0u);
}

TEST(SettlingOrderTest, KeysDoNotWaitForEachOtherAndAPlaceNeverTakenSettlesAtOnce) {
    SettlingOrder order;
    Settled settled;
    auto away = order.take("http://a/1.mp3");
    auto back = order.take("http://a/2.mp3");
    order.arrive("http://a/2.mp3", back, settled.note("other address"));
    order.arrive("http://a/1.mp3", 0, settled.note("no place"));
    order.arrive("http://a/1.mp3", back, settled.note("place of another address"));
    EXPECT_EQ(settled.names, (std::vector<std::string>{"other address", "no place", "place of another address"}));
    EXPECT_EQ(order.unsettled(), 1u);
    order.arrive("http://a/1.mp3", away, nullptr);  // nothing to run, and nothing left behind
    EXPECT_EQ(order.unsettled(), 0u);
}

TEST(SettlingOrderTest, ASettlingMayStartTheNextPieceOfItsKey) {
    SettlingOrder order;
    Settled settled;
    auto first = order.take("k");
    auto second = order.take("k");
    unsigned long long again = 0;
    order.arrive("k", second, settled.note("second"));
    order.arrive("k", first, [&] {
        settled.names.push_back("first");
        again = order.take("k");  // nothing is locked here
    });
    EXPECT_EQ(settled.names, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(order.unsettled(), 1u);
    order.arrive("k", again, settled.note("again"));
    EXPECT_EQ(settled.names, (std::vector<std::string>{"first", "second", "again"}));
    EXPECT_EQ(order.unsettled(), 0u);
}

TEST(SettlingOrderTest, PlacesTakenOnManyThreadsSettleInTheOrderTaken) {
    SettlingOrder order;
    std::vector<unsigned long long> places(64);
    std::vector<std::thread> workers;
    for (size_t i = 0; i < places.size(); ++i) workers.emplace_back([&, i] { places[i] = order.take("k"); });
    for (auto& worker : workers) worker.join();
    std::vector<unsigned long long> settled;
    // Back in the reverse of the order taken.
    auto sorted = places;
    std::sort(sorted.begin(), sorted.end());
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
        auto place = *it;
        order.arrive("k", place, [&settled, place] { settled.push_back(place); });
    }
    EXPECT_EQ(settled, sorted);
    EXPECT_EQ(order.unsettled(), 0u);
}

}  // namespace
