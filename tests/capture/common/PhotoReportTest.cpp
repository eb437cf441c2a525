#include <gtest/gtest.h>

#include <numbers>

#include "capture/common/PhotoReport.h"
#include "core/AppConfig.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "hud/TwoButtonAlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "support/AppTest.h"
#include "support/HeldReply.h"
#include "support/NamedTestScreen.h"
#include "support/PhotoReportTestAPI.h"
#include "support/TwoButtonAlertViewTestAPI.h"

namespace {

using standin::Reply;

// A screen in a key window with the demo user's case, and its report over the stand-in server.
class PhotoReportTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        signInDemoUser();
        UserDateSingleton::shareUserDateInstance().setAccidentno(std::string("BJ202612070042"));
        ASSERT_NO_FATAL_FAILURE(startServer());
        screen = std::make_shared<NamedTestScreen>("PhotoScreen");
        showInWindow(screen);
    }
    void TearDown() override {
        report.reset();
        screen.reset();
        closeWindow();
        AppTest::TearDown();
    }

    void makeReport(PhotoReport::Retry retry) {
        report = std::make_shared<PhotoReport>(screen, retry, [this] { ++reported; });
    }
    std::string toast() const {
        auto hud = ProgressHUD::current();
        return hud && hud->isToast() ? hud->text() : "";
    }
    std::shared_ptr<TwoButtonAlertView> question() const { return PhotoReportTestAPI(report).question(); }
    std::shared_ptr<ui::BarButtonItem> barItem() const { return screen->navigationItem()->rightBarButtonItem(); }
    // Until every report sent so far has been answered and its answer has run.
    void answered(std::size_t reports) {
        ASSERT_TRUE(waitFor([&] { return server.count("taskstate") == reports; }));
        settleRequests();
    }

    std::shared_ptr<NamedTestScreen> screen;
    std::shared_ptr<PhotoReport> report;
    int reported = 0;
};

TEST_F(PhotoReportTest, OneReportAtATimeWithTheCaseUnderTheSpinner) {
    makeReport(PhotoReport::Retry::SidewaysQuestion);
    HeldReply answer;
    server.scriptOnce("taskstate", answer(Reply::rescode("200", "成功")));
    report->send();
    ASSERT_NE(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_EQ(ProgressHUD::currentSpinner()->text(), "正在加载...");
    EXPECT_TRUE(report->sending());
    // A second send while the first is under way (a double tap) sends nothing.
    report->send();
    answer.release();
    answered(1);
    EXPECT_EQ(reported, 1);
    EXPECT_FALSE(report->sending());
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_EQ(question(), nullptr);
    auto sent = server.lastRequest("taskstate");
    EXPECT_EQ(sent->method, "POST");
    EXPECT_EQ(sent->param("accidenttype"), "7");
    EXPECT_EQ(sent->param("type"), "2");
    EXPECT_EQ(sent->param("accidentno"), "BJ202612070042");
    EXPECT_EQ(sent->param("userid"), standin::kDemoUserId);
    EXPECT_EQ(sent->param("appkey"), AppConfig::appKey());
    EXPECT_TRUE(sent->param("sn").has_value());

    // A later round of photos is reported again.
    report->send();
    answered(2);
    EXPECT_EQ(reported, 2);
}

TEST_F(PhotoReportTest, TheQuestionLiesOnItsSideAndSendsAgainOrLetsBe) {
    makeReport(PhotoReport::Retry::SidewaysQuestion);
    server.scriptOnce("taskstate", Reply::rescode("500", "案件状态有误"));
    report->send();
    answered(1);
    ASSERT_NE(question(), nullptr);
    EXPECT_TRUE(question()->isShown());
    EXPECT_EQ(toast(), "案件状态有误");
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_EQ(reported, 0);
    EXPECT_EQ(TwoButtonAlertViewTestAPI::titleLabel(*question())->text(), "温馨提示");
    EXPECT_EQ(TwoButtonAlertViewTestAPI::contentLabel(*question())->text(), "照片提交未成功,是否重新提交?");
    EXPECT_EQ(question()->transform(), graphics::AffineTransform::identity().rotated(std::numbers::pi / 2));
    EXPECT_EQ(barItem(), nullptr);

    // "重新提交" takes the question away while the report is under way; refused again, it is
    // asked once more, and so it is when the network fails.
    auto first = question();
    HeldReply busy;
    server.scriptOnce("taskstate", busy(Reply::rescode("500", "服务器繁忙")));
    ASSERT_TRUE(driver.answerAlert("重新提交"));
    EXPECT_FALSE(first->isShown());
    EXPECT_EQ(question(), nullptr);
    busy.release();
    answered(2);
    ASSERT_NE(question(), nullptr);
    EXPECT_EQ(toast(), "服务器繁忙");
    server.scriptOnce("taskstate", Reply::dropped());
    ASSERT_TRUE(driver.answerAlert("重新提交"));
    answered(3);
    ASSERT_NE(question(), nullptr);
    EXPECT_EQ(toast(), AppConfig::kNetworkFailureText);

    // "取消" lets it be: nothing is sent until the screen sends again.
    ASSERT_TRUE(driver.answerAlert("取消"));
    EXPECT_EQ(question(), nullptr);
    settleRequests();
    EXPECT_EQ(server.count("taskstate"), 3u);
    report->send();
    answered(4);
    EXPECT_EQ(reported, 1);
    EXPECT_EQ(question(), nullptr);
}

TEST_F(PhotoReportTest, TheBarItemGoesWhileTheReportIsUnderWay) {
    makeReport(PhotoReport::Retry::BarItem);
    server.scriptOnce("taskstate", Reply::rescode("500", "状态更新失败"));
    report->send();
    answered(1);
    ASSERT_NE(barItem(), nullptr);
    EXPECT_EQ(barItem()->title(), "重新提交");
    EXPECT_EQ(question(), nullptr);
    EXPECT_FALSE(driver.isOnScreen("照片提交未成功,是否重新提交?"));

    // A tap withdraws it until the answer: a second tap finds nothing to send again.
    HeldReply refusal;
    server.scriptOnce("taskstate", refusal(Reply::rescode("500", "状态更新失败")));
    auto item = barItem();
    ASSERT_TRUE(driver.tapBarButtonItem(item));
    EXPECT_EQ(barItem(), nullptr);
    EXPECT_FALSE(driver.isOnScreen("重新提交"));
    refusal.release();
    answered(2);
    ASSERT_NE(barItem(), nullptr);

    // Through at last: no way to send it again is left behind.
    ASSERT_TRUE(driver.tapBarButtonItem(barItem()));
    answered(3);
    EXPECT_EQ(reported, 1);
    EXPECT_EQ(barItem(), nullptr);
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
}

TEST_F(PhotoReportTest, AScreenGoneBeforeTheAnswerHearsNothingAndLeavesNoSpinner) {
    makeReport(PhotoReport::Retry::SidewaysQuestion);
    HeldReply answer;
    server.scriptOnce("taskstate", answer(Reply::json({{"rescode", "200"}})));
    report->send();
    ASSERT_NE(ProgressHUD::currentSpinner(), nullptr);
    report.reset();
    answer.release();
    answered(1);
    EXPECT_EQ(reported, 0);
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);

    // A spinner that another screen showed meanwhile is not its to take away.
    makeReport(PhotoReport::Retry::SidewaysQuestion);
    server.scriptOnce("taskstate", Reply::delayed(0.3, {{"rescode", "200"}}));
    report->send();
    report.reset();
    ProgressHUD::showMessage("加载中...");
    answered(2);
    ASSERT_NE(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_EQ(ProgressHUD::currentSpinner()->text(), "加载中...");
    ProgressHUD::hideHUD();
}

TEST_F(PhotoReportTest, AQuestionStillShownGoesWithItsScreen) {
    makeReport(PhotoReport::Retry::SidewaysQuestion);
    server.scriptOnce("taskstate", Reply::dropped());
    report->send();
    answered(1);
    auto shown = question();
    ASSERT_NE(shown, nullptr);
    ASSERT_TRUE(driver.isOnScreen("照片提交未成功,是否重新提交?"));
    report.reset();
    EXPECT_FALSE(shown->isShown());
    EXPECT_FALSE(driver.isOnScreen("照片提交未成功,是否重新提交?"));
    settleRequests();
    EXPECT_EQ(server.count("taskstate"), 1u);
}

}  // namespace
