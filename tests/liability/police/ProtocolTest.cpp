#include <regex>

#include <cairo.h>

#include <gtest/gtest.h>

#include "PoliceTestSupport.h"
#include "core/StringExtension.h"
#include "liability/negotiation/ConfirmSignViewController.h"
#include "liability/police/ProtocolViewController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TableView.h"

namespace {

using standin::Reply;

// A signature as the confirmation hands it on: a stroke across row `row` of a 160 x 90 picture.
graphics::Image::Ptr signature(double row) {
    return graphics::Image::draw({160, 90}, 1, true, [row](cairo_t* cr) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_set_line_width(cr, 3);
        cairo_move_to(cr, 20, row);
        cairo_line_to(cr, 140, row);
        cairo_stroke(cr);
    });
}

class ProtocolTest : public PoliceTest {
protected:
    void SetUp() override {
        PoliceTest::SetUp();
        // The SMS code the server sent to the other driver.
        server.withState([](standin::SimulatedState& s) { s.data["verification"]["13900139000"] = "123456"; });
    }
    std::shared_ptr<ProtocolViewController> openAgreement(CaseMode mode, std::vector<PoliceDutyModel> records) {
        screen = std::make_shared<ProtocolViewController>(ProtocolViewController::Arguments{
            mode, std::move(records), insurer(), signature(20), signature(60), "123456"});
        screen->onReport = [this, mode](InsuranceCompany compary) { reports.emplace_back(std::move(compary), mode); };
        push(screen);
        return screen;
    }
    std::string confirm() {
        clearToast();
        auto outcome = driver.tap("确认");
        EXPECT_TRUE(outcome) << outcome;
        settleRequests();
        return toast();
    }

    std::shared_ptr<ProtocolViewController> screen;
    std::vector<std::pair<InsuranceCompany, CaseMode>> reports;
};

TEST_F(ProtocolTest, TheAgreementShowsBothPartiesAndTheSignatures) {
    openAgreement(CaseMode::Real, decision("0", "1"));
    EXPECT_EQ(screen->title(), "事故责任协议书");
    for (const char* text : {"本方责任信息", "对方责任信息", "姓名:", "车牌号:", "责任:", "张三", "京A12345", "全责",
                             "李四", "冀B6H111", "无责", "确认"})
        EXPECT_TRUE(driver.isOnScreen(text)) << text;
    auto images = driver.findAll(driver::ViewQuery::byClass("ImageView"));
    int signatures = 0;
    for (auto& view : images) {
        auto image = std::dynamic_pointer_cast<ui::ImageView>(view);
        if (image && image->image() && image->image()->pixelWidth() == 160) ++signatures;
    }
    EXPECT_EQ(signatures, 2);
    // "返回" goes back to the confirmation.
    ASSERT_TRUE(driver.goBack());
    finishTransitions();
    EXPECT_EQ(stackNames(), std::vector<std::string>{"RootPage"});
}

TEST_F(ProtocolTest, ConfirmationSignsThePaperWithBothEntriesAndOpensTheReport) {
    openAgreement(CaseMode::Real, decision());
    EXPECT_EQ(confirm(), "");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].first.keyValues(), insurer().keyValues());
    EXPECT_EQ(reports[0].second, CaseMode::Real);
    ASSERT_EQ(server.count("signprocesspaper"), 1u);
    auto body = server.lastRequest("signprocesspaper")->body;
    EXPECT_EQ(body.value("userid", ""), standin::kDemoUserId);
    EXPECT_EQ(body.value("sn", ""), standin::signatureFor(standin::kDemoUserId));
    EXPECT_EQ(body.value("appkey", ""), AppConfig::appKey());
    EXPECT_EQ(body.value("accidentno", ""), kCase);
    EXPECT_FALSE(body.contains("paperno"));
    auto list = body["signlist"];
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].value("localflag", ""), "1");
    EXPECT_FALSE(list[0].contains("valicode"));
    EXPECT_EQ(list[1].value("localflag", ""), "0");
    EXPECT_EQ(list[1].value("valicode", ""), "123456");
    EXPECT_EQ(list[0].value("licenseno", ""), "%E4%BA%ACA12345");
    EXPECT_EQ(list[1].value("licenseno", ""), "%E5%86%80B6H111");
    EXPECT_EQ(list[0].value("phoneno", ""), standin::kDemoPhone);
    EXPECT_EQ(list[1].value("phoneno", ""), "13900139000");
    const std::regex time(R"(\d{4}-\d{1,2}-\d{1,2} \d{1,2}:\d{1,2}:\d{1,2})");
    const int rows[2] = {20, 60};
    for (int party = 0; party < 2; ++party) {
        EXPECT_EQ(list[party].value("latx", ""), "39.908700");
        EXPECT_EQ(list[party].value("lngy", ""), "116.397500");
        EXPECT_TRUE(std::regex_match(list[party].value("signtime", ""), time));
        auto image = decodedSignature(list[party].value("content", ""));
        ASSERT_TRUE(image);
        EXPECT_LT(image->pixel(80, rows[party]).r, 0.3) << party;
        EXPECT_GT(image->pixel(80, 40).r, 0.9) << party;
    }
    EXPECT_EQ(server.stateSnapshot().data["cases"][kCase]["signlist"].size(), 2u);
}

TEST_F(ProtocolTest, AFailedSigningLeavesEverythingAndTheNextConfirmationHasNewSignTimes) {
    openAgreement(CaseMode::Real, decision());
    server.scriptOnce("signprocesspaper", Reply::rescode("500", "签署失败"));
    EXPECT_EQ(confirm(), "签署失败");
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    auto first = server.lastRequest("signprocesspaper")->body;

    server.scriptOnce("signprocesspaper", Reply::dropped());
    EXPECT_EQ(confirm(), AppConfig::kNetworkFailureText);
    EXPECT_TRUE(reports.empty());

    advance(61);
    EXPECT_EQ(confirm(), "");
    ASSERT_EQ(reports.size(), 1u);
    auto last = server.lastRequest("signprocesspaper")->body;
    EXPECT_NE(last["signlist"][0]["signtime"], first["signlist"][0]["signtime"]);
    EXPECT_EQ(last["signlist"][1]["content"], first["signlist"][1]["content"]);
}

TEST_F(ProtocolTest, TheStandInServerRefusesAWrongCode) {
    server.withState([](standin::SimulatedState& s) { s.data["verification"]["13900139000"] = "000000"; });
    openAgreement(CaseMode::Real, decision());
    EXPECT_EQ(confirm(), "验证码错误");
    EXPECT_TRUE(reports.empty());
}

TEST_F(ProtocolTest, FewerThanTwoRecordsShowNoPartyAndSignNothing) {
    auto records = decision();
    records.resize(1);
    openAgreement(CaseMode::Real, records);
    EXPECT_FALSE(driver.isOnScreen("张三"));
    EXPECT_EQ(confirm(), ProtocolViewController::kIncompleteText);
    EXPECT_EQ(server.count("signprocesspaper"), 0u);
    EXPECT_TRUE(reports.empty());
}

TEST_F(ProtocolTest, PracticeShowsSamplesAndOpensTheReportWithThePlaceholderInsurer) {
    openAgreement(CaseMode::Practice, {});
    EXPECT_TRUE(driver.isOnScreen("张三"));
    EXPECT_TRUE(driver.isOnScreen("全责"));
    EXPECT_TRUE(driver.isOnScreen("无责"));
    EXPECT_EQ(confirm(), "");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].second, CaseMode::Practice);
    EXPECT_EQ(reports[0].first.inscomname, "XXXXX保险公司");
    EXPECT_EQ(reports[0].first.inscomcode, "0");
    EXPECT_EQ(server.requests().size(), 0u);
}

}  // namespace
