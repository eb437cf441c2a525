#include <gtest/gtest.h>

#include <string>

#include "app/AppDelegate.h"
#include "liability/followup/AppraisalViewController.h"
#include "liability/followup/FollowupTestSupport.h"
#include "liability/followup/PromptResultViewController.h"
#include "liability/notices/NotificationInfoViewController.h"
#include "platform/graphics/Font.h"
#include "support/HeldReply.h"

namespace {

using standin::Reply;
using Notice = NotificationInfoViewController;

class NotificationInfoTest : public FollowupTest {
protected:
    // Delivers a push notice to the application, as the phone does.
    void deliver(const std::string& key, const nlohmann::json& content) {
        auto delegate = std::make_shared<AppDelegate>();
        delegate->didReceiveRemoteNotification({{"aps", {{"alert", "新消息"}, {"key", key}, {"content", content}}}});
        finishTransitions();
        settleRequests();
    }
    std::shared_ptr<Notice> openNotice(const nlohmann::json& arguments) {
        auto notice = open<Notice>("NotificationInfoViewController", arguments);
        settleRequests();
        return notice;
    }
    static double rowHeightFor(const std::string& text) {
        double width = ui::Screen::mainScreen().bounds().width() - 30;
        return graphics::measureText(text, ui::Font::systemFont(18), width).height + 30;
    }
    std::vector<std::string> rows(const std::shared_ptr<Notice>& notice) const {
        std::vector<std::string> texts;
        for (size_t i = 0; i < notice->dataSource().size(); ++i) {
            auto text = notice->entry<std::string>(i);
            texts.push_back(text ? *text : "<not text>");
        }
        return texts;
    }
};

TEST_F(NotificationInfoTest, AnUnknownKeyOpensAnEmptyNoticeWhoseBackLandsOnAFreshHomePage) {
    deliver("ClAIM", {{"accidentno", kCase}, {"state", 1}});
    auto notice = top<Notice>();
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(stackNames(), std::vector<std::string>{"NotificationInfoViewController"});
    EXPECT_EQ(notice->title(), "温馨提示");
    EXPECT_EQ(notice->notiType, 0);
    EXPECT_EQ(notice->accidentno, kCase);
    EXPECT_TRUE(notice->dataSource().empty());
    EXPECT_EQ(notice->navigationItem()->rightBarButtonItem(), nullptr);
    EXPECT_FALSE(driver.isOnScreen("撤销案件"));
    EXPECT_FALSE(driver.isOnScreen("满意度评价"));
    EXPECT_TRUE(server.requests().empty());
    // The button of another kind does nothing here.
    notice->clickAction();
    EXPECT_EQ(topName(), "NotificationInfoViewController");

    ASSERT_TRUE(driver.tap("返回"));
    finishTransitions();
    EXPECT_TRUE(onNewHomePage());
    EXPECT_EQ(made["HomeViewController"], 2);
}

// A "ClAIM" notice shows the kind its "claimstate" names, as a number or text; any other
// value shows the empty kind.
TEST_F(NotificationInfoTest, AClaimNoticeShowsTheKindOfItsClaimState) {
    const std::vector<std::pair<nlohmann::json, int>> states = {{1, 1},
                                                                {"1", 1},
                                                                {2, 2},
                                                                {"2", 2},
                                                                {0, 0},
                                                                {"0", 0},
                                                                {3, 0},
                                                                {-1, 0},
                                                                {"01", 0},
                                                                {1.5, 0},
                                                                {true, 0},
                                                                {nullptr, 0},
                                                                {nlohmann::json::array({1}), 0}};
    for (const auto& [state, kind] : states) {
        SCOPED_TRACE(state.dump());
        auto content = standin::claimNoticePush(kCase, 0)["aps"]["content"];
        content["claimstate"] = state;
        deliver("ClAIM", content);
        auto notice = top<Notice>();
        ASSERT_NE(notice, nullptr);
        EXPECT_EQ(notice->notiType, kind);
        EXPECT_EQ(notice->isBarItem, kind == 1);
        EXPECT_EQ(notice->isButton, kind == 2);
        EXPECT_EQ(rows(notice).size(), kind == 0 ? 0u : 1u);
    }
}

TEST_F(NotificationInfoTest, AClaimResultNoticeLoadsItsResultAndOffersTheRating) {
    server.scriptOnce("claimresult", Reply::rescode("200", "成功", {{"result", "已赔付 800 元"}}));
    auto notice = openNotice({{"type", "ClAIMRESULT"}, {"content", {{"accidentno", "BJ202612070042"}}}});
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->notiType, 3);
    auto request = server.lastRequest("claimresult");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->param("accidentno"), "BJ202612070042");
    EXPECT_EQ(request->param("userid"), UserDateSingleton::shareUserDateInstance().userid());
    EXPECT_TRUE(request->param("appkey"));
    EXPECT_TRUE(request->param("sn"));
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_EQ(rows(notice), std::vector<std::string>{"已赔付 800 元"});
    EXPECT_TRUE(driver.isOnScreen("已赔付 800 元"));

    double width = ui::Screen::mainScreen().bounds().width();
    auto footer = notice->tableView()->tableFooterView();
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->frame().size, ui::Size(width, 200));
    ASSERT_TRUE(driver.tap("满意度评价"));
    finishTransitions();
    auto rating = top<AppraisalViewController>();
    ASSERT_NE(rating, nullptr);
    EXPECT_EQ(rating->accidentno, "BJ202612070042");
    EXPECT_EQ(rating->simualateState, CaseMode::Real);
    settleRequests();
    // The rating is sent as the case's real one.
    ASSERT_TRUE(driver.tap("提交"));
    settleRequests();
    auto sent = server.lastRequest("evaluationInfo");
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->param("accidentno"), "BJ202612070042");
    EXPECT_EQ(sent->param("personescord"), "0");
}

TEST_F(NotificationInfoTest, AClaimResultWithoutTextGivesOneTextRowNeverANull) {
    const std::vector<std::pair<nlohmann::json, std::string>> answers = {
        {nlohmann::json::object(), ""},
        {{{"result", nullptr}}, ""},
        {{{"result", nlohmann::json::array({"a"})}}, ""},
        {{{"result", {{"text", "x"}}}}, ""},
        {{{"result", true}}, ""},
        {{{"result", 1280.5}}, "1280.5"},
        {{{"result", 42}}, "42"},
    };
    for (const auto& [extra, shown] : answers) {
        server.scriptOnce("claimresult", Reply::rescode("200", "成功", extra));
        auto notice = openNotice({{"type", "ClAIMRESULT"}, {"content", {{"accidentno", kCase}}}});
        ASSERT_NE(notice, nullptr);
        EXPECT_EQ(rows(notice), std::vector<std::string>{shown}) << extra.dump();
        EXPECT_EQ(notice->tableView()->numberOfRowsInSection(0), 1) << extra.dump();
        navigation->popToRootViewController(false);
        finishTransitions();
    }
}

TEST_F(NotificationInfoTest, AFailedClaimResultLoadLeavesNoTextRow) {
    server.scriptOnce("claimresult", Reply::rescode("201", "暂无理赔结果"));
    auto refused = openNotice({{"type", "ClAIMRESULT"}, {"content", {{"accidentno", kCase}}}});
    ASSERT_NE(refused, nullptr);
    EXPECT_TRUE(refused->dataSource().empty());
    EXPECT_EQ(refused->tableView()->numberOfRowsInSection(0), 0);
    EXPECT_EQ(refused->loadingHUD(), nullptr);

    server.scriptOnce("claimresult", Reply::raw("<html>gateway</html>", 502));
    auto broken = openNotice({{"type", "ClAIMRESULT"}, {"content", {{"accidentno", kCase}}}});
    ASSERT_NE(broken, nullptr);
    EXPECT_TRUE(broken->dataSource().empty());
    EXPECT_EQ(broken->loadingHUD(), nullptr);
    EXPECT_EQ(server.count("claimresult"), 2u);
}

TEST_F(NotificationInfoTest, TheOfflineAssessmentButtonOpensTheRatingOfTheNoticesCaseLikeKindThree) {
    for (int kind : {2, 3}) {
        auto notice = openNotice({{"notiType", kind}, {"accidentno", "BJ20261207000" + std::to_string(kind)}});
        ASSERT_NE(notice, nullptr);
        std::string title = kind == 2 ? "我将自行前往定损中心" : "满意度评价";
        if (kind == 2) {
            EXPECT_TRUE(driver.isOnScreen(Notice::kOfflineText));
        }
        EXPECT_EQ(notice->navigationItem()->rightBarButtonItem(), nullptr);
        ASSERT_TRUE(driver.tap(title)) << kind;
        finishTransitions();
        auto rating = top<AppraisalViewController>();
        ASSERT_NE(rating, nullptr) << kind;
        EXPECT_EQ(rating->accidentno, "BJ20261207000" + std::to_string(kind));
        EXPECT_EQ(rating->simualateState, CaseMode::Real);
        settleRequests();
        navigation->popToRootViewController(false);
        finishTransitions();
    }
}

TEST_F(NotificationInfoTest, CancelInTheRevokeAlertSendsNothing) {
    auto notice = openNotice({{"notiType", 1}, {"accidentno", kCase}});
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(driver.isOnScreen(std::string(Notice::kEstimatingText) + Notice::kServiceTelephone));
    EXPECT_EQ(notice->tableView()->tableFooterView()->subviews().size(), 0u);
    ASSERT_TRUE(driver.tap("撤销案件"));
    ASSERT_EQ(ui::AlertView::visibleAlerts().size(), 1u);
    EXPECT_EQ(ui::AlertView::visibleAlerts()[0]->message(), "请您确认是否撤销报案");
    EXPECT_EQ(ui::AlertView::visibleAlerts()[0]->buttonTitles(), (std::vector<std::string>{"确定", "取消"}));
    ASSERT_TRUE(driver.answerAlert("取消"));
    settleRequests();
    EXPECT_EQ(server.count("taskstate"), 0u);
    EXPECT_EQ(top<Notice>(), notice);
}

TEST_F(NotificationInfoTest, ARevokeIsSentAsTheServiceTakesItAndLandsOnAFreshRoot) {
    auto notice = openNotice({{"notiType", 1}, {"accidentno", "BJ202612070099"}});
    ASSERT_NE(notice, nullptr);
    ASSERT_TRUE(driver.tap("撤销案件"));
    ASSERT_TRUE(driver.answerAlert("确定"));
    settleRequests();
    auto sent = server.lastRequest("taskstate");
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->param("accidentno"), "BJ202612070099");
    EXPECT_EQ(sent->param("userid"), UserDateSingleton::shareUserDateInstance().userid());
    EXPECT_EQ(sent->param("accidenttype"), "0");
    EXPECT_EQ(sent->param("type"), "1");
    EXPECT_FALSE(sent->param("appkey"));
    EXPECT_FALSE(sent->param("sn"));
    // The home page is the root of a new stack: nothing to go back to, nothing to revoke twice.
    EXPECT_TRUE(onNewHomePage());
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
}

TEST_F(NotificationInfoTest, ARefusedOrFailedRevokeLeavesTheNoticeAsItWas) {
    server.scriptOnce("taskstate", Reply::rescode("300", "案件已结束"));
    server.scriptOnce("taskstate", Reply::dropped());
    auto notice = openNotice({{"notiType", 1}, {"accidentno", kCase}});
    ASSERT_NE(notice, nullptr);
    for (int attempt = 0; attempt < 2; ++attempt) {
        ASSERT_TRUE(driver.tap("撤销案件"));
        ASSERT_TRUE(driver.answerAlert("确定"));
        settleRequests();
        EXPECT_EQ(top<Notice>(), notice) << attempt;
        EXPECT_EQ(notice->loadingHUD(), nullptr) << attempt;
        EXPECT_FALSE(onNewHomePage());
    }
    EXPECT_EQ(server.count("taskstate"), 2u);
    // Still usable: the third try goes through.
    ASSERT_TRUE(driver.tap("撤销案件"));
    ASSERT_TRUE(driver.answerAlert("确定"));
    settleRequests();
    EXPECT_TRUE(onNewHomePage());
}

TEST_F(NotificationInfoTest, NoticeTextsOfAnyLengthWrapByCharacterAtTheirMeasuredHeight) {
    for (std::string text : {std::string("短"), std::string(Notice::kOfflineText),
                             [] {
                                 std::string s;
                                 for (int i = 0; i < 400; ++i) s += "理赔结果ABCdef123";
                                 return s;
                             }()}) {
        auto notice = openNotice({{"notiType", 3}, {"text", text}, {"accidentno", kCase}});
        ASSERT_NE(notice, nullptr);
        double height = notice->tableView()->rectForRowAtIndexPath(ui::IndexPath::forRow(0, 0)).height();
        EXPECT_DOUBLE_EQ(height, rowHeightFor(text));
        auto cell = notice->tableView()->cellForRowAtIndexPath(ui::IndexPath::forRow(0, 0));
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->textLabel()->numberOfLines(), 0);
        EXPECT_EQ(cell->textLabel()->lineBreakMode(), ui::LineBreakMode::CharWrapping);
        navigation->popToRootViewController(false);
        finishTransitions();
    }
    EXPECT_GT(rowHeightFor(std::string(Notice::kOfflineText)), rowHeightFor("短"));
}

TEST_F(NotificationInfoTest, TheRegistryReadsNoticeArgumentsStrictly) {
    expectErrors();
    EXPECT_EQ(ScreenRegistry::make("NotificationInfoViewController", {{"notiType", 4}}), nullptr);
    EXPECT_EQ(ScreenRegistry::make("NotificationInfoViewController", {{"notiType", "1"}}), nullptr);
    EXPECT_EQ(ScreenRegistry::make("NotificationInfoViewController", {{"type", "X"}}), nullptr);
    EXPECT_EQ(ScreenRegistry::make("NotificationInfoViewController", {{"type", 3}, {"content", nlohmann::json::object()}}),
              nullptr);
    EXPECT_EQ(ScreenRegistry::make("NotificationInfoViewController",
                                   {{"type", "X"}, {"content", nlohmann::json::object()}, {"notiType", 1}}),
              nullptr);
    EXPECT_NE(ScreenRegistry::make("NotificationInfoViewController",
                                   {{"type", "X"}, {"content", {{"accidentno", 20261207}}}}),
              nullptr);
}

TEST_F(NotificationInfoTest, ANoticeOutsideACaseReplacesTheScreensAndNothingOfThemRunsAfterwards) {
    // No case in progress; a screen polling on a timer with a reply in flight.
    UserDateSingleton::shareUserDateInstance().setAccidentno(std::nullopt);
    HeldReply late;
    server.script("claimresult", late(Reply::json({{"rescode", "200"}, {"resdes", "成功"}, {"result", "迟到"}})));
    auto prompt = open<PromptResultViewController>("PromptResultViewController",
                                                   {{"accidentno", kCase}, {"isShowBtn", true}, {"simualateState", 1}});
    ASSERT_NE(prompt, nullptr);
    ASSERT_TRUE(server.waitForRequests("claimresult", 1));
    std::weak_ptr<PromptResultViewController> dropped = prompt;
    std::weak_ptr<ui::ViewController> oldHome = home;
    prompt.reset();
    home.reset();
    navigation.reset();  // only the window holds the case's stack now

    deliver("UNKNOWN", {{"accidentno", kCase}});
    settle();
    EXPECT_EQ(stackNames(), std::vector<std::string>{"NotificationInfoViewController"});
    EXPECT_TRUE(dropped.expired());
    late.release();
    settleRequests();
    size_t polls = server.count("claimresult");
    pollTicks(4);
    EXPECT_EQ(server.count("claimresult"), polls);
    EXPECT_EQ(topName(), "NotificationInfoViewController");
    EXPECT_FALSE(driver.isOnScreen("迟到"));
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_TRUE(oldHome.expired() || oldHome.lock() != top());
}

}  // namespace
