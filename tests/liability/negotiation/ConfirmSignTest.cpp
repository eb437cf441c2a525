#include <regex>

#include <gtest/gtest.h>

#include "NegotiationTestSupport.h"
#include "core/StringExtension.h"
#include "core/Theme.h"
#include "liability/negotiation/ConfirmSignViewController.h"
#include "support/HeldReply.h"

namespace {

using standin::Reply;

class ConfirmSignTest : public NegotiationTest {
protected:
    std::shared_ptr<ConfirmSignViewController> openSigning(CaseMode mode, std::vector<int> codes = {0, 1}) {
        screen = std::make_shared<ConfirmSignViewController>(
            ConfirmSignViewController::Arguments{duty(), std::move(codes), insurer(), mode});
        screen->onReport = [this, mode](InsuranceCompany compary) { reports.emplace_back(std::move(compary), mode); };
        push(screen);
        return screen;
    }
    std::shared_ptr<ConfirmSignFooterView> footer() const {
        return std::dynamic_pointer_cast<ConfirmSignFooterView>(screen->viewForFooterInSection(*screen->tableView(), 1));
    }
    void signOwn(double y = 50) {
        ASSERT_TRUE(driver.tap(footer()->sign1()));
        drawAndConfirm(y);
    }
    void signOther(double y = 50) {
        ASSERT_TRUE(driver.tap(footer()->sign2()));
        drawAndConfirm(y);
    }
    std::string done() {
        clearToast();
        auto outcome = driver.tap("完成");
        EXPECT_TRUE(outcome) << outcome;
        settleRequests();
        return toast();
    }
    static std::string label(const std::weak_ptr<ui::Label>& l) { return l.lock()->text(); }

    std::shared_ptr<ConfirmSignViewController> screen;
    std::vector<std::pair<InsuranceCompany, CaseMode>> reports;
};

TEST_F(ConfirmSignTest, ShowsBothPartiesWithTheAgreedLiability) {
    openSigning(CaseMode::Real, {0, 1});
    EXPECT_EQ(screen->title(), "签名确认");
    for (const char* text : {"以下是事故双方认可的责任信息,请签字确认", "本方驾驶员及车辆信息", "对方驾驶员及车辆信息",
                             "本方驾驶员签字", "对方驾驶员签字", "完成"})
        EXPECT_TRUE(driver.isOnScreen(text)) << text;
    EXPECT_EQ(label(screen->selfName), "张三");
    EXPECT_EQ(label(screen->selfCarPlateNo), "京A12345");
    EXPECT_EQ(label(screen->selfDuty), "全责");
    EXPECT_EQ(label(screen->selfInsurance), "中国人民财产保险股份有限公司");
    EXPECT_EQ(label(screen->otherName), "李四");
    EXPECT_EQ(label(screen->otherCarPlateNo), "冀B6H111");
    EXPECT_EQ(label(screen->otherDuty), "无责");
    EXPECT_EQ(label(screen->otherInsurance), "中国平安财产保险股份有限公司");
    // Everything, "完成" included, fits the screen.
    EXPECT_TRUE(driver.find(driver::ViewQuery::byTitle("完成")));

    navigation->popViewController(false);
    finishTransitions();
    openSigning(CaseMode::Real, {2, 2});
    EXPECT_EQ(label(screen->selfDuty), "同责");
    EXPECT_EQ(label(screen->otherDuty), "同责");
}

TEST_F(ConfirmSignTest, FewerThanTwoCodesLeaveTheLiabilityEmptyAndCompleteNothing) {
    for (auto codes : {std::vector<int>{}, std::vector<int>{0}}) {
        openSigning(CaseMode::Real, codes);
        EXPECT_EQ(label(screen->selfDuty), "");
        EXPECT_EQ(label(screen->otherDuty), "");
        signOwn();
        signOther();
        EXPECT_EQ(done(), "请选择责任类型");
        EXPECT_EQ(top(), screen);
        navigation->popViewController(false);
        finishTransitions();
    }
    // An unknown code leaves its label as laid out.
    openSigning(CaseMode::Real, {7, 1});
    EXPECT_EQ(label(screen->selfDuty), "");
    EXPECT_EQ(label(screen->otherDuty), "无责");
    EXPECT_EQ(server.count("dutyinfo"), 0u);
    EXPECT_TRUE(reports.empty());
}

TEST_F(ConfirmSignTest, TheThreeSignatureChecksInTheirOrder) {
    openSigning(CaseMode::Real);
    EXPECT_EQ(done(), "请双方驾驶人签字确认");
    signOther();
    EXPECT_EQ(done(), "请己方驾驶人签字确认");
    navigation->popViewController(false);
    finishTransitions();
    openSigning(CaseMode::Real);
    signOwn();
    EXPECT_EQ(done(), "其他驾驶人请签字确认");
    EXPECT_EQ(server.count("dutyinfo"), 0u);
    // A cancelled pad signs nobody.
    ASSERT_TRUE(driver.tap(footer()->sign2()));
    advance(0.4);
    ASSERT_TRUE(driver.tap("取消"));
    advance(0.4);
    EXPECT_EQ(done(), "其他驾驶人请签字确认");
    // "确定" with nothing drawn signs nobody either.
    ASSERT_TRUE(driver.tap(footer()->sign2()));
    advance(0.4);
    ASSERT_TRUE(driver.tap("确定"));
    advance(0.4);
    EXPECT_EQ(done(), "其他驾驶人请签字确认");
    EXPECT_FALSE(driver.isOnScreen("请在下方区域内签名"));
}

TEST_F(ConfirmSignTest, ButtonsShowThePadsImageForTheOwnPartyAndTheScaledCopyForTheOther) {
    openSigning(CaseMode::Real);
    signOwn();
    signOther();
    auto own = footer()->sign1();
    auto other = footer()->sign2();
    EXPECT_EQ(own->titleForState(ui::ControlStates::Normal).value_or("?"), "");
    EXPECT_EQ(other->titleForState(ui::ControlStates::Normal).value_or("?"), "");
    auto ownImage = own->imageForState(ui::ControlStates::Normal);
    auto otherImage = other->imageForState(ui::ControlStates::Normal);
    ASSERT_TRUE(ownImage && otherImage);
    EXPECT_EQ(ownImage->pixelWidth(), 558);
    EXPECT_EQ(ownImage->pixelHeight(), 210);
    EXPECT_EQ(otherImage->pixelWidth(), 160);
    EXPECT_EQ(otherImage->pixelHeight(), 90);
    EXPECT_EQ(own->backgroundImageForState(ui::ControlStates::Normal)->name(), Theme::kOwnSignImage);
    EXPECT_EQ(other->backgroundImageForState(ui::ControlStates::Normal)->name(), Theme::kOtherSignImage);
    // The footer is made once: a reload keeps the signatures on it.
    screen->tableView()->reloadData();
    EXPECT_EQ(footer()->sign1()->imageForState(ui::ControlStates::Normal), ownImage);
}

TEST_F(ConfirmSignTest, CompletionSendsBothReadableSignaturesAndOpensTheReport) {
    openSigning(CaseMode::Real, {0, 1});
    signOwn(50);
    signOther(150);
    EXPECT_EQ(done(), "");
    ASSERT_EQ(server.count("dutyinfo"), 1u);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].first.keyValues(), insurer().keyValues());
    EXPECT_EQ(reports[0].second, CaseMode::Real);
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);

    auto body = server.lastRequest("dutyinfo")->body;
    EXPECT_EQ(body.value("userid", ""), standin::kDemoUserId);
    EXPECT_EQ(body.value("sn", ""), standin::signatureFor(standin::kDemoUserId));
    EXPECT_EQ(body.value("appkey", ""), AppConfig::appKey());
    EXPECT_EQ(body.value("accidentno", ""), kCase);
    auto list = body["dutylist"];
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].value("carno", ""), StringExtension::UTF8StringWithString("京A12345"));
    EXPECT_EQ(list[1].value("carno", ""), "%E5%86%80B6H111");
    EXPECT_EQ(list[0].value("dutytpe", ""), "0");
    EXPECT_EQ(list[1].value("dutytpe", ""), "1");
    const std::regex date(R"(\d{4}-\d{1,2}-\d{1,2} \d{1,2}:\d{1,2}:\d{1,2})");
    for (int party = 0; party < 2; ++party) {
        EXPECT_EQ(list[party].value("lon", ""), "116.397500");
        EXPECT_EQ(list[party].value("lat", ""), "39.908700");
        EXPECT_TRUE(std::regex_match(list[party].value("date", ""), date)) << list[party].value("date", "");
    }

    // What the server kept decodes to 160 x 90 JPEGs with black strokes on white: the own
    // stroke across drawing-area y 50 (image row 21), the other's across y 150 (row 64).
    auto kept = server.stateSnapshot().data["cases"][kCase]["dutylist"];
    ASSERT_EQ(kept.size(), 2u);
    const int strokeRow[2] = {21, 64};
    for (int party = 0; party < 2; ++party) {
        EXPECT_EQ(kept[party]["content"], list[party]["content"]);
        auto image = decodedSignature(kept[party]["content"].get<std::string>());
        ASSERT_TRUE(image) << party;
        ASSERT_EQ(image->pixelWidth(), 160);
        ASSERT_EQ(image->pixelHeight(), 90);
        double darkest = 1;
        for (int y = strokeRow[party] - 2; y <= strokeRow[party] + 2; ++y) darkest = std::min(darkest, image->pixel(70, y).r);
        EXPECT_LT(darkest, 0.35) << party;
        for (auto [x, y] : {std::pair{5, 5}, std::pair{150, 85}, std::pair{70, 40}}) {
            auto colour = image->pixel(x, y);
            EXPECT_GT(colour.r, 0.9) << party << " " << x << "," << y;
            EXPECT_GT(colour.b, 0.9) << party << " " << x << "," << y;
        }
    }
}

TEST_F(ConfirmSignTest, ARefusedSubmissionKeepsBothSignaturesAndTheNextCompletionSendsAgain) {
    openSigning(CaseMode::Real, {2, 2});
    signOwn();
    signOther();
    HeldReply refusal;
    server.scriptOnce("dutyinfo", refusal(Reply::rescode("500", "提交失败")));
    clearToast();
    ASSERT_TRUE(driver.tap("完成"));
    ASSERT_NE(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_EQ(ProgressHUD::currentSpinner()->text(), "正在提交...");
    // A second tap while it is on its way sends nothing more.
    screen->confirmBtnDidClick();
    refusal.release();
    settleRequests();
    EXPECT_EQ(toast(), "提交失败");
    EXPECT_EQ(server.count("dutyinfo"), 1u);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    auto first = server.lastRequest("dutyinfo")->body;

    server.scriptOnce("dutyinfo", Reply::dropped());
    EXPECT_EQ(done(), AppConfig::kNetworkFailureText);
    EXPECT_TRUE(reports.empty());

    EXPECT_EQ(done(), "");
    ASSERT_EQ(server.count("dutyinfo"), 3u);
    ASSERT_EQ(reports.size(), 1u);
    auto last = server.lastRequest("dutyinfo")->body;
    EXPECT_EQ(last["dutylist"][0]["content"], first["dutylist"][0]["content"]);
    EXPECT_EQ(last["dutylist"][1]["content"], first["dutylist"][1]["content"]);
    EXPECT_EQ(last["dutylist"][0]["dutytpe"], "2");
    EXPECT_EQ(last["dutylist"][1]["dutytpe"], "2");
}

TEST_F(ConfirmSignTest, SigningAgainReplacesTheSignatureAndACancelKeepsIt) {
    openSigning(CaseMode::Real);
    signOwn(50);
    signOther(50);
    EXPECT_EQ(done(), "");
    auto first = server.lastRequest("dutyinfo")->body["dutylist"][0]["content"].get<std::string>();

    navigation->popViewController(false);
    finishTransitions();
    openSigning(CaseMode::Real);
    signOwn(50);
    signOther(50);
    ASSERT_TRUE(driver.tap(footer()->sign1()));
    advance(0.4);
    ASSERT_TRUE(driver.tap("取消"));
    advance(0.4);
    EXPECT_EQ(done(), "");
    EXPECT_EQ(server.lastRequest("dutyinfo")->body["dutylist"][0]["content"], first);

    signOwn(150);
    EXPECT_EQ(done(), "");
    auto replaced = server.lastRequest("dutyinfo")->body["dutylist"][0]["content"].get<std::string>();
    EXPECT_NE(replaced, first);
    auto image = decodedSignature(replaced);
    ASSERT_TRUE(image);
    EXPECT_GT(image->pixel(70, 21).r, 0.9);  // the first stroke is gone
}

TEST_F(ConfirmSignTest, ValuesTheUserStateLacksAreLeftOut) {
    auto& state = UserDateSingleton::shareUserDateInstance();
    state.setLongitude(std::nullopt);
    state.setLatitude(std::string());
    openSigning(CaseMode::Real);
    signOwn();
    signOther();
    EXPECT_EQ(done(), "");
    auto list = server.lastRequest("dutyinfo")->body["dutylist"];
    for (auto& entry : list) {
        EXPECT_FALSE(entry.contains("lon"));
        EXPECT_FALSE(entry.contains("lat"));
    }
}

TEST_F(ConfirmSignTest, PracticeOpensTheReportWithThePlaceholderInsurerAndSendsNothing) {
    openSigning(CaseMode::Practice);
    EXPECT_EQ(done(), "请双方驾驶人签字确认");
    signOwn();
    signOther();
    EXPECT_EQ(done(), "");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].second, CaseMode::Practice);
    EXPECT_EQ(reports[0].first.inscomname, "XXXXX保险公司");
    EXPECT_EQ(reports[0].first.inscomcode, "0");
    EXPECT_TRUE(reports[0].first.insphone.has_value());
    EXPECT_EQ(server.requests().size(), 0u);
}

TEST_F(ConfirmSignTest, AnUnwiredReportIsAnErrorAndTheSpinnerGoes) {
    expectErrors();
    openSigning(CaseMode::Real);
    screen->onReport = nullptr;
    signOwn();
    signOther();
    EXPECT_EQ(done(), "");
    EXPECT_EQ(server.count("dutyinfo"), 1u);
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_EQ(top(), screen);
}

// The footer's three buttons reach its delegate, each with its own message; a button that
// outlives its footer reaches nothing.
TEST_F(ConfirmSignTest, FooterButtonsTellTheDelegateOnlyWhileTheFooterLives) {
    struct Delegate : ConfirmSignFooterViewDelegate {
        std::vector<std::string> heard;
        void sign1BtnDidClick(const std::shared_ptr<ui::Button>& b) override { heard.push_back("own " + b->titleForState(ui::ControlStates::Normal).value_or("")); }
        void sign2BtnDidClick(const std::shared_ptr<ui::Button>& b) override { heard.push_back("other " + b->titleForState(ui::ControlStates::Normal).value_or("")); }
        void confirmBtnDidClick() override { heard.push_back("done"); }
    };
    auto delegate = std::make_shared<Delegate>();
    auto footer = std::make_shared<ConfirmSignFooterView>();
    footer->setDelegate(delegate);
    // Held apart from the footer, as a screen holds the tapped sign button.
    std::vector<std::shared_ptr<ui::Button>> buttons = {footer->sign1(), footer->sign2(), footer->confirm()};
    for (const auto& button : buttons) button->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    EXPECT_EQ(delegate->heard, (std::vector<std::string>{"own 本方驾驶员签字", "other 对方驾驶员签字", "done"}));
    footer.reset();
    for (const auto& button : buttons) button->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    EXPECT_EQ(delegate->heard.size(), 3u);
}

}  // namespace
