#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/foundation/WeakBind.h"

namespace {

struct Counter : std::enable_shared_from_this<Counter> {
    int calls = 0;
    std::string last;
    void add(const std::string& text) {
        ++calls;
        last = text;
    }
    std::function<void(const std::string&)> bound() { return foundation::weakBind(this, &Counter::add); }
};

}  // namespace

TEST(WeakBind, RunsWithTheObjectWhileItLivesAndDoesNothingOnceItIsGone) {
    auto counter = std::make_shared<Counter>();
    auto byMember = counter->bound();
    std::function<int(int)> byLambda = foundation::weakBind(
        counter, [](const std::shared_ptr<Counter>& self, int step) { return self->calls += step; });
    // Not owned by a shared_ptr yet: the callback never runs.
    Counter unowned;
    auto never = unowned.bound();

    byMember("一");
    EXPECT_EQ(byLambda(10), 11);
    never("二");
    EXPECT_EQ(counter->calls, 11);
    EXPECT_EQ(counter->last, "一");
    EXPECT_EQ(unowned.calls, 0);

    // The callbacks hold the object weakly: it goes with its last owner, and they do nothing.
    std::weak_ptr<Counter> watch = counter;
    counter.reset();
    EXPECT_TRUE(watch.expired());
    byMember("三");
    EXPECT_EQ(byLambda(10), 0);
}
