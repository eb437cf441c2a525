#include <gtest/gtest.h>

#include "FollowupTestSupport.h"
#include "core/CaseInProgress.h"
#include "liability/followup/PromptResultViewController.h"
#include "liability/followup/ReportResultViewController.h"
#include "liability/followup/RkTipsViewController.h"
#include "platform/graphics/Font.h"
#include "support/HeldReply.h"

namespace {

using standin::Reply;

class ResultTrackingTest : public FollowupTest {
protected:
    std::shared_ptr<ReportResultViewController> openResult(int flag, nlohmann::json extra = nlohmann::json::object()) {
        nlohmann::json arguments = {{"compary", insurer()}, {"simualateState", flag}};
        for (auto& [key, value] : extra.items()) arguments[key] = value;
        auto screen = open<ReportResultViewController>("ReportResultViewController", arguments);
        settleRequests();
        return screen;
    }
    static Reply passed(const std::string& code, nlohmann::json extra = nlohmann::json::object()) {
        return Reply::rescode(code, "成功", extra);
    }
    int promptsInStack() const {
        int n = 0;
        for (const auto& name : stackNames()) n += name == "PromptResultViewController";
        return n;
    }
    std::shared_ptr<ui::AlertView> alert() const {
        auto alerts = ui::AlertView::visibleAlerts();
        return alerts.empty() ? nullptr : alerts.back();
    }
};

TEST_F(ResultTrackingTest, OneMeasuredRowWithTheInsurersPhoneAndTheHomeButton) {
    auto result = openResult(0);
    EXPECT_EQ(result->title(), "温馨提示");
    ASSERT_NE(result->navigationItem()->rightBarButtonItem(), nullptr);
    EXPECT_EQ(result->navigationItem()->rightBarButtonItem()->title(), "撤销案件");
    EXPECT_EQ(result->navigationItem()->leftBarButtonItem(), nullptr);
    std::string text = std::string(ReportResultViewController::kMessage) + "95518";
    EXPECT_TRUE(driver.findByText(text)) << driver.describeScreen();
    EXPECT_TRUE(driver.isOnScreen("95518"));

    auto table = result->tableView();
    ASSERT_EQ(table->numberOfRowsInSection(0), 1);
    double width = ui::Screen::mainScreen().bounds().width();
    double expected = graphics::measureText(text, ui::Font::systemFont(18), width - 30).height + 30;
    EXPECT_DOUBLE_EQ(table->rectForRowAtIndexPath(ui::IndexPath::forRow(0, 0)).height(), expected);
    // The text takes several lines at that width.
    EXPECT_GT(expected, 3 * ui::Font::systemFont(18).lineHeight());
    auto cell = table->cellForRowAtIndexPath(ui::IndexPath::forRow(0, 0));
    EXPECT_EQ(cell->textLabel()->numberOfLines(), 0);
    EXPECT_EQ(cell->textLabel()->lineBreakMode(), ui::LineBreakMode::CharWrapping);

    auto footer = table->tableFooterView();
    EXPECT_EQ(footer->frame().size, ui::Size(width, 104));
    EXPECT_EQ(ReportResultTestAPI::button(*result)->frame(), ui::Rect(10, 60, width - 20, 44));
    EXPECT_EQ(ReportResultTestAPI::button(*result)->currentBackgroundImage()->name(), "灰色btn");
    EXPECT_EQ(ReportResultTestAPI::button(*result)->backgroundImageForState(ui::ControlStates::Highlighted)->name(), "灰色btn-按下");

    // An insurer without a phone still gets the whole sentence.
    auto bare = std::make_shared<ReportResultViewController>(ReportResultViewController::Arguments{.simualateState = CaseMode::Practice});
    EXPECT_EQ(ReportResultTestAPI::messageText(*bare), std::string(ReportResultViewController::kMessage) + "您的保险公司");
}

TEST_F(ResultTrackingTest, PollsAtOnceAndEveryFiveSecondsUntilAPassedReplyOpensThePromptOnce) {
    server.script("claimresult", Reply::rescode("201", "暂无理赔结果"));
    auto result = openResult(1);
    ASSERT_EQ(server.count("claimresult"), 1u);
    auto poll = *server.lastRequest("claimresult");
    EXPECT_EQ(poll.method, "GET");
    EXPECT_EQ(poll.query, (nlohmann::json{{"userid", standin::kDemoUserId},
                                          {"accidentno", kCase},
                                          {"appkey", AppConfig::appKey()},
                                          {"sn", standin::signatureFor(standin::kDemoUserId)}}));
    advance(4.9);
    settleRequests();
    EXPECT_EQ(server.count("claimresult"), 1u);
    pollTicks(1, 0.1);
    EXPECT_EQ(server.count("claimresult"), 2u);
    pollTicks(2);
    EXPECT_EQ(server.count("claimresult"), 4u);
    EXPECT_EQ(topName(), "ReportResultViewController");
    EXPECT_EQ(toast(), "");

    // "203" ends the polling like "200"; its "result" goes to the prompt.
    server.clearScripts();
    server.script("claimresult", passed("203", {{"result", "已赔付 800 元"}}));
    pollTicks(1);
    auto prompt = top<PromptResultViewController>();
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->accidentno, kCase);
    EXPECT_TRUE(prompt->isShowBtn);
    EXPECT_EQ(prompt->simualateState, CaseMode::Real);
    EXPECT_EQ(prompt->textValue, "已赔付 800 元");
    EXPECT_TRUE(ReportResultTestAPI::isPollingOver(*result));
    EXPECT_EQ(ReportResultTestAPI::timer(*result), nullptr);

    // Coming back from the prompt does not poll again.
    ASSERT_TRUE(driver.goBack().ok() || (rootNavigation()->popViewController(true), true));
    finishTransitions();
    EXPECT_EQ(topName(), "ReportResultViewController");
    size_t polls = server.count("claimresult");
    pollTicks(4);
    EXPECT_EQ(server.count("claimresult"), polls);
}

TEST_F(ResultTrackingTest, TwoPassedRepliesInFlightOpenThePromptOnlyOnce) {
    // The first poll's reply is slow; the second tick's comes first. Both pass.
    server.scriptOnce("claimresult", Reply::delayed(0.4, {{"rescode", "200"}, {"result", "第一次答复"}}));
    server.scriptOnce("claimresult", passed("200", {{"result", "第二次答复"}}));
    auto result = open<ReportResultViewController>("ReportResultViewController",
                                                   {{"compary", insurer()}, {"simualateState", 1}});
    advance(5);
    ASSERT_TRUE(server.waitForRequests("claimresult", 2));
    settleRequests();
    EXPECT_EQ(promptsInStack(), 1);
    auto prompt = top<PromptResultViewController>();
    ASSERT_NE(prompt, nullptr);
    // Whichever came first is shown; the other is ignored.
    EXPECT_TRUE(prompt->textValue == "第一次答复" || prompt->textValue == "第二次答复");
    pollTicks(3);
    EXPECT_EQ(server.count("claimresult"), 2u);
    EXPECT_EQ(promptsInStack(), 1);
}

TEST_F(ResultTrackingTest, PassedReplyWithoutUsableResultOpensAWaitingPrompt) {
    for (const nlohmann::json& extra : {nlohmann::json::object(), nlohmann::json{{"result", nullptr}},
                                        nlohmann::json{{"result", {{"money", 1}}}}, nlohmann::json{{"result", true}}}) {
        server.scriptOnce("claimresult", passed("200", extra));
        openResult(1);
        auto prompt = top<PromptResultViewController>();
        ASSERT_NE(prompt, nullptr) << extra.dump();
        EXPECT_FALSE(prompt->textValue) << extra.dump();
        EXPECT_TRUE(PromptResultTestAPI::isWaiting(*prompt));
        EXPECT_FALSE(PromptResultTestAPI::button(*prompt)->isEnabled());
        rootNavigation()->popToRootViewController(false);
        finishTransitions();
    }
    // A number is the result's text.
    server.scriptOnce("claimresult", passed("200", {{"result", 1280}}));
    openResult(1);
    ASSERT_NE(top<PromptResultViewController>(), nullptr);
    EXPECT_EQ(top<PromptResultViewController>()->textValue, "1280");
}

TEST_F(ResultTrackingTest, FailedPollsAreToldAndPollingGoesOn) {
    server.scriptOnce("claimresult", Reply::dropped());
    server.scriptOnce("claimresult", Reply::raw("<html>bad gateway</html>"));
    server.scriptOnce("claimresult", Reply::rescode("500", "服务器错误"));
    auto result = openResult(1);
    EXPECT_EQ(toast(), AppConfig::kNetworkFailureText);
    ProgressHUD::resetForTesting();
    pollTicks(1);
    EXPECT_EQ(toast(), AppConfig::kNetworkFailureText);
    ProgressHUD::resetForTesting();
    pollTicks(1);
    EXPECT_EQ(toast(), "");
    server.scriptOnce("claimresult", passed("200", {{"result", "结案"}}));
    pollTicks(1);
    EXPECT_EQ(server.count("claimresult"), 4u);
    EXPECT_EQ(topName(), "PromptResultViewController");
}

TEST_F(ResultTrackingTest, DisappearingStopsPollingForGood) {
    server.script("claimresult", Reply::rescode("201", "暂无理赔结果"));
    auto result = openResult(1, {{"isBackBtn", true}});
    ASSERT_NE(result->navigationItem()->leftBarButtonItem(), nullptr);
    ASSERT_TRUE(driver.goBack());
    finishTransitions();
    EXPECT_EQ(topName(), "HomeViewController");
    EXPECT_TRUE(ReportResultTestAPI::isPollingOver(*result));
    size_t polls = server.count("claimresult");
    pollTicks(3);
    EXPECT_EQ(server.count("claimresult"), polls);
    // Shown again, it still does not poll.
    navigation->pushViewController(result, false);
    finishTransitions();
    pollTicks(3);
    EXPECT_EQ(server.count("claimresult"), polls);
}

TEST_F(ResultTrackingTest, TheCaseNumberIsUsedForPollRevokeAndPrompt) {
    server.scriptOnce("claimresult", Reply::rescode("201", "暂无理赔结果"));
    CaseInProgress::keep("BJ202611300002");
    auto result = openResult(1, {{"isBackBtn", true}});
    EXPECT_EQ(server.lastRequest("claimresult")->param("accidentno"), "BJ202611300002");
    // A revoke that the server refuses: the screen stays and keeps polling.
    HeldReply refusal;
    server.scriptOnce("taskstate", refusal(Reply::rescode("300", "案件不可撤销")));
    ASSERT_TRUE(driver.tapBarButton(driver::BarSide::Right));
    ASSERT_TRUE(driver.answerAlert("确定"));
    EXPECT_NE(result->loadingHUD(), nullptr);
    refusal.release();
    settleRequests();
    EXPECT_EQ(result->loadingHUD(), nullptr);
    EXPECT_EQ(toast(), "案件不可撤销");
    auto revoke = *server.lastRequest("taskstate");
    EXPECT_EQ(revoke.method, "POST");
    EXPECT_EQ(revoke.body, (nlohmann::json{{"userid", standin::kDemoUserId},
                                           {"accidentno", "BJ202611300002"},
                                           {"accidenttype", "0"},
                                           {"type", "1"},
                                           {"appkey", AppConfig::appKey()},
                                           {"sn", standin::signatureFor(standin::kDemoUserId)}}));
    EXPECT_EQ(topName(), "ReportResultViewController");
    server.scriptOnce("claimresult", passed("200", {{"result", "结案"}}));
    pollTicks(1);
    auto prompt = top<PromptResultViewController>();
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->accidentno, "BJ202611300002");
}

TEST_F(ResultTrackingTest, RevokeOnlyOnATapOfConfirm) {
    server.script("claimresult", Reply::rescode("201", "暂无理赔结果"));
    auto result = openResult(1);
    // "取消" sends nothing.
    ASSERT_TRUE(driver.tapBarButton(driver::BarSide::Right));
    auto question = alert();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->message(), "请您确认是否撤销报案");
    EXPECT_EQ(question->buttonTitleAtIndex(0), "确定");
    EXPECT_EQ(question->cancelButtonIndex(), 0);
    EXPECT_EQ(question->buttonTitleAtIndex(1), "取消");
    ASSERT_TRUE(driver.answerAlert("取消"));
    // A dismissal that no finger caused does not revoke either, whatever its index.
    ASSERT_TRUE(driver.tapBarButton(driver::BarSide::Right));
    alert()->dismissWithClickedButtonIndex(0, false);
    settleRequests();
    EXPECT_EQ(server.count("taskstate"), 0u);

    // The answer waits until the spinner has been seen.
    HeldReply answer;
    server.scriptOnce("taskstate", answer(passed("200")));
    ASSERT_TRUE(driver.tapBarButton(driver::BarSide::Right));
    ASSERT_TRUE(driver.answerAlert("确定"));
    ASSERT_NE(result->loadingHUD(), nullptr);
    EXPECT_EQ(result->loadingHUD()->text(), "正在提交...");
    answer.release();
    settleRequests();
    EXPECT_EQ(server.count("taskstate"), 1u);
    EXPECT_TRUE(onNewHomePage());
    EXPECT_TRUE(ReportResultTestAPI::isPollingOver(*result));
    size_t polls = server.count("claimresult");
    pollTicks(2);
    EXPECT_EQ(server.count("claimresult"), polls);
}

TEST_F(ResultTrackingTest, HomeButtonAndPracticeLeaveForTheHomeOrTheLogin) {
    server.script("claimresult", Reply::rescode("201", "暂无理赔结果"));
    auto result = openResult(1);
    tapAndSettle("返回首页");
    EXPECT_TRUE(onNewHomePage());
    EXPECT_EQ(made["HomeViewController"], 2);
    size_t polls = server.count("claimresult");
    pollTicks(2);
    EXPECT_EQ(server.count("claimresult"), polls);
    EXPECT_EQ(server.count("taskstate"), 0u);
}

TEST_F(ResultTrackingTest, PracticeNeverCallsTheServer) {
    auto result = openResult(0);
    EXPECT_EQ(ReportResultTestAPI::timer(*result), nullptr);
    pollTicks(3);
    // The revoke in practice: home page when signed in.
    ASSERT_TRUE(driver.tapBarButton(driver::BarSide::Right));
    ASSERT_TRUE(driver.answerAlert("确定"));
    finishTransitions();
    EXPECT_TRUE(onNewHomePage());

    // Without a signed-in user both ways lead to the login.
    UserDateSingleton::shareUserDateInstance().setUserid(std::nullopt);
    for (int way = 0; way < 2; ++way) {
        auto practice = std::make_shared<ReportResultViewController>(ReportResultViewController::Arguments{.simualateState = CaseMode::Practice});
        rootNavigation()->pushViewController(practice, false);
        finishTransitions();
        if (way == 0) {
            tapAndSettle("返回首页");
        } else {
            ASSERT_TRUE(driver.tapBarButton(driver::BarSide::Right));
            ASSERT_TRUE(driver.answerAlert("确定"));
            finishTransitions();
        }
        EXPECT_EQ(topName(), "LoginViewController");
    }
    settleRequests();
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(ResultTrackingTest, PhotoTipsRevokeTheCurrentCaseOrLeave) {
    auto tips = std::make_shared<RkTipsViewController>();
    navigation->pushViewController(tips, false);
    finishTransitions();
    EXPECT_EQ(tips->title(), "温馨提示");
    EXPECT_TRUE(driver.isOnScreen("车辆损失照片已上传"));
    EXPECT_TRUE(driver.isOnScreen("退出"));
    ASSERT_TRUE(driver.tapBarButton(driver::BarSide::Right));
    ASSERT_TRUE(driver.answerAlert("取消"));
    ASSERT_TRUE(driver.tapBarButton(driver::BarSide::Right));
    ASSERT_TRUE(driver.answerAlert("确定"));
    settleRequests();
    ASSERT_EQ(server.count("taskstate"), 1u);
    EXPECT_EQ(server.lastRequest("taskstate")->body, (nlohmann::json{{"userid", standin::kDemoUserId},
                                                                     {"accidentno", kCase},
                                                                     {"accidenttype", "0"},
                                                                     {"type", "1"}}));
    EXPECT_TRUE(onNewHomePage());

    auto again = std::make_shared<RkTipsViewController>();
    rootNavigation()->pushViewController(again, false);
    finishTransitions();
    tapAndSettle("退出");
    EXPECT_EQ(made["HomeViewController"], 3);
    EXPECT_EQ(server.count("taskstate"), 1u);
    pollTicks(2);
    EXPECT_EQ(server.count("claimresult"), 0u);
}

}  // namespace
