#include <gtest/gtest.h>

#include "account/QuickInfoViewController.h"
#include "app/ApplicationScreens.h"
#include "app/HistoryRoad.h"
#include "capture/review/WaitTipViewController.h"
#include "capture/viewers/AccidentPhotoViewController.h"
#include "capture/viewers/AccidentViewController.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "liability/followup/AppraisalViewController.h"
#include "liability/followup/PromptResultViewController.h"
#include "liability/followup/ReportResultViewController.h"
#include "liability/followup/ReportViewController.h"
#include "liability/history/HistoryDetailViewController.h"
#include "liability/history/HistoryViewController.h"
#include "liability/history/StoryCell.h"
#include "liability/police/TrafficPoliceViewController.h"
#include "platform/graphics/Font.h"
#include "platform/ui/AlertView.h"
#include "support/AccountTestAPI.h"
#include "support/AppTest.h"
#include "support/HistoryTestAPI.h"
#include "support/TextContrast.h"
#include "tools/server/ServerConfig.h"

namespace {

using nlohmann::json;
using standin::Reply;

constexpr const char* kCurrentCase = "BJ202612070099";

class HistoryTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        signInDemoUser();
        auto& state = UserDateSingleton::shareUserDateInstance();
        state.setPhoneNumber(std::string(standin::kDemoPhone));
        state.setAccidentno(std::string(kCurrentCase));
        ASSERT_NO_FATAL_FAILURE(startServer());
        registerApplicationScreens();
        showStandInHome();
    }
    void TearDown() override {
        settleRequests();
        ui::AlertView::resetAll();
        AppTest::TearDown();
    }

    std::shared_ptr<HistoryViewController> openHistory() {
        auto history = HistoryRoad::makeHistory();
        navigation->pushViewController(history, true);
        finishTransitions();
        settleRequests();
        settle();
        return history;
    }
    std::shared_ptr<StoryCell> cellAt(HistoryViewController& history, int row) {
        history.tableView()->scrollToRowAtIndexPath(ui::IndexPath::forRow(row, 0), ui::TableViewScrollPosition::Top, false);
        history.tableView()->layoutIfNeeded();
        return std::dynamic_pointer_cast<StoryCell>(history.tableView()->cellForRowAtIndexPath(ui::IndexPath::forRow(row, 0)));
    }
    // Taps "处理" of the row and lets the push finish.
    void deal(HistoryViewController& history, int row) {
        auto cell = cellAt(history, row);
        ASSERT_NE(cell, nullptr);
        ASSERT_TRUE(driver.tap(StoryCellTestAPI::dealBtn(*cell)));
        finishTransitions();
    }
    static json entry(const std::string& state, const std::string& number) {
        return {{"state", state},       {"casetype", "1"},         {"accidentno", number},
                {"casenumber", "C" + number}, {"reportime", "2016-12-01 08:00:00"},
                {"inscomname", "中国平安财产保险股份有限公司"}, {"inscomcode", "PAIC"},
                {"instel", "95511"},    {"insreporttel", "95511-2"}};
    }
    std::shared_ptr<HistoryViewController> openWith(const json& list) {
        server.scriptOnce("historycase", Reply::rescode("200", "成功", {{"list", list}}));
        return openHistory();
    }
};

TEST_F(HistoryTest, ListsEveryCaseWithTypeStateTimeAndItsButton) {
    auto history = openHistory();
    EXPECT_EQ(history->title(), "事故列表");
    auto request = server.lastRequest("historycase");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->param("casecarno"), "");
    EXPECT_EQ(request->param("telephone"), standin::kDemoPhone);
    EXPECT_EQ(request->param("userid"), standin::kDemoUserId);
    ASSERT_EQ(history->tableView()->numberOfRowsInSection(0), 8);
    EXPECT_EQ(history->noDataView(), nullptr);
    EXPECT_TRUE(driver.isOnScreen("事故类型: 双车"));
    EXPECT_TRUE(driver.isOnScreen("状态: 待定责"));
    EXPECT_TRUE(driver.isOnScreen("出险时间: 2016-12-07 09:12:00"));
    // States 5 (finished) and 6 (revoked) have no "处理"; the unknown state 9 has one.
    const char* states[] = {"1", "2", "3", "4", "5", "6", "7", "9"};
    for (int row = 0; row < 8; ++row) {
        auto cell = cellAt(*history, row);
        ASSERT_NE(cell, nullptr) << row;
        EXPECT_EQ(*StoryCellTestAPI::story(*cell)->state, states[row]);
        bool finished = row == 4 || row == 5;
        EXPECT_EQ(StoryCellTestAPI::dealBtn(*cell)->isHidden(), finished) << row;
    }
}

TEST_F(HistoryTest, TypeAndStateFitBesideEachOtherAndTheButtonWhoseTitleReads) {
    auto history = openHistory();
    for (int row = 0; row < 4; ++row) {
        auto cell = cellAt(*history, row);
        ASSERT_NE(cell, nullptr) << row;
        auto type = StoryCellTestAPI::typeLabel(*cell), state = StoryCellTestAPI::stateLabel(*cell);
        auto button = StoryCellTestAPI::dealBtn(*cell);
        EXPECT_FALSE(type->frame().intersects(state->frame())) << row;
        EXPECT_FALSE(state->frame().intersects(button->frame())) << row;
        for (const auto& label : {type, state}) {
            EXPECT_LE(graphics::measureText(label->text(), label->shownFont()).width, label->frame().width())
                << label->text();
            EXPECT_GE(textcontrast::ofLabel(driver, *label), 4.5) << label->text();
        }
        EXPECT_GE(textcontrast::ofButton(driver, *button), 4.5) << row;
    }
}

TEST_F(HistoryTest, UnknownCodesAndMissingFieldsShowThePrefixAlone) {
    auto history = openWith(json::array({{{"casetype", "7"}, {"state", "x"}}, json::object()}));
    ASSERT_EQ(history->tableView()->numberOfRowsInSection(0), 2);
    for (int row = 0; row < 2; ++row) {
        auto cell = cellAt(*history, row);
        ASSERT_NE(cell, nullptr);
        EXPECT_FALSE(StoryCellTestAPI::dealBtn(*cell)->isHidden());
    }
    for (const auto& text : driver.visibleTexts()) EXPECT_EQ(text.find("null"), std::string::npos) << text;
    EXPECT_TRUE(driver.isOnScreen("事故类型: "));
    EXPECT_TRUE(driver.isOnScreen("状态: "));
    EXPECT_TRUE(driver.isOnScreen("出险时间: "));
}

TEST_F(HistoryTest, OnlyASuccessfulEmptyListSaysThereAreNoRecords) {
    auto empty = openWith(json::array());
    ASSERT_NE(empty->noDataView(), nullptr);
    EXPECT_TRUE(driver.isOnScreen("您还没有任何记录!"));
    EXPECT_FALSE(driver.isOnScreen(HistoryViewController::kLoadFailedText));
    driver.goBack();
    finishTransitions();

    for (auto reply : {Reply::rescode("500", "服务器繁忙"), Reply::dropped(), Reply::raw("<html>")}) {
        server.scriptOnce("historycase", reply);
        auto failed = openHistory();
        EXPECT_EQ(failed->noDataView(), nullptr);
        EXPECT_FALSE(driver.isOnScreen("您还没有任何记录!"));
        // Once the client's toast has gone the page still says why it is empty.
        advance(ProgressHUD::kErrorDuration + ProgressHUD::kFadeDuration + 0.1);
        EXPECT_TRUE(driver.isOnScreen(HistoryViewController::kLoadFailedText));
        EXPECT_FALSE(failed->tableView()->isHidden());
        EXPECT_EQ(failed->tableView()->numberOfRowsInSection(0), 0);
        EXPECT_EQ(failed->loadingHUD(), nullptr);
        driver.goBack();
        finishTransitions();
    }
}

TEST_F(HistoryTest, ARowOpensTheDetailExceptUnderPhotoReview) {
    auto history = openHistory();
    ASSERT_TRUE(driver.tap("状态: 照片待审核"));
    finishTransitions();
    EXPECT_EQ(top(), history);
    EXPECT_EQ(history->tableView()->indexPathForSelectedRow(), ui::IndexPath::forRow(6, 0));

    ASSERT_TRUE(history->tableView()->tapRowAtIndexPath(ui::IndexPath::forRow(4, 0)));
    finishTransitions();
    auto detail = top<HistoryDetailViewController>();
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->accidentno, "BJ201611300005");
    EXPECT_FALSE(history->tableView()->indexPathForSelectedRow());
}

TEST_F(HistoryTest, DealResumesAtTheScreenOfTheState) {
    auto history = openWith(json::array({entry("1", "N1"), entry("2", "N2"), entry("3", "N3"), entry("4", "N4"),
                                         entry("0", "N0"), entry("8", "N8"), entry("7", "N7")}));
    auto& state = UserDateSingleton::shareUserDateInstance();

    // 0 and 8 show the button and do nothing.
    for (int row : {4, 5}) {
        deal(*history, row);
        EXPECT_EQ(top(), history);
        EXPECT_EQ(state.accidentno(), kCurrentCase);
    }
    // Every state that goes on makes the case the current one, whose number the screens send.
    deal(*history, 2);
    auto result = top<ReportResultViewController>();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->simualateState, CaseMode::Real);
    EXPECT_EQ(state.accidentno(), "N3");
    settleRequests();
    EXPECT_EQ(server.lastRequest("claimresult")->param("accidentno"), "N3");
    navigation->popToViewController(history, false);
    finishTransitions();

    deal(*history, 3);
    auto rating = top<AppraisalViewController>();
    ASSERT_NE(rating, nullptr);
    EXPECT_EQ(rating->accidentno, "N4");
    EXPECT_TRUE(rating->isBackBtn);
    EXPECT_EQ(state.accidentno(), "N4");
    settleRequests();
    navigation->popToViewController(history, false);
    finishTransitions();

    deal(*history, 0);
    auto wait = top<TrafficPoliceViewController>();
    ASSERT_NE(wait, nullptr);
    EXPECT_TRUE(wait->isHistory);
    EXPECT_EQ(wait->simulateState, CaseMode::Real);
    EXPECT_EQ(wait->insurance.inscomcode, "PAIC");
    EXPECT_EQ(wait->insurance.insphone, "95511");
    EXPECT_EQ(wait->insurance.insreporttel, "95511-2");
    EXPECT_EQ(state.accidentno(), "N1");
    settleRequests();
    navigation->popToViewController(history, false);
    finishTransitions();

    deal(*history, 1);
    auto report = top<ReportViewController>();
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->reporTime, "2016-12-01 08:00:00");
    EXPECT_EQ(report->simualateState, CaseMode::Real);
    EXPECT_EQ(state.accidentno(), "N2");
    settleRequests();
    navigation->popToViewController(history, false);
    finishTransitions();

    deal(*history, 6);
    auto review = top<WaitTipViewController>();
    ASSERT_NE(review, nullptr);
    EXPECT_TRUE(review->isHistory);
    EXPECT_EQ(review->simulateState, CaseMode::Real);
    EXPECT_EQ(state.accidentno(), "N7");
    settleRequests();
    // "返回" of a resumed review goes back to the list, asking nothing.
    ASSERT_TRUE(driver.tap("返回"));
    finishTransitions();
    EXPECT_EQ(top(), history);
}

TEST_F(HistoryTest, AThousandCasesBuildOnlyTheVisibleRows) {
    json list = json::array();
    for (int i = 0; i < 1000; ++i) list.push_back(entry(std::to_string(i % 9), "N" + std::to_string(i)));
    auto history = openWith(list);
    ASSERT_EQ(history->tableView()->numberOfRowsInSection(0), 1000);
    EXPECT_LT(history->tableView()->cellsRequested(), 40u);
    EXPECT_LT(history->tableView()->visibleCells().size(), 20u);
}

class HistoryDetailTest : public HistoryTest {
protected:
    std::shared_ptr<HistoryDetailViewController> openDetail(const Story& story) {
        auto detail = HistoryRoad::makeDetail({story});
        navigation->pushViewController(detail, true);
        finishTransitions();
        settleRequests();
        settle();
        return detail;
    }
    static Story listed(const std::string& casenumber, const std::string& accidentno) {
        Story story;
        story.casenumber = casenumber;
        story.accidentno = accidentno;
        story.casetype = "1";
        story.state = "5";
        return story;
    }
    void tapRow(const std::string& text) {
        ASSERT_TRUE(driver.tap(text));
        finishTransitions();
    }
};

TEST_F(HistoryDetailTest, RedrawsItsRowsFromTheReplyAndOpensTheVehiclesAndPhotos) {
    auto detail = openDetail(listed("HC0005", "BJ201611300005"));
    EXPECT_EQ(detail->title(), "事故详情");
    EXPECT_EQ(server.lastRequest("historycasedetail")->param("casenumber"), "HC0005");
    EXPECT_TRUE(driver.isOnScreen("事故类型:  多车"));
    EXPECT_TRUE(driver.isOnScreen("出险时间:  2016-11-30 18:22:00"));
    EXPECT_TRUE(driver.isOnScreen("事故地点:  北京市丰台区南三环西路16号"));

    tapRow("事故地点:  北京市丰台区南三环西路16号");
    EXPECT_EQ(top(), detail);
    EXPECT_FALSE(detail->tableView()->indexPathForSelectedRow());

    tapRow("事故车辆");
    auto cars = top<AccidentViewController>();
    ASSERT_NE(cars, nullptr);
    EXPECT_EQ(cars->tableView()->numberOfSections(), 2);
    EXPECT_TRUE(driver.isOnScreen("驾驶人姓名:  李娜"));
    driver.goBack();
    finishTransitions();

    tapRow("事故影像");
    auto photos = top<AccidentPhotoViewController>();
    ASSERT_NE(photos, nullptr);
    EXPECT_EQ(photos->tableView()->numberOfRowsInSection(0), 3);
    EXPECT_TRUE(driver.isOnScreen("左前方事故全景"));
    driver.goBack();
    finishTransitions();

    tapRow("快处信息");
    auto agreement = top<QuickInfoViewController>();
    ASSERT_NE(agreement, nullptr);
    EXPECT_EQ(QuickInfoTestAPI::url(*agreement), server.baseURL() + "casephoto?name=agreement");
    driver.goBack();
    finishTransitions();

    tapRow("理赔信息");
    auto claim = top<PromptResultViewController>();
    ASSERT_NE(claim, nullptr);
    EXPECT_TRUE(driver.isOnScreen("3200.00元")) << driver.describeScreen();
}

TEST_F(HistoryDetailTest, TheClaimRowUsesTheListCaseNumberAndSaysWhenThereIsNoResult) {
    auto reply = json{{"rescode", "200"}, {"resdes", "成功"}, {"accidentno", "OTHER"}, {"casetype", "0"}};
    server.scriptOnce("historycasedetail", Reply::json(reply));
    auto detail = openDetail(listed("HC0003", "BJ201612050003"));
    EXPECT_EQ(HistoryDetailTestAPI::curStory(*detail).accidentno, "BJ201612050003");
    EXPECT_TRUE(driver.isOnScreen("事故类型:  单车"));
    EXPECT_TRUE(driver.isOnScreen("事故地点:  "));
    tapRow("理赔信息");
    auto claim = top<PromptResultViewController>();
    ASSERT_NE(claim, nullptr);
    EXPECT_EQ(claim->accidentno, "BJ201612050003");
    EXPECT_TRUE(driver.isOnScreen("目前无理赔结果!"));
}

TEST_F(HistoryDetailTest, AFailedLoadKeepsTheListRecordAndSaysWhatItCouldNotLoad) {
    server.scriptOnce("historycasedetail", Reply::dropped());
    auto story = listed("HC0001", "BJ201612070001");
    story.reportime = "2016-12-07 09:12:00";
    auto car = std::make_shared<CaseCar>();
    car->casecarno = "京A12345";
    story.casecarlist = std::vector{car};
    auto detail = openDetail(story);
    EXPECT_EQ(detail->loadingHUD(), nullptr);
    EXPECT_TRUE(driver.isOnScreen("出险时间:  2016-12-07 09:12:00"));
    tapRow("事故车辆");
    auto cars = top<AccidentViewController>();
    ASSERT_NE(cars, nullptr);
    EXPECT_EQ(cars->tableView()->numberOfSections(), 1);
    EXPECT_TRUE(driver.isOnScreen("车牌号:  京A12345"));
    EXPECT_TRUE(driver.isOnScreen("驾驶人姓名:  "));
    driver.goBack();
    finishTransitions();
    // What only the fuller record holds says that it could not be loaded, never that there is
    // nothing.
    for (const char* row : {"事故影像", "理赔信息"}) {
        advance(ProgressHUD::kErrorDuration + ProgressHUD::kFadeDuration + 0.1);
        tapRow(row);
        EXPECT_EQ(top(), detail) << row;
        auto hud = ProgressHUD::current();
        ASSERT_TRUE(hud && hud->isToast() && hud->isError()) << row;
        EXPECT_EQ(hud->text(), HistoryDetailViewController::kNotLoadedText) << row;
        EXPECT_FALSE(driver.isOnScreen("您还没有任何记录!"));
        EXPECT_FALSE(driver.isOnScreen("目前无理赔结果!"));
    }
}

}  // namespace
