#include <gtest/gtest.h>

#include "PoliceTestSupport.h"
#include "core/UserDateSingleton.h"
#include "liability/police/DecisionPoller.h"
#include "support/HeldReply.h"

namespace {

using standin::Reply;

class DecisionPollerTest : public PoliceTest {
protected:
    std::shared_ptr<DecisionPoller> makePoller(DecisionPoller::Options options) {
        options.owner = "DecisionPollerTest";
        poller = DecisionPoller::make(std::move(options));
        poller->onAccept = [this](std::vector<PoliceDutyModel> records) { accepted.push_back(std::move(records)); };
        return poller;
    }
    void pass(double seconds) {
        advance(seconds);
        settleRequests();
    }
    size_t polls() const { return server.count("processpapertimer"); }
    bool alertShowing() const { return driver.isOnScreen(DecisionPoller::kAlertText); }

    std::shared_ptr<DecisionPoller> poller;
    std::vector<std::vector<PoliceDutyModel>> accepted;
};

// A decision answered after the screen went: dropped and asked for again at the next start,
// or kept with its alert waiting for the screen's return.
TEST_F(DecisionPollerTest, ALateDecisionIsDroppedOrKeptAsTheScreenAsks) {
    for (bool keep : {false, true}) {
        SCOPED_TRACE(keep ? "kept" : "dropped");
        server.clearRequests();
        server.clearScripts();
        accepted.clear();
        HeldReply late;
        server.scriptOnce("processpapertimer", late(Reply::rescode("200", "成功", {{"dutylist", decisionJson()}})));
        server.script("processpapertimer", Reply::rescode("200", "成功", {{"dutylist", decisionJson()}}));
        makePoller({.keepLateDecision = keep});
        // Not started: the return to the foreground starts nothing.
        poller->resume();
        EXPECT_FALSE(poller->isRunning());
        poller->start();
        advance(2);
        ASSERT_TRUE(server.waitForRequests("processpapertimer", 1));
        poller->stop();
        EXPECT_FALSE(poller->isRunning());
        late.release();
        settleRequests();
        EXPECT_FALSE(alertShowing());
        EXPECT_EQ(poller->isDecided(), keep);

        poller->start();
        poller->appeared();
        if (keep) {
            EXPECT_FALSE(poller->isRunning()) << "decided: no timer";
        } else {
            EXPECT_FALSE(alertShowing());
            pass(2);
            EXPECT_EQ(polls(), 2u);
        }
        ASSERT_TRUE(alertShowing());
        EXPECT_FALSE(poller->isRunning());
        poller->resume();
        pass(4);
        EXPECT_EQ(polls(), keep ? 1u : 2u) << "no poll after the decision";
        ASSERT_TRUE(driver.answerAlert(DecisionPoller::kAcceptTitle));
        ASSERT_EQ(accepted.size(), 1u);
        ASSERT_EQ(accepted[0].size(), 2u);
        EXPECT_EQ(accepted[0][1].keyValues(), decision()[1].keyValues());
        poller->stop();
    }
}

TEST_F(DecisionPollerTest, AReplyForAPollerThatIsGoneReachesNothing) {
    HeldReply late;
    server.scriptOnce("processpapertimer", late(Reply::rescode("200", "成功", {{"dutylist", decisionJson()}})));
    makePoller({.keepLateDecision = true});
    poller->start();
    advance(2);
    ASSERT_TRUE(server.waitForRequests("processpapertimer", 1));
    auto timer = poller->timer();
    poller.reset();
    EXPECT_FALSE(timer->isValid());
    late.release();
    settleRequests();
    pass(2);
    EXPECT_FALSE(alertShowing());
    EXPECT_EQ(polls(), 1u);
    EXPECT_TRUE(accepted.empty());
}

// Values the user state lacks are left out of the poll.
TEST_F(DecisionPollerTest, IdentityTheStateLacksIsLeftOut) {
    UserDateSingleton::shareUserDateInstance().setAccidentno(std::string());
    server.script("processpapertimer", Reply::rescode("201", "等待"));
    makePoller({});
    poller->start();
    pass(2);
    poller->stop();
    auto query = server.lastRequest("processpapertimer")->query;
    EXPECT_FALSE(query.contains("accidentno")) << query.dump();
    EXPECT_EQ(query["userid"], standin::kDemoUserId);
    EXPECT_EQ(polls(), 1u);
}

TEST_F(DecisionPollerTest, PracticeSendsNothingAndShowsTheAlertOnlyWhenAsked) {
    makePoller({.mode = CaseMode::Practice});
    poller->start();
    pass(4);
    EXPECT_FALSE(poller->isRunning());
    EXPECT_FALSE(alertShowing());
    poller->stop();

    makePoller({.mode = CaseMode::Practice, .practiceAlert = true});
    poller->start();
    advance(1);
    poller->stop();
    advance(3);
    EXPECT_FALSE(alertShowing()) << "stopped before it was due";
    poller->start();
    advance(1.9);
    EXPECT_FALSE(alertShowing());
    advance(0.2);
    ASSERT_TRUE(alertShowing());
    ASSERT_TRUE(driver.answerAlert(DecisionPoller::kAcceptTitle));
    ASSERT_EQ(accepted.size(), 1u);
    EXPECT_TRUE(accepted[0].empty());
    // Accepted: the next start shows it again.
    poller->stop();
    poller->start();
    advance(2.1);
    EXPECT_TRUE(alertShowing());
    ASSERT_TRUE(driver.answerAlert(DecisionPoller::kAcceptTitle));
    settleRequests();
    EXPECT_EQ(server.requests().size(), 0u);
}

}  // namespace
