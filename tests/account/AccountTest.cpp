#include <gtest/gtest.h>

#include <cairo.h>

#include "account/AddressManager.h"
#include "account/HomeViewController.h"
#include "account/LoginViewController.h"
#include "account/NewFeatureController.h"
#include "account/QuickInfoViewController.h"
#include "account/UnderwritInfoViewController.h"
#include "core/AppConfig.h"
#include "core/KeyValue.h"
#include "app/AppDelegate.h"
#include "core/CustomNavigationController.h"
#include "core/RequestManager.h"
#include "core/ScreenRegistry.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "imaging/ImageCache.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"
#include "platform/location/LocationManager.h"
#include "platform/testing/Driver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/Window.h"
#include "support/AccountTestAPI.h"
#include "support/NamedTestScreen.h"
#include "support/PlatformTest.h"
#include "tools/server/StandInServer.h"

using nlohmann::json;

namespace {

class AccountTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        ProgressHUD::resetForTesting();
        ScreenRegistry::reset();
        NewFeatureController::resetPages();
        UserDateSingleton::shareUserDateInstance().reset();
        ImageCache::resetSharedImageCache();
        location::setLocationSimulation({});
        ASSERT_TRUE(server.start());
        AppConfig::setHost("127.0.0.1");
        AppConfig::setPort(server.port());
        ScreenRegistry::registerFactory("NewFeatureController",
                                        [](ScreenArguments&) { return std::make_shared<NewFeatureController>(); });
        ScreenRegistry::registerFactory("QuickInfoViewController", [](ScreenArguments& arguments) {
            return std::make_shared<QuickInfoViewController>(arguments.text("url"));
        });
        ScreenRegistry::registerFactory("UnderwritInfoViewController", [](ScreenArguments& arguments) {
            auto screen = std::make_shared<UnderwritInfoViewController>();
            screen->jqx = arguments.optionalText("jqx");
            screen->syx = arguments.optionalText("syx");
            return screen;
        });
    }
    void TearDown() override {
        settleRequests();
        ui::Application::shared().setDelegate(nullptr);
        ProgressHUD::resetForTesting();
        ui::resetForTests();
        window.reset();
        ScreenRegistry::reset();
        NewFeatureController::resetPages();
        UserDateSingleton::shareUserDateInstance().reset();
        ImageCache::resetSharedImageCache();
        AppConfig::reset();
        PlatformTest::TearDown();
        server.stop();
    }

    // Shows a screen as the root of a new navigation controller in the key window.
    // What the home and login entries open: screens of other libraries, as stand-ins that count.
    void pushOther(const std::string& name, json arguments) {
        ++made[name];
        if (auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(window->rootViewController()))
            navigation->pushViewController(std::make_shared<NamedTestScreen>(name, std::move(arguments)), true);
    }
    void wire(const std::shared_ptr<ui::ViewController>& screen) {
        if (auto home = std::dynamic_pointer_cast<HomeViewController>(screen)) {
            home->onAccident = [this] { pushOther("DangrousTipViewController", {{"simulateState", 1}}); };
            home->onHistory = [this] { pushOther("HistoryViewController", nullptr); };
            home->onAreas = [this] { pushOther("AreaImageViewController", nullptr); };
            home->onRequestLocation = [] {
                if (auto delegate = std::dynamic_pointer_cast<AppDelegate>(ui::Application::shared().delegate()))
                    delegate->refreshLocation();
            };
        }
        if (auto login = std::dynamic_pointer_cast<LoginViewController>(screen))
            login->onAreas = [this] { pushOther("AreaImageViewController", nullptr); };
    }
    std::shared_ptr<ui::NavigationController> showRoot(const std::shared_ptr<ui::ViewController>& screen) {
        wire(screen);
        auto navigation = std::make_shared<CustomNavigationController>(screen);
        window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        driver.settle();
        return navigation;
    }

    // Waits until every request has been answered and its completion has run.
    void settleRequests() {
        auto client = RequestManager::shareRequestManager().client();
        EXPECT_TRUE(runUntil([&] { return client->activeTransfers() == 0; }));
        drain();
    }
    void waitForHomeRequests(size_t n) {
        ASSERT_TRUE(server.waitForRequests("insurerlist", n));
        ASSERT_TRUE(server.waitForRequests("getdictionary", n));
        settleRequests();
    }

    std::filesystem::path documents(const char* name) const { return foundation::Sandbox::current().documents() / name; }

    standin::StandInServer server;
    std::shared_ptr<ui::Window> window;
    driver::Driver driver;
    std::map<std::string, int> made;
};

// --- Home page entries ----------------------------------------------------------------------

TEST_F(AccountTest, AccidentEntryWithoutPositionWarnsAndPushesNothingUntilAFixArrives) {
    auto home = std::make_shared<HomeViewController>();
    auto navigation = showRoot(home);
    ui::Application::shared().setDelegate(std::make_shared<AppDelegate>());

    ASSERT_TRUE(driver.tap(HomeViewController::kAccidentTitle));
    EXPECT_TRUE(driver.isAlertShowing());
    EXPECT_TRUE(driver.isOnScreen(HomeViewController::kNoLocationText));
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_EQ(made["DangrousTipViewController"], 0);

    // "确定" asks for a new position, which the location service delivers.
    ASSERT_TRUE(driver.answerAlert(HomeViewController::kConfirmTitle));
    EXPECT_FALSE(driver.isAlertShowing());
    advance(location::locationSimulation().fixDelay + 0.1);
    ASSERT_TRUE(UserDateSingleton::shareUserDateInstance().longitude().has_value());

    ASSERT_TRUE(driver.tap(HomeViewController::kAccidentTitle));
    EXPECT_FALSE(driver.isAlertShowing());
    ASSERT_EQ(made["DangrousTipViewController"], 1);
    EXPECT_EQ(driver.topScreenName(), "DangrousTipViewController");
    auto tips = std::dynamic_pointer_cast<NamedTestScreen>(navigation->topViewController());
    ASSERT_TRUE(tips);
    EXPECT_EQ(tips->arguments, json({{"simulateState", 1}}));
}

TEST_F(AccountTest, AccidentEntryNeedsBothCoordinates) {
    auto& state = UserDateSingleton::shareUserDateInstance();
    state.setLongitude("116.397500");
    state.setLatitude("");
    auto navigation = showRoot(std::make_shared<HomeViewController>());
    ASSERT_TRUE(driver.tap(HomeViewController::kAccidentTitle));
    EXPECT_TRUE(driver.isOnScreen(HomeViewController::kNoLocationText));
    // Without an application delegate "确定" has nobody to ask; nothing breaks.
    ASSERT_TRUE(driver.answerAlert(HomeViewController::kConfirmTitle));
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_EQ(made["DangrousTipViewController"], 0);
}

TEST_F(AccountTest, TheLoginPageSaysSigningInIsNotOfferedAndKeepsItsAreaEntry) {
    showRoot(std::make_shared<LoginViewController>());
    auto note = driver.findByText(LoginViewController::kNoSignInText).view();
    ASSERT_TRUE(note) << "a page with no way to sign in says so";
    auto area = driver.findByTitle(LoginViewController::kAreaTitle).view();
    ASSERT_TRUE(area);
    // The note lies below the area entry, inside the screen's width, and is not cut short.
    auto noteFrame = note->convertRectToView(note->bounds(), nullptr);
    auto areaFrame = area->convertRectToView(area->bounds(), nullptr);
    EXPECT_GE(noteFrame.y(), areaFrame.maxY());
    EXPECT_LE(noteFrame.maxX(), ui::Screen::mainScreen().bounds().width());
    auto label = std::dynamic_pointer_cast<ui::Label>(note);
    ASSERT_TRUE(label);
    EXPECT_LE(label->sizeThatFits({noteFrame.width(), 0}).height, noteFrame.height());
}

TEST_F(AccountTest, HistoryAndAreaEntriesOpenTheirScreensWhenTheyExist) {
    auto navigation = showRoot(std::make_shared<HomeViewController>());
    ASSERT_TRUE(driver.tap(HomeViewController::kHistoryTitle));
    EXPECT_EQ(driver.topScreenName(), "HistoryViewController");
    navigation->popToRootViewController(false);
    ASSERT_TRUE(driver.tap(HomeViewController::kAreaTitle));
    EXPECT_EQ(driver.topScreenName(), "AreaImageViewController");
    navigation->popToRootViewController(false);

    // An entry that nothing wires opens nothing, and says so loudly.
    expectErrors();
    std::dynamic_pointer_cast<HomeViewController>(navigation->viewControllers().front())->onHistory = nullptr;
    ASSERT_TRUE(driver.tap(HomeViewController::kHistoryTitle));
    EXPECT_EQ(driver.topScreenName(), "HomeViewController");
    EXPECT_EQ(loggedErrors().size(), 1u);

    auto loginNavigation = showRoot(std::make_shared<LoginViewController>());
    ASSERT_TRUE(driver.tap(LoginViewController::kAreaTitle));
    EXPECT_EQ(driver.topScreenName(), "AreaImageViewController");
    EXPECT_EQ(loginNavigation->viewControllers().size(), 2u);
}

// --- The two lists the home page keeps ------------------------------------------------------------

TEST_F(AccountTest, HomePageWritesBothFilesFromSuccessfulReplies) {
    UserDateSingleton::shareUserDateInstance().setCity("北京市");
    json insurers = json::array({
        {{"inscomname", "中国人民财产保险股份有限公司"}, {"inscomcode", "PICC"}, {"insphone", "95518"}, {"insreporttel", "95518"}},
        {{"inscomname", "中国平安财产保险股份有限公司"}, {"inscomcode", "PAIC"}, {"insphone", 95511}, {"insreporttel", "95511"}},
    });
    server.script("insurerlist", standin::Reply::rescode("200", "成功", {{"list", insurers}}));
    showRoot(std::make_shared<HomeViewController>());
    waitForHomeRequests(1);

    EXPECT_EQ(server.lastRequest("insurerlist")->param("areaid"), "北京市");
    EXPECT_EQ(server.lastRequest("getdictionary")->param("type"), "accidentdes");

    auto written = foundation::plist::read(documents("insurance.plist"));
    ASSERT_TRUE(written);
    ASSERT_EQ(written->size(), 2u);
    EXPECT_EQ((*written)[0], insurers[0]);
    EXPECT_EQ((*written)[1]["insphone"], "95511");

    auto situations = foundation::plist::read(documents("situation.plist"));
    ASSERT_TRUE(situations);
    ASSERT_EQ(situations->size(), 7u);
    EXPECT_EQ((*situations)[0], json({{"name", "追尾"}, {"code", "1"}}));
    EXPECT_EQ(situations->back()["code"], "0");
}

TEST_F(AccountTest, HomePageKeepsTheOldFilesWhenTheRepliesFailOrAreUnusable) {
    json oldInsurers = json::array({{{"inscomname", "旧保险公司"}, {"inscomcode", "OLD"}}});
    json oldSituations = json::array({{{"name", "旧情形"}, {"code", "0"}}});
    ASSERT_TRUE(foundation::plist::write(documents("insurance.plist"), oldInsurers));
    ASSERT_TRUE(foundation::plist::write(documents("situation.plist"), oldSituations));
    auto unchanged = [&] {
        EXPECT_EQ(foundation::plist::read(documents("insurance.plist")), oldInsurers);
        EXPECT_EQ(foundation::plist::read(documents("situation.plist")), oldSituations);
    };

    // No city yet: the insurer list is asked for without an area.
    server.script("insurerlist", standin::Reply::rescode("500", "服务器忙"));
    server.script("getdictionary", standin::Reply::raw("server fault", 500));
    auto navigation = showRoot(std::make_shared<HomeViewController>());
    waitForHomeRequests(1);
    EXPECT_FALSE(server.lastRequest("insurerlist")->param("areaid").has_value());
    unchanged();

    // "200" replies whose lists cannot be used.
    const std::vector<std::pair<json, json>> unusable{
        {json("no list"), json::array({{{"name", "追尾"}}})},
        {json::array({1, 2}), json::array({{{"code", "1"}}})},
    };
    size_t round = 1;
    for (const auto& [insurers, situations] : unusable) {
        server.script("insurerlist", standin::Reply::rescode("200", "成功", {{"list", insurers}}));
        server.script("getdictionary", standin::Reply::rescode("200", "成功", {{"list", situations}}));
        navigation->pushViewController(std::make_shared<HomeViewController>(), false);
        driver.settle();
        waitForHomeRequests(++round);
        unchanged();
    }

    server.script("insurerlist", standin::Reply::dropped());
    server.script("getdictionary", standin::Reply::raw("{\"rescode\":\"200\",\"list\":[{\"name\""));
    navigation->pushViewController(std::make_shared<HomeViewController>(), false);
    driver.settle();
    waitForHomeRequests(++round);
    unchanged();
}

TEST_F(AccountTest, HomePageWritesEmptyListsSoNoListOfAnEarlierAreaStays) {
    ASSERT_TRUE(foundation::plist::write(documents("insurance.plist"),
                                         json::array({{{"inscomname", "上一个地区的保险公司"}, {"inscomcode", "OLD"}}})));
    ASSERT_TRUE(foundation::plist::write(documents("situation.plist"), json::array({{{"name", "旧情形"}, {"code", "0"}}})));
    server.script("insurerlist", standin::Reply::rescode("200", "成功", {{"list", json::array()}}));
    server.script("getdictionary", standin::Reply::rescode("200", "成功", {{"list", json::array()}}));
    showRoot(std::make_shared<HomeViewController>());
    waitForHomeRequests(1);
    EXPECT_EQ(foundation::plist::read(documents("insurance.plist")), json::array());
    EXPECT_EQ(foundation::plist::read(documents("situation.plist")), json::array());
}

TEST_F(AccountTest, HomePageKeepsEveryDigitOfLargeNumbersInTheStoredList) {
    server.script("insurerlist",
                  standin::Reply::raw(R"({"rescode":"200","resdes":"成功","list":[{"inscomname":"大号保险",)"
                                      R"("inscomcode":12345678901234567890,"insphone":-42,)"
                                      R"("insreporttel":123456789012345678901234567890,"extra":18446744073709551615}]})"));
    showRoot(std::make_shared<HomeViewController>());
    waitForHomeRequests(1);
    auto written = foundation::plist::read(documents("insurance.plist"));
    ASSERT_TRUE(written);
    ASSERT_EQ(written->size(), 1u);
    EXPECT_EQ((*written)[0]["inscomcode"], "12345678901234567890");
    EXPECT_EQ((*written)[0]["insphone"], "-42");
    EXPECT_EQ((*written)[0]["insreporttel"], "123456789012345678901234567890");
    // A field the file does not name keeps its digits too.
    EXPECT_EQ(keyvalue::stringFromJson((*written)[0]["extra"]), "18446744073709551615");
}

TEST_F(AccountTest, StandInServerListsAreThoseOfThePracticeWalk) {
    showRoot(std::make_shared<HomeViewController>());
    waitForHomeRequests(1);
    for (const char* name : {"insurance.plist", "situation.plist"}) {
        auto written = foundation::plist::read(documents(name));
        ASSERT_TRUE(written) << name;
        EXPECT_EQ(written, foundation::plist::read(foundation::bundlePath(name))) << name;
    }
}

// --- Tables and pages ------------------------------------------------------------------------

TEST_F(AccountTest, PlatePrefixTablesComeFromTheBundle) {
    const auto& abbreviations = AddressManager::firstLevelArray();
    ASSERT_EQ(abbreviations.size(), 31u);
    EXPECT_EQ(abbreviations.front(), "京");
    EXPECT_EQ(abbreviations[1], "津");
    EXPECT_EQ(abbreviations.back(), "新");
    const auto& letters = AddressManager::secondLevelMap();
    EXPECT_EQ(letters.size(), 31u);
    const auto& beijing = letters.at("京");
    ASSERT_EQ(beijing.size(), 26u);
    EXPECT_EQ(beijing.front(), "A");
    EXPECT_EQ(beijing.back(), "Z");
}

TEST_F(AccountTest, GuidePagerFramesItsPagesOneScreenApart) {
    std::vector<std::string> made;
    for (const auto& name : {"AccidentTreatmentView", "QuikeHandleView"}) {
        NewFeatureController::registerPage(name, [&made, name = std::string(name)] {
            made.push_back(name);
            return std::make_shared<ui::View>();
        });
    }
    auto pager = std::dynamic_pointer_cast<NewFeatureController>(ScreenRegistry::make("NewFeatureController"));
    ASSERT_TRUE(pager);
    showRoot(pager);
    ui::Rect screen = ui::Screen::mainScreen().bounds();
    EXPECT_EQ(made, (std::vector<std::string>{"AccidentTreatmentView", "QuikeHandleView"}));
    const auto& pages = NewFeatureTestAPI::pages(*pager);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0]->frame(), ui::Rect(0, 0, screen.width(), screen.height()));
    EXPECT_EQ(pages[1], nullptr);
    EXPECT_EQ(pages[2]->frame(), ui::Rect(2 * screen.width(), 0, screen.width(), screen.height()));
    auto scrollView = NewFeatureTestAPI::scrollView(*pager);
    EXPECT_TRUE(scrollView->isPagingEnabled());
    EXPECT_EQ(scrollView->contentSize(), ui::Size(3 * screen.width(), screen.height()));
    ASSERT_TRUE(driver.page(2));
    EXPECT_EQ(scrollView->currentPage(), 2);
}

TEST_F(AccountTest, PolicyInformationNamesBothInsurers) {
    auto policy = std::dynamic_pointer_cast<UnderwritInfoViewController>(
        ScreenRegistry::make("UnderwritInfoViewController", {{"jqx", "中国人民财产保险股份有限公司"}}));
    ASSERT_TRUE(policy);
    showRoot(policy);
    auto table = policy->tableView();
    ASSERT_EQ(table->numberOfRowsInSection(0), 2);
    auto first = table->cellForRowAtIndexPath(ui::IndexPath::forRow(0, 0));
    auto second = table->cellForRowAtIndexPath(ui::IndexPath::forRow(1, 0));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->textLabel()->text(), UnderwritInfoViewController::kCompulsoryTitle);
    EXPECT_EQ(first->detailTextLabel()->text(), "中国人民财产保险股份有限公司");
    EXPECT_EQ(second->textLabel()->text(), UnderwritInfoViewController::kCommercialTitle);
    EXPECT_EQ(second->detailTextLabel()->text(), "");
}

TEST_F(AccountTest, QuickInfoShowsTheImageOfItsURL) {
    auto paper = graphics::Image::draw({80, 120}, 1, true, [](cairo_t* cr) {
        cairo_set_source_rgb(cr, 0, 0.5, 0);
        cairo_paint(cr);
    });
    server.script("paper.png", standin::Reply::raw(paper->pngData()));
    auto home = std::make_shared<HomeViewController>();
    auto navigation = showRoot(home);
    auto info = std::dynamic_pointer_cast<QuickInfoViewController>(
        ScreenRegistry::make("QuickInfoViewController", {{"url", server.baseURL() + "paper.png"}}));
    ASSERT_TRUE(info);
    navigation->pushViewController(info, false);
    driver.settle();
    EXPECT_TRUE(driver.isOnScreen(QuickInfoViewController::kTitle));
    auto imageView = QuickInfoTestAPI::imageView(*info);
    ASSERT_TRUE(runUntil([&] { return imageView->image() && imageView->image()->pixelWidth() == 80; }));
    EXPECT_EQ(server.count("paper.png"), 1u);
    ASSERT_TRUE(driver.goBack());
    driver.settle();
    EXPECT_EQ(navigation->topViewController(), home);
}

}  // namespace
