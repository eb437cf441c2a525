#include <gtest/gtest.h>

#include "PoliceTestSupport.h"
#include "app/ApplicationScreens.h"
#include "app/LiabilityRoad.h"
#include "app/Navigator.h"
#include "core/ScreenRegistry.h"
#include "hud/TwoButtonAlertView.h"
#include "liability/police/TrafficPoliceViewController.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/ActionSheet.h"
#include "support/HeldReply.h"

namespace {

using standin::Reply;

struct Decision {
    CaseMode mode;
    std::vector<PoliceDutyModel> records;
    InsuranceCompany insurance;
};

class TrafficPoliceTest : public PoliceTest {
protected:
    std::shared_ptr<TrafficPoliceViewController> openWait(CaseMode mode, bool isHistory = false) {
        screen = std::make_shared<TrafficPoliceViewController>(TrafficPoliceViewController::Arguments{
            .simulateState = mode, .insurance = insurer(), .isHistory = isHistory});
        screen->onDecision = [this, mode](std::vector<PoliceDutyModel> records, InsuranceCompany i) {
            decisions.push_back({mode, std::move(records), std::move(i)});
        };
        screen->onChat = [this](InsuranceCompany i) { chats.push_back(std::move(i)); };
        push(screen);
        return screen;
    }
    // Lets `seconds` pass and the replies of the polls it started arrive.
    void pass(double seconds) {
        advance(seconds);
        settleRequests();
    }
    size_t polls() const { return server.count("processpapertimer"); }
    bool alertShowing() const { return driver.isOnScreen("交警给您发来事故责任认定意见,请接收"); }
    bool timerRunning() { return screen->timer() && screen->timer()->isValid(); }
    void pushOther() {
        other = std::make_shared<RootPage>();
        push(other);
    }

    std::shared_ptr<TrafficPoliceViewController> screen;
    std::shared_ptr<ui::ViewController> other;
    std::vector<Decision> decisions;
    std::vector<InsuranceCompany> chats;
};

TEST_F(TrafficPoliceTest, TheWaitShowsItsTipAndCopiesTheInsurerForTheChat) {
    openWait(CaseMode::Real);
    EXPECT_EQ(screen->title(), "指导定责");
    EXPECT_TRUE(driver.isOnScreen("交警正在确认您的事故信息，请您耐心等待交警的定责指导结果！"));
    EXPECT_TRUE(driver.isOnScreen("联系交警"));
    EXPECT_TRUE(driver.isOnScreen("退出"));
    EXPECT_TRUE(screen->navigationItem()->hidesBackButton());
    auto& state = UserDateSingleton::shareUserDateInstance();
    EXPECT_EQ(state.inscomcode(), "PICC");
    EXPECT_EQ(state.insreporttel(), "95518");
    ASSERT_TRUE(driver.tap("联系交警"));
    ASSERT_EQ(chats.size(), 1u);
    EXPECT_EQ(chats[0].keyValues(), insurer().keyValues());
}

TEST_F(TrafficPoliceTest, PollsEveryTwoSecondsWithTheCaseIdentityAndNeverTwiceAtOnce) {
    HeldReply outstanding;
    server.scriptOnce("processpapertimer", outstanding(Reply::rescode("201", "等待")));
    openWait(CaseMode::Real);
    advance(1.9);
    EXPECT_EQ(polls(), 0u);
    advance(0.2);
    ASSERT_TRUE(server.waitForRequests("processpapertimer", 1));
    EXPECT_EQ(server.lastRequest("processpapertimer")->method, "GET");
    EXPECT_EQ(server.lastRequest("processpapertimer")->query,
              (nlohmann::json{{"userid", standin::kDemoUserId},
                              {"accidentno", kCase},
                              {"sn", standin::signatureFor(standin::kDemoUserId)},
                              {"appkey", AppConfig::appKey()}}));
    // The next tick comes while the first poll is outstanding: nothing is sent.
    advance(2);
    EXPECT_EQ(polls(), 1u);
    outstanding.release();
    settleRequests();
    // Refused, then failed: the wait polls on, silently.
    server.scriptOnce("processpapertimer", Reply::rescode("500", "服务器繁忙"));
    server.scriptOnce("processpapertimer", Reply::dropped());
    pass(2);
    pass(2);
    pass(2);
    EXPECT_EQ(polls(), 4u);
    EXPECT_EQ(toast(), "");
    EXPECT_TRUE(timerRunning());
    EXPECT_FALSE(alertShowing());
}

TEST_F(TrafficPoliceTest, TheDecisionStopsThePollingAndItsAlertHandsTheRecordsOn) {
    server.scriptOnce("processpapertimer", Reply::rescode("201", "等待"));
    server.scriptOnce("processpapertimer", Reply::rescode("200", "成功", {{"dutylist", decisionJson()}, {"paperno", "JJ20261207001"}}));
    openWait(CaseMode::Real);
    pass(2);
    EXPECT_FALSE(alertShowing());
    pass(2);
    ASSERT_TRUE(alertShowing());
    EXPECT_TRUE(driver.isOnScreen("提醒"));
    EXPECT_FALSE(timerRunning());
    auto badges = ui::Application::shared().badgeHistory();
    ASSERT_GE(badges.size(), 2u);
    EXPECT_EQ(std::vector<long>(badges.end() - 2, badges.end()), (std::vector<long>{1, 0}));
    // Decided: a restarted timer ticks but sends nothing.
    foundation::NotificationCenter::defaultCenter().post("STARTTIMER");
    pass(4);
    EXPECT_EQ(polls(), 2u);

    ASSERT_TRUE(driver.tap("接收"));
    ASSERT_EQ(decisions.size(), 1u);
    EXPECT_EQ(decisions[0].mode, CaseMode::Real);
    ASSERT_EQ(decisions[0].records.size(), 2u);
    EXPECT_EQ(decisions[0].records[0].keyValues(), decision()[0].keyValues());
    EXPECT_EQ(decisions[0].records[1].keyValues(), decision()[1].keyValues());
    EXPECT_EQ(decisions[0].insurance.keyValues(), insurer().keyValues());
    EXPECT_FALSE(alertShowing());
}

// A "200" without two usable records is no decision: nothing shows and the wait polls on
// until the decision comes, which the confirmation then shows for both parties.
TEST_F(TrafficPoliceTest, AReplyWithoutTwoUsableRecordsIsNoDecision) {
    for (auto reply :
         {nlohmann::json{{"rescode", "200"}}, nlohmann::json{{"rescode", "200"}, {"dutylist", nlohmann::json::array()}},
          nlohmann::json{{"rescode", "200"}, {"dutylist", "broken"}},
          nlohmann::json{{"rescode", "200"}, {"dutylist", nlohmann::json::array({decisionJson()[0], 5})}},
          nlohmann::json{{"rescode", "200"},
                         {"dutylist", nlohmann::json::array({decisionJson()[0], {{"carname", "李四"}}})}}}) {
        SCOPED_TRACE(reply.dump());
        server.clearRequests();
        server.scriptOnce("processpapertimer", Reply::json(reply));
        server.scriptOnce("processpapertimer", Reply::rescode("200", "成功", {{"dutylist", decisionJson()}}));
        push(LiabilityRoad::makePoliceWait({.simulateState = CaseMode::Real, .insurance = insurer()}));
        pass(2);
        EXPECT_FALSE(driver.isAlertShowing());
        pass(2);
        EXPECT_EQ(polls(), 2u);
        ASSERT_TRUE(driver.answerAlert("接收"));
        EXPECT_FALSE(driver.isAlertShowing()) << "one alert";
        finishTransitions();
        EXPECT_EQ(top()->className(), "PoliceDutyViewController");
        EXPECT_TRUE(driver.isOnScreen("张三"));
        EXPECT_TRUE(driver.isOnScreen("李四"));
        navigation->popToRootViewController(false);
        finishTransitions();
    }
}

TEST_F(TrafficPoliceTest, OneTimerOnlyWhileShownAndTheBackgroundStopsIt) {
    server.script("processpapertimer", Reply::rescode("201", "等待"));
    openWait(CaseMode::Real);
    ASSERT_TRUE(timerRunning());
    auto first = screen->timer();
    // A second appearance or "STARTTIMER" keeps the running timer.
    foundation::NotificationCenter::defaultCenter().post("STARTTIMER");
    EXPECT_EQ(screen->timer(), first);

    // The application goes to the background: the delegate stops the timer through the
    // waiting screen's interface; the return restarts exactly one.
    auto holder = std::dynamic_pointer_cast<TimerHoldingScreen>(top());
    ASSERT_NE(holder, nullptr);
    holder->timer()->invalidate();
    holder->timer().reset();
    pass(4);
    EXPECT_EQ(polls(), 0u);
    foundation::NotificationCenter::defaultCenter().post("STARTTIMER");
    foundation::NotificationCenter::defaultCenter().post("STARTTIMER");
    pass(2);
    EXPECT_EQ(polls(), 1u);
    pass(2);
    EXPECT_EQ(polls(), 2u);

    // Under another screen: no polling, and "STARTTIMER" starts none.
    pushOther();
    EXPECT_FALSE(timerRunning());
    foundation::NotificationCenter::defaultCenter().post("STARTTIMER");
    EXPECT_FALSE(timerRunning());
    pass(6);
    EXPECT_EQ(polls(), 2u);
    // Back on top: polling again, on one timer.
    navigation->popViewController(false);
    finishTransitions();
    pass(2);
    EXPECT_EQ(polls(), 3u);
}

TEST_F(TrafficPoliceTest, ADecisionArrivingUnderAnotherScreenWaitsForTheReturn) {
    HeldReply decision;
    server.scriptOnce("processpapertimer", decision(Reply::rescode("200", "成功", {{"dutylist", decisionJson()}})));
    openWait(CaseMode::Real);
    advance(2);
    ASSERT_TRUE(server.waitForRequests("processpapertimer", 1));
    pushOther();
    decision.release();
    settleRequests();
    EXPECT_FALSE(alertShowing());
    navigation->popViewController(false);
    finishTransitions();
    EXPECT_TRUE(alertShowing());
}

TEST_F(TrafficPoliceTest, GivingUpAsksAndReportsTheTaskStateOnlyOnConfirmation) {
    server.script("processpapertimer", Reply::rescode("201", "等待"));
    openWait(CaseMode::Real);
    ASSERT_TRUE(driver.tapBarButton(driver::BarSide::Left));
    ASSERT_TRUE(driver.isOnScreen("您确定放弃交警协助定责吗？如果放弃此事故会被视为无效事故"));
    ASSERT_TRUE(driver.answerAlert("取消"));
    settleRequests();
    EXPECT_EQ(server.count("taskstate"), 0u);
    EXPECT_EQ(top(), screen);

    // Refused: the server's message, the screen stays and polls on.
    server.scriptOnce("taskstate", Reply::rescode("500", "撤销失败"));
    ASSERT_TRUE(driver.tapBarButton(driver::BarSide::Right));
    ASSERT_TRUE(driver.answerAlert("确定"));
    settleRequests();
    EXPECT_EQ(toast(), "撤销失败");
    EXPECT_EQ(top(), screen);
    size_t before = polls();
    pass(2);
    EXPECT_EQ(polls(), before + 1);

    clearToast();
    ASSERT_TRUE(driver.tapBarButton(driver::BarSide::Right));
    ASSERT_TRUE(driver.answerAlert("确定"));
    settleRequests();
    finishTransitions();
    ASSERT_EQ(server.count("taskstate"), 2u);
    EXPECT_EQ(server.lastRequest("taskstate")->body, (nlohmann::json{{"userid", standin::kDemoUserId},
                                                                     {"accidentno", kCase},
                                                                     {"appkey", AppConfig::appKey()},
                                                                     {"sn", standin::signatureFor(standin::kDemoUserId)},
                                                                     {"accidenttype", "0"},
                                                                     {"type", "0"}}));
    EXPECT_EQ(stackNames(), std::vector<std::string>{"RootPage"});
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
}

TEST_F(TrafficPoliceTest, FromTheHistoryBackJustGoesBackAndQuitStillAsks) {
    openWait(CaseMode::Real, true);
    ASSERT_TRUE(driver.tapBarButton(driver::BarSide::Right));
    EXPECT_TRUE(driver.isAlertShowing());
    ASSERT_TRUE(driver.answerAlert("取消"));
    ASSERT_TRUE(driver.tapBarButton(driver::BarSide::Left));
    finishTransitions();
    EXPECT_FALSE(driver.isAlertShowing());
    EXPECT_EQ(stackNames(), std::vector<std::string>{"RootPage"});
    EXPECT_EQ(server.count("taskstate"), 0u);
}

TEST_F(TrafficPoliceTest, PracticeShowsTheAlertTwoSecondsAfterEachAppearanceAndSendsNothing) {
    openWait(CaseMode::Practice);
    advance(1.9);
    EXPECT_FALSE(alertShowing());
    advance(0.2);
    ASSERT_TRUE(alertShowing());
    ASSERT_TRUE(driver.tap("接收"));
    ASSERT_EQ(decisions.size(), 1u);
    EXPECT_EQ(decisions[0].mode, CaseMode::Practice);
    EXPECT_TRUE(decisions[0].records.empty());

    // Left within the 2 s: the alert does not show over the other screen, nor later.
    pushOther();
    navigation->popViewController(false);
    finishTransitions();
    advance(1);
    pushOther();
    advance(3);
    EXPECT_FALSE(alertShowing());
    navigation->popViewController(false);
    finishTransitions();
    advance(2.1);
    EXPECT_TRUE(alertShowing());

    // Giving up sends nothing and goes home.
    ASSERT_TRUE(driver.tap("接收"));
    pushOther();
    navigation->popViewController(false);
    finishTransitions();
    ASSERT_TRUE(driver.tapBarButton(driver::BarSide::Right));
    ASSERT_TRUE(driver.answerAlert("确定"));
    finishTransitions();
    EXPECT_EQ(stackNames(), std::vector<std::string>{"RootPage"});
    settleRequests();
    EXPECT_EQ(server.requests().size(), 0u);
}

// The road: the negotiation's "交警远程定责" opens the wait; its chat is not built yet; the
// registry makes it by name with strictly read arguments.
TEST_F(TrafficPoliceTest, TheRoadOpensTheWaitAndItsChat) {
    LiabilityRoad::openPoliceWait(CaseMode::Real, insurer());
    finishTransitions();
    auto wait = top<TrafficPoliceViewController>();
    ASSERT_NE(wait, nullptr);
    EXPECT_FALSE(wait->isHistory);
    EXPECT_TRUE(wait->hideBackButton);
    ASSERT_TRUE(driver.tap("联系交警"));
    finishTransitions();
    EXPECT_EQ(top()->className(), "ChatViewController");
    EXPECT_EQ(top()->title(), "在线沟通");
    navigation->popViewController(false);
    finishTransitions();
    EXPECT_EQ(top(), wait);
    navigation->popViewController(false);
    finishTransitions();

    registerApplicationScreens();
    auto named = std::dynamic_pointer_cast<TrafficPoliceViewController>(ScreenRegistry::make(
        "TrafficPoliceViewController", {{"simulateState", 1}, {"isHistory", true}, {"insurance", insurer().keyValues()}}));
    ASSERT_NE(named, nullptr);
    EXPECT_TRUE(named->isHistory);
    EXPECT_EQ(named->insurance.keyValues(), insurer().keyValues());
    expectErrors();
    EXPECT_EQ(ScreenRegistry::make("TrafficPoliceViewController", {{"simulateState", "1"}}), nullptr);
}

}  // namespace
