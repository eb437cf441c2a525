#include <regex>

#include <gtest/gtest.h>

#include "FollowupTestSupport.h"
#include "core/ButtonCell.h"
#include "core/Theme.h"
#include "liability/followup/ReportResultViewController.h"
#include "liability/followup/ReportViewController.h"
#include "support/HeldReply.h"

namespace {

using standin::Reply;

class ReportTest : public FollowupTest {
protected:
    std::shared_ptr<ReportViewController> openReport(int flag, nlohmann::json extra = nlohmann::json::object()) {
        nlohmann::json arguments = {{"compary", insurer()}, {"simualateState", flag}};
        for (auto& [key, value] : extra.items()) arguments[key] = value;
        return open<ReportViewController>("ReportViewController", arguments);
    }
    std::vector<std::string> openedURLs() const { return ui::Application::shared().openedURLs(); }
};

TEST_F(ReportTest, FourButtonRowsUnderTheTitleWithoutABackItem) {
    auto report = openReport(1);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->title(), "现场自助保险报案");
    EXPECT_EQ(report->navigationItem()->leftBarButtonItem(), nullptr);
    EXPECT_TRUE(report->navigationItem()->hidesBackButton());
    auto table = report->tableView();
    auto screen = ui::Screen::mainScreen().bounds();
    EXPECT_EQ(table->frame(), ui::Rect(0, 0, screen.width(), screen.height() - 64));
    EXPECT_EQ(table->separatorStyle(), ui::TableViewCellSeparatorStyle::None);
    ASSERT_EQ(table->numberOfRowsInSection(0), 4);
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"手机APP报案", "蓝色btn"}, {"电话报案", "灰色btn"}, {"不报案", "灰色btn"}, {"返回首页", "灰色btn"}};
    for (int row = 0; row < 4; ++row) {
        EXPECT_DOUBLE_EQ(table->rectForRowAtIndexPath(ui::IndexPath::forRow(row, 0)).height(), 120);
        table->scrollToRowAtIndexPath(ui::IndexPath::forRow(row, 0), ui::TableViewScrollPosition::None, false);
        auto cell = std::dynamic_pointer_cast<ButtonCell>(table->cellForRowAtIndexPath(ui::IndexPath::forRow(row, 0)));
        ASSERT_NE(cell, nullptr) << row;
        EXPECT_EQ(cell->tag(), row);
        EXPECT_EQ(cell->button()->currentTitle(), rows[row].first);
        ASSERT_NE(cell->button()->currentBackgroundImage(), nullptr);
        EXPECT_EQ(cell->button()->currentBackgroundImage()->name(), rows[row].second);
    }

    // From the history: a back item that pops to the list.
    navigation->popToRootViewController(false);
    finishTransitions();
    auto reopened = openReport(1, {{"isBackBtn", true}});
    ASSERT_NE(reopened->navigationItem()->leftBarButtonItem(), nullptr);
    ASSERT_TRUE(driver.goBack());
    finishTransitions();
    EXPECT_EQ(stackNames(), std::vector<std::string>{"HomeViewController"});
}

// The buttons are taller and wider than their picture: the picture stretches between its
// corners, which show as sharp as the picture itself in a screenshot at the screen's scale.
TEST_F(ReportTest, TheTallButtonsKeepTheCornersOfTheirPicture) {
    auto report = openReport(1);
    auto table = report->tableView();
    auto cell = std::dynamic_pointer_cast<ButtonCell>(table->cellForRowAtIndexPath(ui::IndexPath::forRow(0, 0)));
    ASSERT_NE(cell, nullptr);
    auto button = cell->button();
    auto picture = ui::Image::named(Theme::kBlueImage);
    ASSERT_NE(picture, nullptr);
    const double scale = ui::Screen::mainScreen().scale();
    EXPECT_EQ(picture->scale(), scale) << "the picture has the screen's density";
    ASSERT_GT(button->bounds().height(), picture->size().height + 20);
    ASSERT_GT(button->bounds().width(), picture->size().width);

    auto shot = driver.screenshot();
    ASSERT_NE(shot, nullptr);
    const ui::Rect frame = button->convertRectToView(button->bounds(), nullptr);
    const int corner = static_cast<int>(10 * scale);  // ten points each way from each corner
    const int left = static_cast<int>(frame.minX() * scale), top = static_cast<int>(frame.minY() * scale);
    const int right = static_cast<int>(frame.maxX() * scale), bottom = static_cast<int>(frame.maxY() * scale);
    auto same = [](const ui::Color& a, const ui::Color& b) {
        return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) < 0.05;
    };
    int compared = 0, clear = 0, differing = 0;
    for (int j = 0; j < corner; ++j) {
        // What shows beside the button on this row where the picture is clear.
        const auto besideTop = shot->pixel(left - 2, top + j), besideBottom = shot->pixel(left - 2, bottom - corner + j);
        for (int i = 0; i < corner; ++i) {
            struct Place {
                int pictureX, pictureY, shotX, shotY;
                ui::Color beside;
            };
            for (const Place& p : {Place{i, j, left + i, top + j, besideTop},
                                   Place{picture->pixelWidth() - corner + i, picture->pixelHeight() - corner + j,
                                         right - corner + i, bottom - corner + j, besideBottom}}) {
                const auto drawn = picture->pixel(p.pictureX, p.pictureY), shown = shot->pixel(p.shotX, p.shotY);
                if (drawn.a > 0.99) {
                    ++compared;
                    differing += same(drawn, shown) ? 0 : 1;
                } else if (drawn.a < 0.01) {
                    ++clear;
                    differing += same(p.beside, shown) ? 0 : 1;
                }
            }
        }
    }
    EXPECT_EQ(differing, 0) << "of " << compared + clear << " pixels of the corners";
    EXPECT_GT(compared, corner * corner);
    EXPECT_GT(clear, 0) << "the rounded corners are in the compared part";
}

TEST_F(ReportTest, ApplicationReportFilesTheCaseAndOpensTheResultTracking) {
    auto report = openReport(1);
    HeldReply filing;
    server.scriptOnce("claimcaseinfo", filing(Reply::rescode("200", "成功")));
    ASSERT_TRUE(driver.tap("手机APP报案"));
    ASSERT_NE(report->loadingHUD(), nullptr);
    EXPECT_EQ(report->loadingHUD()->text(), "正在提交...");
    // The spinner keeps the buttons from a second tap.
    EXPECT_FALSE(driver.tap("手机APP报案"));
    filing.release();
    ASSERT_TRUE(waitFor([&] { return top<ReportResultViewController>() != nullptr; }));
    finishTransitions();
    EXPECT_EQ(report->loadingHUD(), nullptr);
    ASSERT_EQ(server.count("claimcaseinfo"), 1u);

    auto filed = *server.lastRequest("claimcaseinfo");
    EXPECT_EQ(filed.method, "POST");
    EXPECT_EQ(filed.body, (nlohmann::json{{"userid", standin::kDemoUserId},
                                          {"appkey", AppConfig::appKey()},
                                          {"sn", standin::signatureFor(standin::kDemoUserId)},
                                          {"accidentno", kCase},
                                          {"caselon", "116.397500"},
                                          {"caselat", "39.908700"},
                                          {"casedate", "2026-12-07 10:00:00"},
                                          {"companycode", "PICC"},
                                          {"reportcall", standin::kDemoPhone},
                                          {"reportype", "0"}}));
    auto result = top<ReportResultViewController>();
    EXPECT_EQ(result->simualateState, CaseMode::Real);
    EXPECT_EQ(result->curCompary->keyValues(), report->compary->keyValues());
    EXPECT_TRUE(openedURLs().empty());
}

TEST_F(ReportTest, ReportTimeIsTheStoredOneOrNowWithTwoDigitsEverywhere) {
    // A new case late in the year: every field two digits, 24-hour clock.
    advance(3 * 24 * 3600 + 5 * 3600 + 3 * 60 + 9);  // 2026-12-10 15:03:09
    auto report = openReport(1);
    EXPECT_EQ(ReportTestAPI::makeCaseInfoRequest(*report, "0")->casedate, "2026-12-10 15:03:09");

    // Reopened from the history: the stored time; an empty one counts as unset.
    report->reporTime = "2026-11-02 08:15:00";
    EXPECT_EQ(ReportTestAPI::makeCaseInfoRequest(*report, "0")->casedate, "2026-11-02 08:15:00");
    report->reporTime = "";
    EXPECT_EQ(ReportTestAPI::makeCaseInfoRequest(*report, "0")->casedate, "2026-12-10 15:03:09");
    auto pattern = std::regex(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})");
    EXPECT_TRUE(std::regex_match(*ReportTestAPI::makeCaseInfoRequest(*report, "1")->casedate, pattern));

    navigation->popToRootViewController(false);
    finishTransitions();
    auto fromHistory = openReport(1, {{"reporTime", "2026-11-02 08:15:00"}, {"isBackBtn", true}});
    tapAndSettle("手机APP报案");
    ASSERT_TRUE(waitFor([&] { return server.count("claimcaseinfo") == 1; }));
    settleRequests();
    EXPECT_EQ(server.lastRequest("claimcaseinfo")->param("casedate"), "2026-11-02 08:15:00");
}

TEST_F(ReportTest, TelephoneReportFilesAndDialsTheReportLineAndStays) {
    auto report = openReport(1);
    tapAndSettle("电话报案");
    settleRequests();
    ASSERT_EQ(server.count("claimcaseinfo"), 1u);
    EXPECT_EQ(server.lastRequest("claimcaseinfo")->param("reportype"), "1");
    EXPECT_EQ(openedURLs(), std::vector<std::string>{"telprompt://95518"});
    EXPECT_EQ(topName(), "ReportViewController");

    // Another tap files another report.
    tapAndSettle("电话报案");
    settleRequests();
    EXPECT_EQ(server.count("claimcaseinfo"), 2u);
    EXPECT_EQ(openedURLs().size(), 2u);
}

TEST_F(ReportTest, TelephoneReportWithoutADialableNumberTellsTheDriverAndSendsNothing) {
    for (const nlohmann::json& record :
         {nlohmann::json(), nlohmann::json{{"inscomcode", "PICC"}}, nlohmann::json{{"insreporttel", ""}},
          nlohmann::json{{"insreporttel", "请拨打客服"}}, nlohmann::json{{"insreporttel", "95518;rm"}},
          nlohmann::json{{"insreporttel", nlohmann::json::array({"95518"})}}}) {
        auto report = open<ReportViewController>("ReportViewController", {{"compary", record}, {"simualateState", 1}});
        ASSERT_NE(report, nullptr);
        ASSERT_NE(report->compary, nullptr);
        tapAndSettle("电话报案");
        EXPECT_EQ(toast(), ReportViewController::kNoReportTelText) << record.dump();
        EXPECT_EQ(topName(), "ReportViewController");
        ProgressHUD::resetForTesting();
        navigation->popToRootViewController(false);
        finishTransitions();
    }
    settleRequests();
    EXPECT_EQ(server.count("claimcaseinfo"), 0u);
    EXPECT_TRUE(openedURLs().empty());

    // A number with spaces around it and groups is dialled with its digits.
    auto report = open<ReportViewController>(
        "ReportViewController", {{"compary", {{"insreporttel", " 400-800-8000 "}}}, {"simualateState", 1}});
    EXPECT_EQ(ReportTestAPI::reportTelephone(*report), "4008008000");
}

TEST_F(ReportTest, InsurerNumbersWrittenWithSpacesBracketsOrCountryCodeAreDialled) {
    const std::pair<const char*, const char*> numbers[] = {
        {"400 820 8000", "telprompt://4008208000"},
        {"+86 10 95518", "telprompt://+861095518"},
        {"(010)95518", "telprompt://01095518"},
    };
    for (const auto& [written, url] : numbers) {
        open<ReportViewController>("ReportViewController", {{"compary", {{"insreporttel", written}}}, {"simualateState", 1}});
        tapAndSettle("电话报案");
        settleRequests();
        ASSERT_FALSE(openedURLs().empty()) << written;
        EXPECT_EQ(openedURLs().back(), url) << written;
        navigation->popToRootViewController(false);
        finishTransitions();
    }
    EXPECT_EQ(openedURLs().size(), 3u);
    EXPECT_EQ(server.count("claimcaseinfo"), 3u);

    // What stays after dropping the separators must still be digits, "+" only in front.
    for (const char* bad : {"95+518", "++95518", "(+)", "95518 转 1", "1-2"}) {
        auto report = open<ReportViewController>("ReportViewController",
                                                 {{"compary", {{"insreporttel", bad}}}, {"simualateState", 1}});
        EXPECT_EQ(ReportTestAPI::reportTelephone(*report), std::nullopt) << bad;
        navigation->popToRootViewController(false);
        finishTransitions();
    }
}

TEST_F(ReportTest, RefusedOrFailedReportStaysWithTheServersMessage) {
    auto report = openReport(1);
    server.scriptOnce("claimcaseinfo", Reply::rescode("300", "该案件已报案"));
    tapAndSettle("手机APP报案");
    settleRequests();
    EXPECT_EQ(toast(), "该案件已报案");
    EXPECT_EQ(report->loadingHUD(), nullptr);
    EXPECT_EQ(topName(), "ReportViewController");

    server.scriptOnce("claimcaseinfo", Reply::dropped());
    tapAndSettle("电话报案");
    settleRequests();
    EXPECT_EQ(toast(), AppConfig::kNetworkFailureText);
    EXPECT_EQ(topName(), "ReportViewController");
    EXPECT_TRUE(openedURLs().empty());

    // The buttons work again.
    tapAndSettle("手机APP报案");
    settleRequests();
    EXPECT_EQ(topName(), "ReportResultViewController");
}

TEST_F(ReportTest, NoReportAndHomeButtonSendNothingAndPopToTheHomePage) {
    for (const char* title : {"不报案", "返回首页"}) {
        for (int flag : {1, 0}) {
            auto middle = std::make_shared<NamedTestScreen>("CarListViewController");
            navigation->pushViewController(middle, false);
            openReport(flag);
            tapAndSettle(title);
            EXPECT_EQ(stackNames(), std::vector<std::string>{"HomeViewController"}) << title;
            EXPECT_EQ(rootNavigation(), navigation);
        }
    }
    settleRequests();
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(ReportTest, PracticeOpensTheResultScreenWithoutARequestAndTelephoneDoesNothing) {
    for (int flag : {0}) {
        openReport(flag);
        tapAndSettle("电话报案");
        EXPECT_EQ(topName(), "ReportViewController");
        EXPECT_EQ(toast(), "");
        tapAndSettle("手机APP报案");
        auto result = top<ReportResultViewController>();
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->simualateState, CaseMode::Practice);
        navigation->popToRootViewController(false);
        finishTransitions();
    }
    pollTicks(2);
    EXPECT_TRUE(server.requests().empty());
    EXPECT_TRUE(openedURLs().empty());
}

TEST_F(ReportTest, NoInsurerRecordBehavesAsAnEmptyOne) {
    for (const nlohmann::json& arguments :
         {nlohmann::json{{"simualateState", 1}}, nlohmann::json{{"simualateState", 1}, {"compary", nullptr}}}) {
        auto report = open<ReportViewController>("ReportViewController", arguments);
        ASSERT_NE(report->compary, nullptr);
        tapAndSettle("手机APP报案");
        settleRequests();
        auto result = top<ReportResultViewController>();
        ASSERT_NE(result, nullptr) << arguments.dump() << " count " << server.count("claimcaseinfo") << " toast " << toast() << " top " << topName();
        EXPECT_TRUE(driver.isOnScreen(ReportResultViewController::kNoPhoneText)) << driver.describeScreen();
        navigation->popToRootViewController(false);
        finishTransitions();
    }
    for (const auto& filed : server.requests("claimcaseinfo")) {
        EXPECT_FALSE(filed.body.contains("companycode"));
        EXPECT_EQ(filed.param("reportype"), "0");
    }
    EXPECT_EQ(server.count("claimcaseinfo"), 2u);
}

TEST_F(ReportTest, OpeningByNameReadsTheArgumentsStrictly) {
    auto screen = std::dynamic_pointer_cast<ReportViewController>(
        ScreenRegistry::make("ReportViewController", {{"compary", insurer()}, {"simualateState", 1},
                                                      {"isBackBtn", true}, {"reporTime", "2026-11-02 08:15:00"}}));
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->simualateState, CaseMode::Real);
    EXPECT_TRUE(screen->isBackBtn);
    EXPECT_EQ(screen->reporTime, "2026-11-02 08:15:00");
    EXPECT_EQ(screen->compary->keyValues(), insurer());

    // The practice flag as a text, a flag as a word, a time as a number, the flag under another
    // screen's spelling, arguments that are not a dictionary: no screen, and an error each,
    // never a practice case that looks real.
    expectErrors();
    EXPECT_EQ(ScreenRegistry::make("ReportViewController", {{"simualateState", "1"}}), nullptr);
    EXPECT_EQ(ScreenRegistry::make("ReportViewController", {{"simualateState", 1}, {"isBackBtn", "yes"}}), nullptr);
    EXPECT_EQ(ScreenRegistry::make("ReportViewController", {{"simualateState", 1}, {"reporTime", 17}}), nullptr);
    EXPECT_EQ(ScreenRegistry::make("ReportViewController", {{"simulateNormal", 1}}), nullptr);
    EXPECT_EQ(ScreenRegistry::make("ReportViewController", {{"simualateState", 1}, {"simulateNormal", 1}}), nullptr);
    EXPECT_EQ(ScreenRegistry::make("ReportViewController", nlohmann::json::array({1, 2})), nullptr);
    EXPECT_EQ(ScreenRegistry::make("NoSuchViewController"), nullptr);
    EXPECT_EQ(loggedErrors().size(), 7u);
}

}  // namespace
