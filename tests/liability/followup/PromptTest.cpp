#include <gtest/gtest.h>

#include "FollowupTestSupport.h"
#include "app/AppDelegate.h"
#include "liability/followup/AppraisalViewController.h"
#include "liability/followup/PromptResultViewController.h"
#include "liability/followup/ReminderCell.h"
#include "platform/graphics/Font.h"
#include "support/HeldReply.h"

namespace {

using standin::Reply;

class PromptTest : public FollowupTest {
protected:
    // The prompt as the push router opens it: the root of a new navigation controller.
    std::shared_ptr<PromptResultViewController> openFromPush(const std::string& number = kCase) {
        auto delegate = std::make_shared<AppDelegate>();
        delegate->didReceiveRemoteNotification(
            {{"aps", {{"key", "ClAIMRESULT"}, {"content", {{"accidentno", number}}}, {"badge", 1}}}});
        finishTransitions();
        settleRequests();
        return top<PromptResultViewController>();
    }
};

TEST_F(PromptTest, OpenedWithATextShowsItAndNeverPolls) {
    auto prompt = open<PromptResultViewController>(
        "PromptResultViewController",
        {{"accidentno", kCase}, {"isShowBtn", true}, {"simualateState", 1}, {"textValue", "已赔付 800 元"}});
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->title(), "温馨提示");
    EXPECT_EQ(prompt->navigationItem()->leftBarButtonItem(), nullptr);
    EXPECT_TRUE(driver.isOnScreen("已赔付 800 元"));
    EXPECT_TRUE(PromptResultTestAPI::button(*prompt)->isEnabled());
    EXPECT_EQ(PromptResultTestAPI::activityIndicator(*prompt), nullptr);
    double width = ui::Screen::mainScreen().bounds().width();
    EXPECT_EQ(prompt->tableView()->tableFooterView()->frame().size, ui::Size(width, 200));
    EXPECT_EQ(PromptResultTestAPI::button(*prompt)->frame(), ui::Rect(10, 60, width - 20, 44));
    EXPECT_DOUBLE_EQ(prompt->tableView()->rectForRowAtIndexPath(ui::IndexPath::forRow(0, 0)).height(),
                     graphics::measureText("已赔付 800 元", ui::Font::systemFont(18), width - 30).height + 30);
    pollTicks(4);
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(PromptTest, FromThePushWithoutAnyResultTheDriverCanGoHome) {
    server.script("claimresult", Reply::rescode("201", "暂无理赔结果"));
    auto prompt = openFromPush("BJ202612010009");
    ASSERT_NE(prompt, nullptr);
    pollTicks(3);
    EXPECT_TRUE(PromptResultTestAPI::isWaiting(*prompt));
    EXPECT_EQ(server.count("claimresult"), 4u);

    ASSERT_TRUE(driver.tap("返回"));
    finishTransitions();
    settleRequests();
    EXPECT_TRUE(onNewHomePage());
    EXPECT_FALSE(PromptResultTestAPI::activityIndicator(*prompt)->isAnimating());
    // The poll stopped with the screen.
    auto polls = server.count("claimresult");
    pollTicks(3);
    EXPECT_EQ(server.count("claimresult"), polls);
}

TEST_F(PromptTest, FromThePushItWaitsWithADisabledButtonUntilTheFirstPassedReply) {
    server.scriptOnce("claimresult", Reply::rescode("201", "暂无理赔结果"));
    server.scriptOnce("claimresult", Reply::rescode("200", "成功"));           // no result yet
    server.scriptOnce("claimresult", Reply::rescode("200", "成功", {{"result", nullptr}}));
    server.scriptOnce("claimresult", Reply::rescode("203", "成功", {{"result", 1280.5}}));
    auto prompt = openFromPush("BJ202612010003");
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(stackNames(), std::vector<std::string>{"PromptResultViewController"});
    EXPECT_EQ(prompt->accidentno, "BJ202612010003");
    EXPECT_EQ(prompt->simualateState, CaseMode::Real);
    EXPECT_EQ(server.lastRequest("claimresult")->param("accidentno"), "BJ202612010003");

    // No way on while waiting: the rating button disabled; the only way is home.
    for (int tick = 0; tick < 3; ++tick) {
        EXPECT_TRUE(PromptResultTestAPI::isWaiting(*prompt)) << tick;
        EXPECT_TRUE(driver.isOnScreen("目前无理赔结果信息,请等待..."));
        EXPECT_NE(prompt->navigationItem()->leftBarButtonItem(), nullptr);
        EXPECT_FALSE(PromptResultTestAPI::button(*prompt)->isEnabled());
        EXPECT_FALSE(driver.tap("满意度评价"));
        ASSERT_NE(PromptResultTestAPI::activityIndicator(*prompt), nullptr);
        EXPECT_TRUE(PromptResultTestAPI::activityIndicator(*prompt)->isAnimating());
        pollTicks(1);
    }
    EXPECT_FALSE(PromptResultTestAPI::isWaiting(*prompt));
    EXPECT_TRUE(driver.isOnScreen("1280.5"));
    EXPECT_FALSE(driver.isOnScreen("目前无理赔结果信息,请等待..."));
    EXPECT_FALSE(PromptResultTestAPI::activityIndicator(*prompt)->isAnimating());
    EXPECT_TRUE(PromptResultTestAPI::button(*prompt)->isEnabled());
    pollTicks(3);
    EXPECT_EQ(server.count("claimresult"), 4u);

    // The rating button leads on to the rating of the case.
    tapAndSettle("满意度评价");
    auto appraisal = top<AppraisalViewController>();
    ASSERT_NE(appraisal, nullptr);
    EXPECT_EQ(appraisal->accidentno, "BJ202612010003");
    EXPECT_EQ(appraisal->simualateState, CaseMode::Real);
}

TEST_F(PromptTest, RepliesInFlightFillTheResultOnce) {
    HeldReply slow;
    server.scriptOnce("claimresult", slow(Reply::rescode("200", "成功", {{"result", "慢的答复"}})));
    server.scriptOnce("claimresult", Reply::rescode("200", "成功", {{"result", "快的答复"}}));
    auto prompt = open<PromptResultViewController>("PromptResultViewController",
                                                   {{"accidentno", kCase}, {"isShowBtn", true}, {"simualateState", 1}});
    advance(5);
    ASSERT_TRUE(server.waitForRequests("claimresult", 2));
    // The quick reply has filled the row before the slow one lands.
    ASSERT_TRUE(runUntil([&] { return PromptResultTestAPI::button(*prompt)->isEnabled(); }));
    slow.release();
    settleRequests();
    // The first passed reply to arrive fills the row; the slower one changes nothing.
    ASSERT_EQ(prompt->dataSource().size(), 1u);
    auto shown = *prompt->entry<std::string>(0);
    EXPECT_EQ(shown, "快的答复");
    EXPECT_TRUE(PromptResultTestAPI::button(*prompt)->isEnabled());
}

TEST_F(PromptTest, DisappearingWhileWaitingStopsForGood) {
    server.script("claimresult", Reply::rescode("201", "暂无理赔结果"));
    auto prompt = open<PromptResultViewController>("PromptResultViewController",
                                                   {{"accidentno", kCase}, {"simualateState", 0}});
    settleRequests();
    // Opened without the button: a back item, no footer button.
    EXPECT_EQ(PromptResultTestAPI::button(*prompt), nullptr);
    ASSERT_NE(prompt->navigationItem()->leftBarButtonItem(), nullptr);
    ASSERT_TRUE(driver.goBack());
    finishTransitions();
    size_t polls = server.count("claimresult");
    EXPECT_EQ(polls, 1u);
    server.clearScripts();
    server.script("claimresult", Reply::rescode("200", "成功", {{"result", "迟到的结果"}}));
    pollTicks(3);
    EXPECT_EQ(server.count("claimresult"), polls);
    // Shown again it keeps the waiting text.
    navigation->pushViewController(prompt, false);
    finishTransitions();
    pollTicks(2);
    EXPECT_TRUE(driver.isOnScreen("目前无理赔结果信息,请等待..."));
    EXPECT_EQ(server.count("claimresult"), polls);
}

TEST_F(PromptTest, ReadOnlyFromTheCaseDetailAndPracticeFlagPassedOn) {
    auto prompt = open<PromptResultViewController>(
        "PromptResultViewController",
        {{"accidentno", kCase}, {"isShowBtn", false}, {"simualateState", 0}, {"textValue", "目前无理赔结果!"}});
    EXPECT_EQ(PromptResultTestAPI::button(*prompt), nullptr);
    EXPECT_FALSE(driver.isOnScreen("满意度评价"));
    ASSERT_TRUE(driver.goBack());
    finishTransitions();
    EXPECT_EQ(topName(), "HomeViewController");

    // The rating runs in the prompt's mode.
    for (auto [flag, expected] : {std::pair{0, CaseMode::Practice}, std::pair{1, CaseMode::Real}}) {
        open<PromptResultViewController>(
            "PromptResultViewController",
            {{"accidentno", kCase}, {"isShowBtn", true}, {"simualateState", flag}, {"textValue", "结案"}});
        tapAndSettle("满意度评价");
        auto appraisal = top<AppraisalViewController>();
        ASSERT_NE(appraisal, nullptr);
        EXPECT_EQ(appraisal->simualateState, expected);
        navigation->popToRootViewController(false);
        finishTransitions();
    }
    settleRequests();
    EXPECT_EQ(server.count("claimresult"), 0u);
}

TEST_F(PromptTest, ReminderCellShowsANoticeWithAMeasuredHeight) {
    double width = ui::Screen::mainScreen().bounds().width();
    std::string content = "您的案件已由保险公司受理，请保持电话畅通，理赔人员将在24小时内与您联系。";
    double height = graphics::measureText(content, ui::Font::systemFont(15), width - 20).height;
    EXPECT_DOUBLE_EQ(ReminderCell::getRichTextWidthWithTitle(content), height);
    EXPECT_DOUBLE_EQ(ReminderCell::getRichTextWidthWithTitle(""), 0);
    EXPECT_DOUBLE_EQ(ReminderCell::cellWithHeight({{"title", "通知"}, {"content", content}}), height + 65);
    EXPECT_DOUBLE_EQ(ReminderCell::cellWithHeight({{"title", "通知"}}), 65);

    auto cell = std::make_shared<ReminderCell>();
    cell->setDic({{"title", "受理通知"}, {"content", content}});
    cell->setDic(nullptr);  // ignored
    cell->setFrame({0, 0, width, height + 65});
    cell->layoutIfNeeded();
    EXPECT_EQ(ReminderCellTestAPI::titleLabel(*cell)->text(), "受理通知");
    EXPECT_EQ(ReminderCellTestAPI::titleLabel(*cell)->frame(), ui::Rect(10, 20, width - 20, 15));
    EXPECT_EQ(ReminderCellTestAPI::contentLabel(*cell)->text(), content);
    EXPECT_EQ(ReminderCellTestAPI::contentLabel(*cell)->frame(), ui::Rect(10, 45, width - 20, height));
    EXPECT_EQ(ReminderCellTestAPI::dic(*cell)["title"], "受理通知");
    // Values of the wrong kind show nothing rather than failing.
    cell->setDic({{"title", 42}, {"content", nlohmann::json::array()}});
    EXPECT_EQ(ReminderCellTestAPI::titleLabel(*cell)->text(), "42");
    EXPECT_EQ(ReminderCellTestAPI::contentLabel(*cell)->text(), "");
}

}  // namespace
