#include <gtest/gtest.h>

#include "NegotiationTestSupport.h"
#include "app/CaseRoad.h"
#include "liability/form/ClientViewController.h"
#include "core/StringExtension.h"
#include "core/Theme.h"
#include "liability/negotiation/ConfirmSignViewController.h"
#include "liability/negotiation/NegotiationDutyViewController.h"
#include "liability/parties/PartyRows.h"
#include "support/HeldReply.h"

namespace {

using standin::Reply;

struct Signing {
    CaseMode mode;
    DutyModel duty;
    InsuranceCompany insurance;
    std::vector<int> codes;
};

class NegotiationDutyTest : public NegotiationTest {
protected:
    std::shared_ptr<NegotiationDutyViewController> openNegotiation(CaseMode mode) {
        screen = std::make_shared<NegotiationDutyViewController>(
            NegotiationDutyViewController::Arguments{mode, duty(), insurer()});
        screen->onSign = [this, mode](DutyModel d, InsuranceCompany i, std::vector<int> codes) {
            signings.push_back({mode, std::move(d), std::move(i), std::move(codes)});
        };
        screen->onPolice = [this, mode](InsuranceCompany i) { police.emplace_back(mode, std::move(i)); };
        push(screen);
        return screen;
    }
    std::vector<bool> selection() const {
        std::vector<bool> out;
        for (auto& b : screen->allButton()) out.push_back(b->isSelected());
        return out;
    }
    void tapButton(int index) {
        auto outcome = driver.tap(screen->allButton()[index]);
        ASSERT_TRUE(outcome) << outcome;
    }

    std::shared_ptr<NegotiationDutyViewController> screen;
    std::vector<Signing> signings;
    std::vector<std::pair<CaseMode, InsuranceCompany>> police;
};

TEST_F(NegotiationDutyTest, ShowsBothPartiesUnderTheTipWithTheSixButtonsCarryingTheirCodes) {
    openNegotiation(CaseMode::Real);
    EXPECT_EQ(screen->title(), "协商定责");
    for (const char* text : {"请您根据现场情况进行协商，选择当事人责任", "本方驾驶员及车辆信息", "对方驾驶员及车辆信息",
                             "张三", "京A12345", "李四", "冀B6H111", "自行协商定责", "交警远程定责"})
        EXPECT_TRUE(driver.isOnScreen(text)) << text;
    std::vector<int> tags;
    for (auto& b : screen->allButton()) tags.push_back(static_cast<int>(b->tag()));
    EXPECT_EQ(tags, (std::vector<int>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(selection(), std::vector<bool>(6, false));
    // "返回" goes back to the form's place with nothing chosen.
    ASSERT_TRUE(driver.goBack());
    finishTransitions();
    EXPECT_EQ(stackNames(), std::vector<std::string>{"RootPage"});
}

TEST_F(NegotiationDutyTest, EachButtonSelectsItsComplementClearsTheRestAndASecondTapClearsThePair) {
    openNegotiation(CaseMode::Real);
    const int complement[6] = {4, 3, 5, 1, 0, 2};
    for (int index = 0; index < 6; ++index) {
        // Start from another pair, so that the tap must clear it.
        int other = (index + 1) % 6 == complement[index] ? (index + 2) % 6 : (index + 1) % 6;
        tapButton(other);
        tapButton(index);
        std::vector<bool> expected(6, false);
        expected[index] = expected[complement[index]] = true;
        EXPECT_EQ(selection(), expected) << "button " << index;
        tapButton(index);
        EXPECT_EQ(selection(), std::vector<bool>(6, false)) << "button " << index;
    }
    // Own "全责", then own "同责": the equal pair alone.
    tapButton(0);
    tapButton(2);
    EXPECT_EQ(selection(), (std::vector<bool>{false, false, true, false, false, true}));
}

TEST_F(NegotiationDutyTest, SigningGetsTheOwnCodeFirstAndNeedsAChoice) {
    openNegotiation(CaseMode::Real);
    ASSERT_TRUE(driver.tap("自行协商定责"));
    EXPECT_EQ(toast(), "请选择责任类型");
    // A pair chosen and cleared again is no choice.
    tapButton(0);
    tapButton(0);
    clearToast();
    ASSERT_TRUE(driver.tap("自行协商定责"));
    EXPECT_EQ(toast(), "请选择责任类型");
    EXPECT_TRUE(signings.empty());

    // Chosen from the other party's side: other "无责" is own "全责".
    tapButton(4);
    ASSERT_TRUE(driver.tap("自行协商定责"));
    ASSERT_EQ(signings.size(), 1u);
    EXPECT_EQ(signings[0].codes, (std::vector<int>{0, 1}));
    EXPECT_EQ(signings[0].mode, CaseMode::Real);
    EXPECT_EQ(signings[0].duty.keyValues(), duty().keyValues());
    EXPECT_EQ(signings[0].insurance.keyValues(), insurer().keyValues());
    tapButton(5);
    ASSERT_TRUE(driver.tap("自行协商定责"));
    EXPECT_EQ(signings.back().codes, (std::vector<int>{2, 2}));
    EXPECT_EQ(server.requests().size(), 0u);
}

TEST_F(NegotiationDutyTest, PoliceFilesTheCaseAndOpensTheWaitOnlyAfterTheAnswer) {
    openNegotiation(CaseMode::Real);
    HeldReply filed;
    server.scriptOnce("policecaseinfo", filed(Reply::rescode("200", "成功")));
    ASSERT_TRUE(driver.tap("交警远程定责"));
    ASSERT_NE(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_EQ(ProgressHUD::currentSpinner()->text(), "加载中...");
    // A second tap while the case is being filed sends nothing more.
    screen->needPoliceBtnDidClick();
    EXPECT_TRUE(police.empty());
    filed.release();
    settleRequests();
    ASSERT_EQ(police.size(), 1u);
    EXPECT_EQ(police[0].first, CaseMode::Real);
    EXPECT_EQ(police[0].second.keyValues(), insurer().keyValues());
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    ASSERT_EQ(server.count("policecaseinfo"), 1u);

    auto body = server.lastRequest("policecaseinfo")->body;
    auto date = body.value("casedate", "");
    EXPECT_EQ(date, StringExtension::stringWithCurrenDate());
    body.erase("casedate");
    EXPECT_EQ(body, (nlohmann::json{{"userid", standin::kDemoUserId},
                                    {"sn", standin::signatureFor(standin::kDemoUserId)},
                                    {"appkey", AppConfig::appKey()},
                                    {"accidentno", kCase},
                                    {"caselon", "116.397500"},
                                    {"caselat", "39.908700"},
                                    {"casecartype", "1"},
                                    {"reportcall", standin::kDemoPhone}}));
}

TEST_F(NegotiationDutyTest, RefusedOrFailedPoliceFilingKeepsTheScreenAndCanBeTriedAgain) {
    openNegotiation(CaseMode::Real);
    tapButton(1);
    server.scriptOnce("policecaseinfo", Reply::rescode("500", "交警繁忙"));
    ASSERT_TRUE(driver.tap("交警远程定责"));
    settleRequests();
    EXPECT_EQ(toast(), "交警繁忙");
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_TRUE(police.empty());

    clearToast();
    server.scriptOnce("policecaseinfo", Reply::dropped());
    ASSERT_TRUE(driver.tap("交警远程定责"));
    settleRequests();
    EXPECT_EQ(toast(), AppConfig::kNetworkFailureText);
    EXPECT_TRUE(police.empty());

    // The choice does not matter and stays as it was.
    clearToast();
    ASSERT_TRUE(driver.tap("交警远程定责"));
    settleRequests();
    EXPECT_EQ(police.size(), 1u);
    EXPECT_EQ(server.count("policecaseinfo"), 3u);
    EXPECT_EQ(server.stateSnapshot().data["cases"][kCase]["police"]["reportcall"], standin::kDemoPhone);
    EXPECT_EQ(selection(), (std::vector<bool>{false, true, false, true, false, false}));
}

TEST_F(NegotiationDutyTest, ValuesTheUserStateLacksAreLeftOut) {
    auto& state = UserDateSingleton::shareUserDateInstance();
    state.setLongitude(std::nullopt);
    state.setLatitude(std::string());
    state.setPhoneNumber(std::nullopt);
    openNegotiation(CaseMode::Real);
    ASSERT_TRUE(driver.tap("交警远程定责"));
    settleRequests();
    auto body = server.lastRequest("policecaseinfo")->body;
    for (const char* key : {"caselon", "caselat", "reportcall"}) EXPECT_FALSE(body.contains(key)) << key;
    EXPECT_EQ(body.value("accidentno", ""), kCase);
}

TEST_F(NegotiationDutyTest, PracticeOpensThePoliceWaitAtOnceAndSendsNothing) {
    openNegotiation(CaseMode::Practice);
    ASSERT_TRUE(driver.tap("交警远程定责"));
    ASSERT_EQ(police.size(), 1u);
    EXPECT_EQ(police[0].first, CaseMode::Practice);
    settleRequests();
    EXPECT_EQ(server.requests().size(), 0u);
}

TEST_F(NegotiationDutyTest, UnwiredOutputsAreErrorsAndTheDriverStays) {
    expectErrors();
    openNegotiation(CaseMode::Practice);
    screen->onSign = nullptr;
    screen->onPolice = nullptr;
    tapButton(0);
    ASSERT_TRUE(driver.tap("自行协商定责"));
    ASSERT_TRUE(driver.tap("交警远程定责"));
    EXPECT_EQ(top(), screen);
}

// The road of the case: the parties' form hands over to the negotiation, the negotiation to the
// police wait or the signing.
TEST_F(NegotiationDutyTest, TheRoadOpensTheNegotiationThenThePoliceWaitOrTheSigning) {
    auto form = std::dynamic_pointer_cast<ClientViewController>(
        std::make_shared<CaseRoad>(CaseMode::Practice)->makeClientForm(true, nullptr));
    ASSERT_NE(form, nullptr);
    form->onNegotiation(std::make_shared<DutyModel>(duty()), std::make_shared<InsuranceCompany>(insurer()));
    finishTransitions();
    auto negotiation = top<NegotiationDutyViewController>();
    ASSERT_NE(negotiation, nullptr);
    EXPECT_EQ(negotiation->duty.keyValues(), duty().keyValues());
    EXPECT_EQ(negotiation->simulateState, CaseMode::Practice);

    ASSERT_TRUE(driver.tap("交警远程定责"));
    finishTransitions();
    ASSERT_NE(top(), nullptr);
    EXPECT_EQ(top()->className(), "TrafficPoliceViewController");
    EXPECT_EQ(toast(), "");
    navigation->popViewController(false);
    finishTransitions();
    EXPECT_EQ(top(), negotiation);

    ASSERT_TRUE(driver.tap(negotiation->otherSameDuty.lock()));
    ASSERT_TRUE(driver.tap("自行协商定责"));
    finishTransitions();
    auto signing = top<ConfirmSignViewController>();
    ASSERT_NE(signing, nullptr);
    EXPECT_EQ(signing->selectedBtn, (std::vector<int>{2, 2}));
    EXPECT_EQ(signing->insurance.keyValues(), insurer().keyValues());
    EXPECT_TRUE(driver.isOnScreen("同责"));
}

// The party sections the liability screens lay out their rows and headers with.
TEST_F(NegotiationDutyTest, PartySectionsMakeEachHeaderOnceAndNothingOutsideTheirRows) {
    PartySections sections("提示", {"姓名", "车牌号"},
                           PartySections::Style{.rowHeight = 30, .ownHeaderHeight = 70, .otherHeaderHeight = 40,
                                                .tipBackground = ui::Color::rgbBytes(222, 223, 224)});
    // Before the rows are made there is none to give or to write into.
    EXPECT_EQ(sections.row(ui::IndexPath::forRow(0, 0)), nullptr);
    EXPECT_EQ(sections.addValueLabel(0, 0), nullptr);
    sections.makeRows();
    EXPECT_EQ(sections.rowCount(), 2);
    ASSERT_NE(sections.row(ui::IndexPath::forRow(1, 1)), nullptr);
    EXPECT_EQ(sections.row(ui::IndexPath::forRow(1, 1))->frame().height(), 30);
    for (auto outside : {ui::IndexPath::forRow(2, 0), ui::IndexPath::forRow(-1, 0), ui::IndexPath::forRow(0, 2),
                         ui::IndexPath::forRow(0, -1)})
        EXPECT_EQ(sections.row(outside), nullptr) << outside.description();
    EXPECT_EQ(sections.addValueLabel(2, 0), nullptr);
    auto value = sections.addValueLabel(1, 0);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->frame().x(), PartyRows::kValueX);

    auto own = std::dynamic_pointer_cast<PartyHeaderView>(sections.header(0));
    auto other = std::dynamic_pointer_cast<PartyHeaderView>(sections.header(1));
    ASSERT_TRUE(own && other);
    EXPECT_EQ(sections.header(0), own) << "made once: a reload keeps it";
    EXPECT_EQ(own->frame().height(), 70);
    EXPECT_EQ(other->frame().height(), 40);
    EXPECT_EQ(own->titleLabel()->text(), "提示");
    EXPECT_FALSE(own->titleLabel()->isHidden());
    EXPECT_EQ(own->titleLabel()->backgroundColor(), ui::Color::rgbBytes(222, 223, 224));
    EXPECT_TRUE(other->titleLabel()->isHidden());
    EXPECT_EQ(own->textLabel()->text(), "本方驾驶员及车辆信息");
    EXPECT_EQ(own->textLabel()->textColor(), Theme::ownParty());
    EXPECT_EQ(other->textLabel()->text(), "对方驾驶员及车辆信息");
    EXPECT_EQ(other->textLabel()->textColor(), Theme::otherParty());
    EXPECT_EQ(sections.header(2), nullptr);
    EXPECT_EQ(sections.header(-1), nullptr);
}

}  // namespace
