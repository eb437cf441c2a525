#include <fstream>

#include <gtest/gtest.h>

#include "VehicleTestSupport.h"
#include "app/ApplicationScreens.h"
#include "capture/vehicle/CompanyConfigViewController.h"
#include "core/FooterButtonView.h"
#include "core/StringExtension.h"
#include "core/TextLabelCell.h"
#include "core/Theme.h"
#include "liability/followup/ReportResultViewController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/PickerView.h"
#include "support/HeldReply.h"

using nlohmann::json;
using standin::Reply;

namespace {

constexpr const char* kCase = "BJ202612070011";

json insurer(const std::string& name, const std::string& code) {
    return {{"inscomname", name}, {"inscomcode", code}, {"insphone", "9" + code}, {"insreporttel", "8" + code}};
}

InsuranceCompany record(const json& dictionary) { return *InsuranceCompany::objectWithKeyValues(dictionary); }

struct Reported {
    InsuranceCompany company;
    CaseMode mode;
};

class CompanyConfigTest : public VehicleTest {
protected:
    void SetUp() override {
        VehicleTest::SetUp();
        auto& state = UserDateSingleton::shareUserDateInstance();
        state.setAccidentno(std::string(kCase));
        state.setLongitude(std::string("116.310000"));
        state.setLatitude(std::string("39.980000"));
    }

    // The screen with its report output recorded.
    std::shared_ptr<CompanyConfigViewController> openConfig(CaseMode mode, const json& company) {
        auto screen = std::make_shared<CompanyConfigViewController>(
            CompanyConfigViewController::Arguments{record(company), mode});
        screen->onReportResult = [this, mode](const InsuranceCompany& company) {
            reported.push_back({company, mode});
        };
        navigation->pushViewController(screen, true);
        finishTransitions();
        return screen;
    }
    static void storeInsurers(const json& list) {
        ASSERT_TRUE(foundation::plist::write(documentsFile("insurance.plist"), list));
    }
    std::shared_ptr<TextLabelCell> insurerRow(const std::shared_ptr<CompanyConfigViewController>& screen) {
        return std::dynamic_pointer_cast<TextLabelCell>(screen->tableView()->cellForRowAtIndexPath({0, 0}));
    }
    std::shared_ptr<ui::PickerView> shownPicker() const {
        return driver.find<ui::PickerView>(driver::ViewQuery::byClass("PickerView")).view();
    }
    static std::string toast() {
        auto hud = ProgressHUD::current();
        return hud && hud->isToast() ? hud->text() : "";
    }

    std::vector<Reported> reported;
};

// --- The screen --------------------------------------------------------------------------------

TEST_F(CompanyConfigTest, OneInsurerRowWithTheDropDownMarkOverTheConfirmButton) {
    auto screen = openConfig(CaseMode::Real, insurer("甲保险", "A"));
    EXPECT_EQ(screen->title(), "确认保险公司");
    EXPECT_TRUE(screen->navigationItem()->hidesBackButton());
    ASSERT_NE(screen->navigationItem()->leftBarButtonItem(), nullptr);
    auto table = screen->tableView();
    auto bounds = ui::Screen::mainScreen().bounds();
    EXPECT_EQ(table->frame(), ui::Rect(0, 0, bounds.width(), bounds.height() - 64));
    ASSERT_EQ(table->numberOfRowsInSection(0), 1);

    auto row = insurerRow(screen);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->reuseIdentifier(), "UITableViewCell");
    EXPECT_DOUBLE_EQ(row->labelWidth(), 70);
    EXPECT_EQ(row->textLabel()->text(), "保险公司:");
    EXPECT_EQ(row->textLabel()->textColor(), Theme::hintGrey());
    EXPECT_EQ(row->detailTextLabel()->text(), "甲保险");
    auto mark = std::dynamic_pointer_cast<ui::ImageView>(row->accessoryView());
    ASSERT_NE(mark, nullptr);
    ASSERT_NE(mark->image(), nullptr);
    EXPECT_EQ(mark->image()->name(), "下拉选择");
    EXPECT_DOUBLE_EQ(mark->frame().width(), 15);
    EXPECT_DOUBLE_EQ(mark->frame().height(), 10);
    EXPECT_TRUE(driver.isOnScreen("保险公司:"));
    EXPECT_TRUE(driver.isOnScreen("甲保险"));

    auto footer = std::dynamic_pointer_cast<FooterButtonView>(table->tableFooterView());
    ASSERT_NE(footer, nullptr);
    EXPECT_DOUBLE_EQ(footer->frame().height(), 64);
    EXPECT_EQ(footer->button()->frame(), ui::Rect(10, 20, bounds.width() - 20, 44));
    EXPECT_EQ(footer->button()->currentTitle(), "确定");
    EXPECT_EQ(footer->button()->currentBackgroundImage()->name(), "蓝色btn");

    // "返回" pops; opening and leaving asked the server for nothing.
    ASSERT_TRUE(driver.goBack());
    finishTransitions();
    EXPECT_EQ(top(), root);
    settleRequests();
    EXPECT_TRUE(server.requests().empty());
}

// --- The picker --------------------------------------------------------------------------------

TEST_F(CompanyConfigTest, RealPickerStartsAtTheCurrentInsurerOrTheFirstRow) {
    json list = json::array({insurer("甲保险", "A"), insurer("乙保险", "B"), insurer("丙保险", "C")});
    storeInsurers(list);
    struct Case {
        json company;
        int row;
    };
    const std::vector<Case> cases = {
        {insurer("丙保险", "C"), 2},
        {insurer("乙保险", "B"), 1},
        {insurer("丁保险", "D"), 0},                // not in the list
        {json{{"inscomname", "无代码保险"}}, 0},     // no code
        {insurer("空代码", ""), 0},
    };
    for (const auto& c : cases) {
        auto screen = openConfig(CaseMode::Real, c.company);
        ASSERT_TRUE(driver.tap("保险公司:"));
        ASSERT_TRUE(driver.isAlertShowing()) << c.company.dump();
        auto picker = shownPicker();
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(picker->numberOfRowsInComponent(0), 3);
        EXPECT_EQ(picker->selectedRowInComponent(0), c.row) << c.company.dump();
        EXPECT_EQ(screen->comparys.size(), 3u);
        ASSERT_TRUE(driver.answerAlert("取消"));
        // Cancel keeps the insurer.
        EXPECT_EQ(screen->curCompary.keyValues(), record(c.company).keyValues());
        navigation->popViewController(false);
        finishTransitions();
    }
}

TEST_F(CompanyConfigTest, ChoosingARowShowsAndKeepsThatInsurer) {
    storeInsurers(json::array({insurer("甲保险", "A"), insurer("乙保险", "B"), insurer("丙保险", "C")}));
    auto screen = openConfig(CaseMode::Real, insurer("甲保险", "A"));
    ASSERT_TRUE(driver.tap("保险公司:"));
    ASSERT_TRUE(driver.pick("保险公司", 0, "丙保险"));
    ASSERT_TRUE(driver.answerAlert("完成"));
    EXPECT_FALSE(driver.isAlertShowing());
    EXPECT_EQ(screen->curCompary.keyValues(), insurer("丙保险", "C"));
    EXPECT_TRUE(driver.isOnScreen("丙保险"));
    EXPECT_FALSE(driver.isOnScreen("甲保险"));

    // The next picker starts at the new insurer; the report carries it.
    ASSERT_TRUE(driver.tap("保险公司:"));
    EXPECT_EQ(shownPicker()->selectedRowInComponent(0), 2);
    ASSERT_TRUE(driver.answerAlert("取消"));
    tapAndSettle("确定");
    settleRequests();
    ASSERT_EQ(server.count("claimcaseinfo"), 1u);
    EXPECT_EQ(server.lastRequest("claimcaseinfo")->param("companycode"), "C");
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].company.keyValues(), insurer("丙保险", "C"));
}

TEST_F(CompanyConfigTest, PracticePicksFromTheBundleListStartingAtTheFirstRow) {
    // A Documents list that practice must not use.
    storeInsurers(json::array({insurer("甲保险", "A")}));
    auto bundle = foundation::plist::read(foundation::bundlePath("insurance.plist"));
    ASSERT_TRUE(bundle && bundle->is_array() && bundle->size() >= 2);
    auto screen = openConfig(CaseMode::Practice, (*bundle)[1]);
    ASSERT_TRUE(driver.tap("保险公司:"));
    auto picker = shownPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->numberOfRowsInComponent(0), static_cast<int>(bundle->size()));
    EXPECT_EQ(picker->selectedRowInComponent(0), 0);
    std::string last = bundle->back().value("inscomname", "");
    ASSERT_TRUE(driver.pick("保险公司", 0, last));
    ASSERT_TRUE(driver.answerAlert("完成"));
    EXPECT_EQ(screen->curCompary.keyValues(), bundle->back());
    EXPECT_TRUE(driver.isOnScreen(last));
}

TEST_F(CompanyConfigTest, WithoutAListNoPickerShowsAndTheInsurerStays) {
    // No file, a corrupt one, an empty list, a list of no dictionaries.
    const std::vector<std::function<void()>> files = {
        [] {},
        [] {
            std::ofstream(documentsFile("insurance.plist")) << "<?xml version=\"1.0\"?><plist><array><dict><key>";
        },
        [] { storeInsurers(json::array()); },
        [] { storeInsurers(json::array({"甲保险", 3})); },
    };
    for (size_t i = 0; i < files.size(); ++i) {
        std::filesystem::remove(documentsFile("insurance.plist"));
        files[i]();
        auto screen = openConfig(CaseMode::Real, insurer("甲保险", "A"));
        ASSERT_TRUE(driver.tap("保险公司:"));
        EXPECT_FALSE(driver.isAlertShowing()) << i;
        EXPECT_EQ(shownPicker(), nullptr) << i;
        EXPECT_EQ(toast(), "请选择保险公司") << i;
        EXPECT_EQ(screen->curCompary.keyValues(), insurer("甲保险", "A")) << i;
        EXPECT_TRUE(driver.isOnScreen("甲保险")) << i;
        navigation->popViewController(false);
        finishTransitions();
    }
    settleRequests();
    EXPECT_TRUE(server.requests().empty());
}

// --- "确定" ------------------------------------------------------------------------------------

TEST_F(CompanyConfigTest, PracticeReportsAtOnceWithoutTheServer) {
    auto screen = openConfig(CaseMode::Practice, insurer("乙保险", "B"));
    tapAndSettle("确定");
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].mode, CaseMode::Practice);
    EXPECT_EQ(reported[0].company.keyValues(), insurer("乙保险", "B"));
    // Also without an insurer code: practice files nothing.
    auto empty = openConfig(CaseMode::Practice, json::object());
    tapAndSettle("确定");
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[1].mode, CaseMode::Practice);
    settleRequests();
    EXPECT_TRUE(server.requests().empty());
    EXPECT_EQ(screen->loadingHUD(), nullptr);
}

TEST_F(CompanyConfigTest, RealReportWithoutAnInsurerCodeAsksForOneAndSendsNothing) {
    for (const json& company : {json::object(), json{{"inscomname", "甲保险"}}, insurer("甲保险", "")}) {
        auto screen = openConfig(CaseMode::Real, company);
        tapAndSettle("确定");
        EXPECT_EQ(toast(), "请选择保险公司") << company.dump();
        EXPECT_EQ(screen->loadingHUD(), nullptr);
        EXPECT_EQ(top(), screen);
        navigation->popViewController(false);
        finishTransitions();
    }
    settleRequests();
    EXPECT_TRUE(reported.empty());
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(CompanyConfigTest, RealReportFilesTheCaseAndReportsOnlyOnceTheServerTookIt) {
    auto screen = openConfig(CaseMode::Real, insurer("乙保险", "B"));
    HeldReply filing;
    server.scriptOnce("claimcaseinfo", filing(Reply::rescode("200", "报案成功")));
    std::string now = StringExtension::getCurrentDate();
    ASSERT_TRUE(driver.tap("确定"));
    ASSERT_NE(screen->loadingHUD(), nullptr);
    EXPECT_EQ(screen->loadingHUD()->text(), "正在提交...");
    EXPECT_TRUE(reported.empty());
    // The spinner keeps the button from a second report.
    driver.tap("确定");
    filing.release();
    ASSERT_TRUE(waitFor([&] { return !reported.empty(); }));
    settleRequests();
    EXPECT_EQ(screen->loadingHUD(), nullptr);
    ASSERT_EQ(server.count("claimcaseinfo"), 1u);
    auto filed = *server.lastRequest("claimcaseinfo");
    EXPECT_EQ(filed.method, "POST");
    EXPECT_EQ(filed.body, (json{{"userid", standin::kDemoUserId},
                                {"accidentno", kCase},
                                {"caselon", "116.310000"},
                                {"caselat", "39.980000"},
                                {"casedate", now},
                                {"companycode", "B"},
                                {"reportcall", standin::kDemoPhone},
                                {"appkey", AppConfig::appKey()},
                                {"sn", standin::signatureFor(standin::kDemoUserId)}}));
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].mode, CaseMode::Real);
    EXPECT_EQ(reported[0].company.keyValues(), insurer("乙保险", "B"));
}

TEST_F(CompanyConfigTest, RefusedOrFailedReportClearsTheSpinnerAndLetsTheDriverTryAgain) {
    auto screen = openConfig(CaseMode::Real, insurer("乙保险", "B"));
    const std::vector<std::pair<Reply, std::string>> outcomes = {
        {Reply::rescode("300", "该案件已报案"), "该案件已报案"},
        {Reply::dropped(), AppConfig::kNetworkFailureText},
        {Reply::raw("{\"rescode\": \"200\", \"res", 200), AppConfig::kNetworkFailureText},
        {Reply::json({{"rescode", "200"}}, 502), AppConfig::kNetworkFailureText},
    };
    for (const auto& [reply, message] : outcomes) {
        server.scriptOnce("claimcaseinfo", reply);
        tapAndSettle("确定");
        settleRequests();
        EXPECT_EQ(toast(), message);
        EXPECT_EQ(screen->loadingHUD(), nullptr) << message;
        EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr) << message;
        EXPECT_EQ(top(), screen);
        EXPECT_TRUE(reported.empty());
    }
    EXPECT_EQ(server.count("claimcaseinfo"), outcomes.size());
    // The button works again.
    tapAndSettle("确定");
    settleRequests();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].mode, CaseMode::Real);
}

TEST_F(CompanyConfigTest, LeavingWhileTheReportTravelsLeavesNoSpinnerBehind) {
    auto screen = openConfig(CaseMode::Real, insurer("乙保险", "B"));
    HeldReply filing;
    server.scriptOnce("claimcaseinfo", filing(Reply::rescode("200", "报案成功")));
    ASSERT_TRUE(driver.tap("确定"));
    ASSERT_NE(screen->loadingHUD(), nullptr);
    EXPECT_EQ(ProgressHUD::current(), screen->loadingHUD());
    // "返回" stays within reach of the driver.
    ASSERT_TRUE(driver.goBack());
    finishTransitions();
    EXPECT_EQ(top(), root);
    std::weak_ptr<CompanyConfigViewController> left = screen;
    screen.reset();
    ASSERT_TRUE(server.waitForRequests("claimcaseinfo", 1));
    filing.release();
    settleRequests();
    settle();
    EXPECT_TRUE(left.expired());
    EXPECT_EQ(ProgressHUD::current(), nullptr);
    EXPECT_TRUE(reported.empty());
    EXPECT_EQ(top(), root);
}

TEST_F(CompanyConfigTest, AnUnwiredReportIsAnErrorAndTheDriverStays) {
    expectErrors();
    auto screen = std::make_shared<CompanyConfigViewController>(
        CompanyConfigViewController::Arguments{record(insurer("乙保险", "B")), CaseMode::Real});
    navigation->pushViewController(screen, true);
    finishTransitions();
    tapAndSettle("确定");
    settleRequests();
    EXPECT_EQ(screen->loadingHUD(), nullptr);
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_EQ(top(), screen);
    EXPECT_EQ(server.count("claimcaseinfo"), 1u);
}

// --- The insurer list refresh ------------------------------------------------------------------

TEST_F(CompanyConfigTest, LoadDataSourceAsksForTheListOfTheCityCodeAndSavesIt) {
    auto screen = openConfig(CaseMode::Real, insurer("甲保险", "A"));
    auto& state = UserDateSingleton::shareUserDateInstance();
    const std::vector<std::pair<std::optional<std::string>, std::string>> cities = {
        {"北京市", "0"}, {"上海市", "3"}, {"深圳市", "1"}, {"杭州市", "0"}, {std::nullopt, "0"}, {"", "0"}};
    size_t sent = 0;
    for (const auto& [city, code] : cities) {
        state.setCity(city);
        screen->loadDataSource();
        ASSERT_TRUE(server.waitForRequests("insurerlist", ++sent));
        settleRequests();
        EXPECT_EQ(server.lastRequest("insurerlist")->param("areaid"), code) << city.value_or("<unset>");
    }
    // The reply's list is the real list the picker then offers.
    auto file = foundation::plist::read(documentsFile("insurance.plist"));
    ASSERT_TRUE(file && file->is_array() && !file->empty());
    ASSERT_TRUE(driver.tap("保险公司:"));
    EXPECT_EQ(shownPicker()->numberOfRowsInComponent(0), static_cast<int>(file->size()));
    ASSERT_TRUE(driver.answerAlert("取消"));

    // A refused refresh leaves the saved list.
    server.scriptOnce("insurerlist", Reply::rescode("500", "服务器忙"));
    screen->loadDataSource();
    ASSERT_TRUE(server.waitForRequests("insurerlist", ++sent));
    settleRequests();
    EXPECT_EQ(foundation::plist::read(documentsFile("insurance.plist")), file);
    EXPECT_EQ(top(), screen);
}

// --- Opened by name ----------------------------------------------------------------------------

TEST_F(CompanyConfigTest, OpenedByNameItGoesOnToTheReportResult) {
    registerApplicationScreens();
    auto practice = open<CompanyConfigViewController>(
        "CompanyConfigViewController", {{"compary", insurer("乙保险", "B")}, {"simualateState", 0}});
    ASSERT_NE(practice, nullptr);
    EXPECT_EQ(practice->simualateState, CaseMode::Practice);
    tapAndSettle("确定");
    auto result = top<ReportResultViewController>();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->simualateState, CaseMode::Practice);
    EXPECT_EQ(result->curCompary->keyValues(), insurer("乙保险", "B"));

    auto real = open<CompanyConfigViewController>(
        "CompanyConfigViewController", {{"compary", insurer("丙保险", "C")}, {"simualateState", 1}});
    ASSERT_NE(real, nullptr);
    tapAndSettle("确定");
    ASSERT_TRUE(waitFor([&] { return top<ReportResultViewController>() && top() != result; }));
    finishTransitions();
    auto filed = top<ReportResultViewController>();
    EXPECT_EQ(filed->simualateState, CaseMode::Real);
    EXPECT_EQ(filed->curCompary->keyValues(), insurer("丙保险", "C"));
    ASSERT_EQ(server.count("claimcaseinfo"), 1u);

    // Without an insurer the row is empty; the practice flag is required.
    auto none = open<CompanyConfigViewController>("CompanyConfigViewController", {{"simualateState", 1}});
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->curCompary.keyValues(), json::object());
    expectErrors();
    EXPECT_EQ(ScreenRegistry::make("CompanyConfigViewController", {{"compary", insurer("乙保险", "B")}}), nullptr);
    EXPECT_EQ(ScreenRegistry::make("CompanyConfigViewController", {{"simualateState", 1}, {"curCompary", json::object()}}),
              nullptr);
}

}  // namespace
