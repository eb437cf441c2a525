#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "account/AddressManager.h"
#include "capture/vehicle/ChooseInsuranceViewController.h"
#include "core/StringExtension.h"
#include "core/Theme.h"
#include "input/StringPickerSheet.h"
#include "liability/form/ClientHeaderView.h"
#include "platform/ui/PickerView.h"
#include "support/HeldReply.h"

using nlohmann::json;

void FormTest::pickPrefix(const std::weak_ptr<ui::Button>& button, int province, int letter) {
    auto outcome = driver.tap(button.lock());
    ASSERT_TRUE(outcome) << outcome;
    ASSERT_TRUE(driver.isAlertShowing());
    auto wheel = driver.find<ui::PickerView>(driver::ViewQuery::byClass("PickerView"));
    ASSERT_TRUE(wheel) << wheel.error();
    wheel.view()->userSelectRow(province, 0);
    wheel.view()->userSelectRow(letter, 1);
    ASSERT_TRUE(driver.answerAlert(StringPickerSheet::kDoneTitle));
}

void FormTest::pickInsurer(int section, int row) {
    ASSERT_TRUE(driver.selectRow(section, ClientViewController::kInsuranceRow));
    finishTransitions();
    settleRequests();
    auto chooser = std::dynamic_pointer_cast<ChooseInsuranceViewController>(navigation->topViewController());
    ASSERT_TRUE(chooser);
    ASSERT_TRUE(driver.selectRow(0, row));
    finishTransitions();
    ASSERT_EQ(navigation->topViewController(), form);
}

namespace {

json insurer(const std::string& name, const std::string& code, const std::string& phone, const std::string& tel) {
    return {{"inscomname", name}, {"inscomcode", code}, {"insphone", phone}, {"insreporttel", tel}};
}

std::shared_ptr<CarListModel> car(const std::string& carno, const std::string& owner = "王建国",
                                  std::optional<std::string> jqxname = std::string("中国人民财产保险股份有限公司"),
                                  std::optional<std::string> jqxcode = std::string("PICC")) {
    auto model = std::make_shared<CarListModel>();
    model->carno = carno;
    model->ownername = owner;
    model->jqxname = std::move(jqxname);
    model->jqxcode = std::move(jqxcode);
    return model;
}

std::string escape(const std::string& text) { return StringExtension::UTF8StringWithString(text); }

class ClientFormTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(foundation::plist::write(documentsFile("insurance.plist"),
                                             json::array({insurer("甲保险", "A", "95501", "95502"),
                                                          insurer("中国人民财产保险股份有限公司", "PICC", "11111", "22222"),
                                                          insurer("乙保险", "B", "95511", "95512"),
                                                          insurer("人保北京", "PICC", "95518", "95519")})));
    }
    // Fills the own party of an unregistered vehicle with valid values.
    void fillOwn(const std::string& name = "张三", const std::string& plate = "A1234") {
        pickInsurer(0, 0);
        pickPrefix(ClientTestAPI::selfLocBtn(*form), 0, 0);  // 京A
        enter(ClientTestAPI::selfName(*form), name);
        enter(ClientTestAPI::selfPlateNo(*form), plate);
    }
    void fillOther(const std::string& name = "李四", const std::string& plate = "B5678", const std::string& phone = "13912345678") {
        pickInsurer(1, 1);
        pickPrefix(ClientTestAPI::otherLocBtn(*form), 1, 2);  // 津C
        enter(ClientTestAPI::OtherDriveName(*form), name);
        enter(ClientTestAPI::otherPlateNo(*form), plate);
        enter(ClientTestAPI::otherPhoneNo(*form), phone);
    }
    json lastSubmission() {
        auto request = server.lastRequest("accidentcarinfo");
        return request ? request->body : json();
    }
};

// --- Screen ---------------------------------------------------------------------------------------

TEST_F(ClientFormTest, OneVehicleHasOneSectionWithoutHeaderTextAndTheFooterBelowIt) {
    openForm(1, false);
    auto table = form->tableView();
    EXPECT_EQ(form->title(), "当事人信息");
    EXPECT_TRUE(form->navigationItem()->hidesBackButton());
    ASSERT_EQ(table->numberOfSections(), 1);
    EXPECT_EQ(table->numberOfRowsInSection(0), 4);
    EXPECT_EQ(table->rectForHeaderInSection(0).height(), 45);
    EXPECT_EQ(table->headerViewForSection(0), nullptr);
    EXPECT_EQ(table->rectForFooterInSection(0).height(), 64);
    EXPECT_TRUE(driver.isOnScreen("下一步"));
    EXPECT_FALSE(driver.isOnScreen("本方驾驶员及车辆信息"));
    EXPECT_EQ(ClientTestAPI::selfInsurance(*form).lock()->text(), "请选择保险公司");
    EXPECT_EQ(ClientTestAPI::selfPhoneNo(*form).lock()->text(), standin::kDemoPhone);
    EXPECT_EQ(ClientTestAPI::selfLocBtn(*form).lock()->titleEdgeInsets().left, -17);
}

TEST_F(ClientFormTest, TwoVehiclesHaveColouredHeadersAndTheFooterUnderTheOtherParty) {
    openForm(1, true);
    auto table = form->tableView();
    ASSERT_EQ(table->numberOfSections(), 2);
    auto own = std::dynamic_pointer_cast<ClientHeaderView>(table->headerViewForSection(0));
    auto other = std::dynamic_pointer_cast<ClientHeaderView>(table->headerViewForSection(1));
    ASSERT_TRUE(own && other);
    EXPECT_EQ(own->textLabel()->text(), "本方驾驶员及车辆信息");
    EXPECT_EQ(own->textLabel()->textColor(), Theme::ownParty());
    EXPECT_EQ(other->textLabel()->text(), "对方驾驶员及车辆信息");
    EXPECT_EQ(other->textLabel()->textColor(), Theme::otherParty());
    EXPECT_EQ(own->textLabel()->frame(), ui::Rect(12.5, 12.5, 320 - 25, 20));
    EXPECT_EQ(table->rectForFooterInSection(0).height(), 0);
    EXPECT_EQ(table->rectForFooterInSection(1).height(), 64);
    EXPECT_EQ(table->footerViewForSection(0), nullptr);
    EXPECT_TRUE(table->footerViewForSection(1));
    EXPECT_EQ(ClientTestAPI::otherInsurance(*form).lock()->text(), "请选择保险公司");
}

// --- Filling from the chosen vehicle ---------------------------------------------------------------

TEST_F(ClientFormTest, ListedVehicleFillsNamePlateAndPolicyInsurer) {
    openForm(1, false, car("京A12345"));
    EXPECT_EQ(ClientTestAPI::selfName(*form).lock()->text(), "王建国");
    EXPECT_EQ(ClientTestAPI::selfLocBtn(*form).lock()->titleForState(ui::ControlStates::Normal), "京A");
    EXPECT_EQ(ClientTestAPI::selfPlateNo(*form).lock()->text(), "12345");
    EXPECT_EQ(ClientTestAPI::selfInsurance(*form).lock()->text(), "中国人民财产保险股份有限公司");
    EXPECT_EQ(ClientTestAPI::selfPhoneNo(*form).lock()->text(), standin::kDemoPhone);
}

TEST_F(ClientFormTest, OtherRowLeavesTheOwnFieldsEmptyButThePhone) {
    auto other = std::make_shared<CarListModel>();
    other->carno = "其他";
    openForm(1, false, other);
    EXPECT_EQ(ClientTestAPI::selfName(*form).lock()->text(), "");
    EXPECT_EQ(ClientTestAPI::selfPlateNo(*form).lock()->text(), "");
    EXPECT_EQ(ClientTestAPI::selfLocBtn(*form).lock()->titleForState(ui::ControlStates::Normal).value_or(""), "");
    EXPECT_EQ(ClientTestAPI::selfInsurance(*form).lock()->text(), "请选择保险公司");
    EXPECT_EQ(ClientTestAPI::selfPhoneNo(*form).lock()->text(), standin::kDemoPhone);
}

TEST_F(ClientFormTest, PlatesAreSplitIntoPrefixAndNumberWithoutReadingPastTheEnd) {
    using P = std::pair<std::string, std::string>;
    EXPECT_EQ(ClientViewController::splitCarno("京A12345"), (P{"京A", "12345"}));
    EXPECT_EQ(ClientViewController::splitCarno("京AD12345"), (P{"京A", "D12345"}));
    EXPECT_EQ(ClientViewController::splitCarno("沪B12345F"), (P{"沪B", "12345F"}));
    // Any other length is no plate the form can split: the fields stay for the driver.
    EXPECT_EQ(ClientViewController::splitCarno("京A12"), (P{}));
    EXPECT_EQ(ClientViewController::splitCarno("京A1234"), (P{}));
    EXPECT_EQ(ClientViewController::splitCarno("京"), (P{}));
    EXPECT_EQ(ClientViewController::splitCarno("京A1234567"), (P{}));
    EXPECT_EQ(ClientViewController::splitCarno("\xE4\xBA"), (P{}));  // a cut character: two bytes

    openForm(1, false, car("京B9"));
    EXPECT_EQ(ClientTestAPI::selfLocBtn(*form).lock()->titleForState(ui::ControlStates::Normal).value_or(""), "");
    EXPECT_EQ(ClientTestAPI::selfPlateNo(*form).lock()->text(), "");
    EXPECT_EQ(ClientTestAPI::selfName(*form).lock()->text(), "王建国");
    EXPECT_EQ(next(), "请补全车辆及驾驶人信息");
    EXPECT_EQ(server.count("accidentcarinfo"), 0u);
}

TEST_F(ClientFormTest, NewEnergyPlateFillsSixCharactersAndIsSentWhole) {
    UserDateSingleton::shareUserDateInstance().setCarno(std::nullopt);
    openForm(1, false, car("京AD12345"));
    EXPECT_EQ(ClientTestAPI::selfLocBtn(*form).lock()->titleForState(ui::ControlStates::Normal), "京A");
    EXPECT_EQ(ClientTestAPI::selfPlateNo(*form).lock()->text(), "D12345");
    EXPECT_EQ(next(), "");
    EXPECT_EQ(lastSubmission()["casecarlist"][0]["casecarno"], escape("京AD12345"));
    // The accepted own plate is the case's plate from now on.
    EXPECT_EQ(UserDateSingleton::shareUserDateInstance().carno(), "京AD12345");
}

TEST_F(ClientFormTest, RefusedSubmissionLeavesTheCasePlateAlone) {
    UserDateSingleton::shareUserDateInstance().setCarno(std::string("京A00001"));
    server.scriptOnce("accidentcarinfo", standin::Reply::rescode("500", "车辆信息有误"));
    openForm(1, false, car("京AD12345"));
    EXPECT_EQ(next(), "车辆信息有误");
    EXPECT_EQ(UserDateSingleton::shareUserDateInstance().carno(), "京A00001");
}

TEST_F(ClientFormTest, TwoVehicleSubmissionRemembersTheOwnPlate) {
    openForm(1, true);
    fillOwn("张三", "D1234F");
    fillOther();
    EXPECT_EQ(next(), "");
    EXPECT_EQ(lastSubmission()["casecarlist"][0]["casecarno"], escape("京AD1234F"));
    EXPECT_EQ(UserDateSingleton::shareUserDateInstance().carno(), "京AD1234F");
}

// --- Typing and picking -----------------------------------------------------------------------------

TEST_F(ClientFormTest, PlatesAreShownAndSentInUpperCaseAndCutAtSix) {
    openForm(1, false);
    fillOwn("张三", "ab1c2");
    EXPECT_EQ(ClientTestAPI::selfPlateNo(*form).lock()->text(), "AB1C2");
    enter(ClientTestAPI::selfPlateNo(*form), "x123456");
    EXPECT_EQ(ClientTestAPI::selfPlateNo(*form).lock()->text(), "X12345");
    EXPECT_EQ(next(), "");
    EXPECT_EQ(lastSubmission()["casecarlist"][0]["casecarno"], escape("京AX12345"));
}

TEST_F(ClientFormTest, NamesAndOtherPhoneHaveTheirLimits) {
    openForm(1, true);
    enter(ClientTestAPI::selfName(*form), std::string(45, 'a'));
    EXPECT_EQ(ClientTestAPI::selfName(*form).lock()->text().size(), 40u);
    enter(ClientTestAPI::OtherDriveName(*form), std::string(41, 'b'));
    EXPECT_EQ(ClientTestAPI::OtherDriveName(*form).lock()->text().size(), 40u);
    enter(ClientTestAPI::otherPhoneNo(*form), "1391234567890");
    EXPECT_EQ(ClientTestAPI::otherPhoneNo(*form).lock()->text(), "13912345678");
    enter(ClientTestAPI::otherPlateNo(*form), "abcdefg");
    EXPECT_EQ(ClientTestAPI::otherPlateNo(*form).lock()->text(), "ABCDEF");
}

TEST_F(ClientFormTest, PrefixPickerOffersTheProvincesAndLettersAndCancelKeepsTheTitle) {
    openForm(1, false);
    ASSERT_TRUE(driver.tap(ClientTestAPI::selfLocBtn(*form).lock()));
    auto wheel = driver.find<ui::PickerView>(driver::ViewQuery::byClass("PickerView"));
    ASSERT_TRUE(wheel);
    EXPECT_TRUE(driver.isOnScreen("号码"));
    EXPECT_EQ(wheel.view()->numberOfRowsInComponent(0), static_cast<int>(AddressManager::firstLevelArray().size()));
    EXPECT_EQ(wheel.view()->numberOfRowsInComponent(1), 26);
    EXPECT_EQ(wheel.view()->selectedRowInComponent(0), 0);
    EXPECT_EQ(wheel.view()->selectedRowInComponent(1), 0);
    ASSERT_TRUE(driver.answerAlert(StringPickerSheet::kCancelTitle));
    EXPECT_EQ(ClientTestAPI::selfLocBtn(*form).lock()->titleForState(ui::ControlStates::Normal).value_or(""), "");

    pickPrefix(ClientTestAPI::selfLocBtn(*form), 1, 25);
    EXPECT_EQ(ClientTestAPI::selfLocBtn(*form).lock()->titleForState(ui::ControlStates::Normal),
              AddressManager::firstLevelArray()[1] + "Z");
}

TEST_F(ClientFormTest, OwnInsurerRowUsesTheRealListAndTheOtherRowTheBundleList) {
    openForm(1, true);
    pickInsurer(0, 2);
    EXPECT_EQ(ClientTestAPI::selfInsurance(*form).lock()->text(), "乙保险");
    EXPECT_EQ(ClientTestAPI::selfInsuranceModel(*form)->inscomcode, "B");

    auto bundle = foundation::plist::read(foundation::bundlePath("insurance.plist"));
    ASSERT_TRUE(bundle && bundle->is_array() && bundle->size() > 1);
    pickInsurer(1, 1);
    EXPECT_EQ(ClientTestAPI::otherInsurance(*form).lock()->text(), (*bundle)[1]["inscomname"]);
    EXPECT_EQ(ClientTestAPI::otherInsuranceModel(*form)->keyValues(), (*bundle)[1]);
    EXPECT_EQ(server.count("insurerlist"), 0u);
}

// --- One vehicle: checks and submission ---------------------------------------------------------------

TEST_F(ClientFormTest, OneVehicleChecksComeInTheirOrder) {
    openForm(1, false);
    EXPECT_EQ(next(), "请选择保险公司");
    pickInsurer(0, 0);
    EXPECT_EQ(next(), "请补全车辆及驾驶人信息");
    pickPrefix(ClientTestAPI::selfLocBtn(*form), 0, 0);
    enter(ClientTestAPI::selfName(*form), "张 三");
    enter(ClientTestAPI::selfPlateNo(*form), "A123");
    // The plate is checked before the name.
    EXPECT_EQ(next(), "车牌号有误");
    enter(ClientTestAPI::selfPlateNo(*form), "A1234");
    EXPECT_EQ(next(), "姓名只能包含中文和英文");
    EXPECT_EQ(server.count("accidentcarinfo"), 0u);
    // CJK characters with a digit are a name.
    enter(ClientTestAPI::selfName(*form), "张三1");
    EXPECT_EQ(next(), "");
    EXPECT_EQ(server.count("accidentcarinfo"), 1u);
    EXPECT_EQ(nextScreen()->className(), "ReportViewController");
}

TEST_F(ClientFormTest, OneVehicleSendsTheEscapedOwnEntryAndOpensTheReportWithThePickedInsurer) {
    openForm(1, false);
    fillOwn("张三", "A1234");
    HeldReply saved;
    server.script("accidentcarinfo", saved(standin::Reply::json({{"rescode", "200"}})));
    advance(2);
    ASSERT_TRUE(driver.tap(ClientFooterView::kConfirmTitle));
    auto spinner = ProgressHUD::currentSpinner();
    ASSERT_TRUE(spinner);
    EXPECT_EQ(spinner->text(), "正在加载...");
    saved.release();
    settleRequests();
    EXPECT_FALSE(ProgressHUD::currentSpinner());

    auto request = server.lastRequest("accidentcarinfo");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "POST");
    EXPECT_EQ(request->body, (json{{"userid", standin::kDemoUserId},
                                   {"appkey", AppConfig::appKey()},
                                   {"sn", standin::signatureFor(standin::kDemoUserId)},
                                   {"accidentno", "BJ202612070001"},
                                   {"casecarlist", json::array({{{"casecarno", escape("京AA1234")},
                                                                 {"caseperson", escape("张三")},
                                                                 {"casephone", standin::kDemoPhone},
                                                                 {"localflag", "1"},
                                                                 {"companycode", "A"},
                                                                 {"companyname", escape("甲保险")}}})}}));
    auto report = nextScreen();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->className(), "ReportViewController");
    EXPECT_EQ(report->arguments["simualateState"], 1);
    EXPECT_EQ(report->arguments["isBackBtn"], false);
    EXPECT_EQ(report->arguments["compary"], insurer("甲保险", "A", "95501", "95502"));
}

TEST_F(ClientFormTest, ListedVehicleUsesItsPolicyInsurerAndTheLastListEntryWithThatCode) {
    openForm(1, false, car("京A12345"));
    EXPECT_EQ(next(), "");
    auto entry = lastSubmission()["casecarlist"][0];
    EXPECT_EQ(entry["companycode"], "PICC");
    EXPECT_EQ(entry["companyname"], escape("中国人民财产保险股份有限公司"));
    EXPECT_EQ(entry["caseperson"], escape("王建国"));
    auto report = nextScreen();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->arguments["compary"],
              insurer("中国人民财产保险股份有限公司", "PICC", "95518", "95519"));
}

TEST_F(ClientFormTest, ListedVehicleWithoutMatchOrPolicyName) {
    // No list entry with the code: no telephone numbers.
    openForm(1, false, car("京A12345", "王建国", std::string("某保险"), std::string("ZZ")));
    EXPECT_EQ(ClientTestAPI::ownInsuranceRecord(*form)->keyValues(), (json{{"inscomname", "某保险"}, {"inscomcode", "ZZ"}}));
    navigation->popToRootViewController(false);
    drain();

    // Without a policy insurer name the label is empty: data are missing until one is picked.
    openForm(1, false, car("京A12345", "王建国", std::nullopt, std::nullopt));
    EXPECT_EQ(ClientTestAPI::selfInsurance(*form).lock()->text(), "");
    EXPECT_EQ(next(), "请补全车辆及驾驶人信息");
    pickInsurer(0, 2);
    EXPECT_EQ(next(), "");
    EXPECT_EQ(lastSubmission()["casecarlist"][0]["companycode"], "B");
}

TEST_F(ClientFormTest, FailedRequestsLeaveEveryFieldAsEnteredAndMayBeRepeated) {
    openForm(1, true);
    fillOwn();
    fillOther();
    auto before = ClientTestAPI::dutyModel(*form)->keyValues();

    server.scriptOnce("accidentcarinfo", standin::Reply::rescode("300", "案件不存在"));
    EXPECT_EQ(next(), "案件不存在");
    EXPECT_EQ(navigation->topViewController(), form);
    EXPECT_EQ(ClientTestAPI::dutyModel(*form)->keyValues(), before);
    EXPECT_EQ(ClientTestAPI::otherPhoneNo(*form).lock()->text(), "13912345678");
    EXPECT_FALSE(ProgressHUD::currentSpinner());

    server.scriptOnce("accidentcarinfo", standin::Reply::dropped());
    EXPECT_EQ(next(), AppConfig::kNetworkFailureText);
    EXPECT_EQ(navigation->topViewController(), form);
    EXPECT_EQ(ClientTestAPI::dutyModel(*form)->keyValues(), before);

    EXPECT_EQ(next(), "");
    EXPECT_EQ(server.count("accidentcarinfo"), 3u);
    EXPECT_EQ(nextScreen()->className(), "NegotiationDutyViewController");
}

// --- Two vehicles: checks and submission --------------------------------------------------------------

TEST_F(ClientFormTest, TwoVehicleChecksComeInTheirInterleavedOrder) {
    openForm(1, true);
    EXPECT_EQ(next(), "请选择保险公司");
    pickInsurer(0, 0);
    EXPECT_EQ(next(), "请选择保险公司");
    pickInsurer(1, 0);
    EXPECT_EQ(next(), "请完善车辆信息");
    pickPrefix(ClientTestAPI::selfLocBtn(*form), 0, 0);
    pickPrefix(ClientTestAPI::otherLocBtn(*form), 0, 0);
    enter(ClientTestAPI::selfName(*form), "张-三");
    enter(ClientTestAPI::selfPlateNo(*form), "A12");
    enter(ClientTestAPI::OtherDriveName(*form), "李_四");
    enter(ClientTestAPI::otherPlateNo(*form), "B5");
    enter(ClientTestAPI::otherPhoneNo(*form), "12345");
    // The own name comes before the own plate here.
    EXPECT_EQ(next(), "姓名只能包含中文和英文");
    enter(ClientTestAPI::selfName(*form), "张三");
    EXPECT_EQ(next(), "本方车牌号有误");
    enter(ClientTestAPI::selfPlateNo(*form), "A1234");
    EXPECT_EQ(next(), "对方车牌号有误");
    enter(ClientTestAPI::otherPlateNo(*form), "A1234");
    EXPECT_EQ(next(), "姓名只能包含中文或英文");
    enter(ClientTestAPI::OtherDriveName(*form), "李四");
    EXPECT_EQ(next(), "对方电话号码有误");
    enter(ClientTestAPI::otherPhoneNo(*form), standin::kDemoPhone);
    EXPECT_EQ(next(), "双方电话不可相同");
    enter(ClientTestAPI::otherPhoneNo(*form), "13912345678");
    EXPECT_EQ(next(), "双方车牌号不可相同");
    EXPECT_EQ(server.count("accidentcarinfo"), 0u);
    // The same number with another prefix is another plate.
    pickPrefix(ClientTestAPI::otherLocBtn(*form), 1, 0);
    EXPECT_EQ(next(), "");
    EXPECT_EQ(server.count("accidentcarinfo"), 1u);
}

TEST_F(ClientFormTest, IdenticalPhonesAndPlatesReportThePhonesFirst) {
    openForm(1, true);
    fillOwn("张三", "A1234");
    fillOther("李四", "A1234", standin::kDemoPhone);
    pickPrefix(ClientTestAPI::otherLocBtn(*form), 0, 0);
    EXPECT_EQ(next(), "双方电话不可相同");
}

TEST_F(ClientFormTest, TwoVehiclesSendBothEntriesWithTheSituationAndOpenTheNegotiation) {
    auto& state = UserDateSingleton::shareUserDateInstance();
    state.setAccidentdes(std::string("1"));
    state.setAccidentInfomation(std::string("追尾 路口"));
    openForm(1, true, car("京A12345"));
    fillOther("Li Si", "b5678", "13912345678");
    EXPECT_EQ(next(), "姓名只能包含中文或英文");
    enter(ClientTestAPI::OtherDriveName(*form), "LiSi");

    HeldReply saved;
    server.script("accidentcarinfo", saved(standin::Reply::json({{"rescode", "200"}})));
    advance(2);
    ASSERT_TRUE(driver.tap(ClientFooterView::kConfirmTitle));
    ASSERT_TRUE(ProgressHUD::currentSpinner());
    EXPECT_EQ(ProgressHUD::currentSpinner()->text(), "加载中...");
    saved.release();
    settleRequests();

    auto body = lastSubmission();
    EXPECT_EQ(body["accidentdes"], "1");
    EXPECT_EQ(body["accidentInformation"], "追尾 路口");
    ASSERT_EQ(body["casecarlist"].size(), 2u);
    EXPECT_EQ(body["casecarlist"][0]["localflag"], "1");
    EXPECT_EQ(body["casecarlist"][0]["casecarno"], escape("京A12345"));
    EXPECT_EQ(body["casecarlist"][0]["companycode"], "PICC");
    EXPECT_EQ(body["casecarlist"][1], (json{{"casecarno", escape("津CB5678")},
                                            {"caseperson", "LiSi"},
                                            {"casephone", "13912345678"},
                                            {"localflag", "0"},
                                            {"companycode", "PAIC"},
                                            {"companyname", escape("中国平安财产保险股份有限公司")}}));

    auto negotiation = nextScreen();
    ASSERT_TRUE(negotiation);
    EXPECT_EQ(negotiation->className(), "NegotiationDutyViewController");
    EXPECT_EQ(negotiation->arguments["simulateState"], 1);
    // Display data stay unescaped.
    EXPECT_EQ(negotiation->arguments["duty"], (json{{"selfName", "王建国"},
                                                   {"selfCarNo", "京A12345"},
                                                   {"selfInsurance", "中国人民财产保险股份有限公司"},
                                                   {"otherName", "LiSi"},
                                                   {"otherCarNo", "津CB5678"},
                                                   {"otherInsurance", "中国平安财产保险股份有限公司"}}));
    EXPECT_EQ(negotiation->arguments["insurance"], insurer("中国人民财产保险股份有限公司", "PICC", "95518", "95519"));
}

TEST_F(ClientFormTest, EmptySituationTextIsLeftOut) {
    UserDateSingleton::shareUserDateInstance().setAccidentInfomation(std::string(""));
    openForm(1, true);
    fillOwn();
    fillOther();
    EXPECT_EQ(next(), "");
    auto body = lastSubmission();
    EXPECT_FALSE(body.contains("accidentInformation"));
    EXPECT_FALSE(body.contains("accidentdes"));
}

TEST_F(ClientFormTest, UnregisteredNegotiationLeavesTheFormAfterTheSubmission) {
    expectErrors();
    openForm(1, true);
    form->onNegotiation = nullptr;
    fillOwn();
    fillOther();
    EXPECT_EQ(next(), "");
    EXPECT_EQ(server.count("accidentcarinfo"), 1u);
    EXPECT_EQ(navigation->topViewController(), form);
    EXPECT_FALSE(ProgressHUD::currentSpinner());
}

// --- Practice -----------------------------------------------------------------------------------------

TEST_F(ClientFormTest, PracticeOneVehicleOpensTheReportWithAPlaceholderInsurerAfterTwoChecks) {
    openForm(0, false, car("京A88888", "张三"));
    EXPECT_EQ(ClientTestAPI::selfPhoneNo(*form).lock()->text(), ClientViewController::kSampleOwnPhone);
    enter(ClientTestAPI::selfName(*form), "张 三");  // not checked in practice
    EXPECT_EQ(next(), "");
    auto report = nextScreen();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->className(), "ReportViewController");
    EXPECT_EQ(report->arguments["simualateState"], 0);
    EXPECT_EQ(report->arguments["isBackBtn"], false);
    EXPECT_EQ(report->arguments["compary"]["inscomname"], "XXXXX保险公司");
    EXPECT_EQ(report->arguments["compary"]["inscomcode"], "0");
    EXPECT_TRUE(report->arguments["compary"].contains("insphone"));
    EXPECT_EQ(server.count("accidentcarinfo"), 0u);
}

TEST_F(ClientFormTest, PracticeTwoVehiclesFillTheOtherPartyAndOpenTheNegotiation) {
    openForm(0, true, car("京A88888", "张三"));
    EXPECT_EQ(ClientTestAPI::OtherDriveName(*form).lock()->text(), ClientViewController::kSampleOtherName);
    EXPECT_EQ(ClientTestAPI::otherPlateNo(*form).lock()->text(), "6H111");
    EXPECT_EQ(ClientTestAPI::otherPhoneNo(*form).lock()->text(), ClientViewController::kSampleOtherPhone);
    EXPECT_EQ(ClientTestAPI::otherInsurance(*form).lock()->text(), ClientViewController::kSampleOtherInsurance);
    EXPECT_EQ(next(), "请完善车辆信息");  // the other prefix is still to pick
    pickPrefix(ClientTestAPI::otherLocBtn(*form), 0, 1);
    EXPECT_EQ(next(), "");
    auto negotiation = nextScreen();
    ASSERT_TRUE(negotiation);
    EXPECT_EQ(negotiation->arguments["simulateState"], 0);
    EXPECT_EQ(negotiation->arguments["insurance"], (json{{"inscomname", "中国人民财产保险股份有限公司"}}));
    EXPECT_EQ(negotiation->arguments["duty"]["otherCarNo"], "京B6H111");
    EXPECT_EQ(server.count("accidentcarinfo"), 0u);
}

}  // namespace
