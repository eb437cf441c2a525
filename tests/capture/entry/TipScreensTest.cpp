#include <gtest/gtest.h>

#include "EntryTestSupport.h"
#include "capture/entry/AccidentTreatmentTipsController.h"
#include "capture/entry/CallPoliceTipsViewController.h"
#include "capture/entry/DangrousTipViewController.h"
#include "core/AccountTool.h"

namespace {

using Names = std::vector<std::string>;

class TipScreensTest : public EntryTest {};

TEST_F(TipScreensTest, TipsLeadToTheAccidentKindAndBackStepsOneScreenAtATime) {
    auto dangerous = open<DangrousTipViewController>("DangrousTipViewController", {{"simulateState", 1}});
    ASSERT_NE(dangerous, nullptr);
    EXPECT_EQ(dangerous->title(), "温馨提示");
    EXPECT_EQ(dangerous->tips()->text(), DangrousTipViewController::kTipsText);
    EXPECT_EQ(navigation->navigationBar()->backgroundImage()->name(), "title");

    tapAndSettle("我知道了");
    auto police = top<CallPoliceTipsViewController>();
    ASSERT_NE(police, nullptr);
    EXPECT_EQ(police->simulateNormal, CaseMode::Real);
    EXPECT_TRUE(driver.isOnScreen("事故现场是否有以下情况？"));
    EXPECT_TRUE(driver.isOnScreen("3.任意一方驾驶人有饮酒嫌疑。"));
    // Its own back item, not the system's; the list lies below the header, the buttons below it.
    EXPECT_TRUE(police->navigationItem()->hidesBackButton());
    EXPECT_GT(police->mainTips()->frame().y(), police->headerTips()->frame().maxY());
    EXPECT_DOUBLE_EQ(police->confirm()->frame().y(), police->mainTips()->frame().maxY() + 25);
    EXPECT_DOUBLE_EQ(police->callPolice()->frame().y(), police->confirm()->frame().maxY() + 25);

    tapAndSettle("无以上情况");
    auto steps = top<AccidentTreatmentTipsController>();
    ASSERT_NE(steps, nullptr);
    EXPECT_EQ(steps->stepView()->step2()->text(), "  2、责任认定");
    EXPECT_DOUBLE_EQ(steps->stepView()->step3()->frame().y(), steps->stepView()->bounds().height() * 2 / 3);

    tapAndSettle("我知道了");
    auto kind = top<SingleDoubleAccidentViewController>();
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(kind->simulateNormal, CaseMode::Real);
    EXPECT_EQ(kind->title(), "拍照存证");
    EXPECT_EQ(stackNames(), (Names{"HomeViewController", "DangrousTipViewController", "CallPoliceTipsViewController",
                                   "AccidentTreatmentTipsController", "SingleDoubleAccidentViewController"}));

    for (const char* expected : {"AccidentTreatmentTipsController", "CallPoliceTipsViewController",
                                 "DangrousTipViewController", "HomeViewController"}) {
        auto outcome = driver.goBack();
        ASSERT_TRUE(outcome) << outcome;
        finishTransitions();
        EXPECT_EQ(driver.topScreenName(), expected);
    }
    EXPECT_EQ(server.requests().size(), 0u);
}

TEST_F(TipScreensTest, EveryEntryScreenWearsTheApplicationsLook) {
    auto expectLook = [&](ui::ViewController& screen, std::optional<ui::Color> background) {
        SCOPED_TRACE(screen.className());
        // Every button of the tips is titled in the system font.
        driver::ViewQuery buttons;
        buttons.within = screen.view();
        size_t titled = 0;
        for (const auto& button : driver.findAll<ui::Button>(buttons)) {
            if (button->currentTitle().empty()) continue;
            ++titled;
            EXPECT_EQ(button->titleLabel()->font(), ui::Font::systemFont(15)) << button->currentTitle();
        }
        EXPECT_GT(titled, 0u);
        EXPECT_EQ(screen.view()->backgroundColor(), background);
        auto back = screen.navigationItem()->leftBarButtonItem();
        ASSERT_NE(back, nullptr);
        ASSERT_NE(back->image(), nullptr);
        EXPECT_EQ(back->image()->name(), "返回");
        auto bar = navigation->navigationBar();
        EXPECT_EQ(bar->titleTextAttributes().font, ui::Font::boldSystemFont(17));
        EXPECT_EQ(bar->titleTextAttributes().color, ui::Color::white());
    };
    const auto grey = ui::Color::rgbBytes(248, 248, 248);
    auto dangerous = open<DangrousTipViewController>("DangrousTipViewController", {{"simulateState", 0}});
    ASSERT_NE(dangerous, nullptr);
    expectLook(*dangerous, grey);
    tapAndSettle("我知道了");
    expectLook(*top(), ui::Color::white());
    tapAndSettle("无以上情况");
    expectLook(*top(), grey);
    tapAndSettle("我知道了");
    auto kind = top<SingleDoubleAccidentViewController>();
    ASSERT_NE(kind, nullptr);
    expectLook(*kind, grey);
    EXPECT_EQ(kind->mainView()->backgroundColor(), grey);
}

TEST_F(TipScreensTest, PracticeIsHandedOnAndAFlagOfAnotherValueOpensNothing) {
    open<DangrousTipViewController>("DangrousTipViewController", {{"simulateState", 0}});
    tapAndSettle("我知道了");
    EXPECT_EQ(top<CallPoliceTipsViewController>()->simulateNormal, CaseMode::Practice);
    tapAndSettle("无以上情况");
    tapAndSettle("我知道了");
    EXPECT_EQ(top<SingleDoubleAccidentViewController>()->simulateNormal, CaseMode::Practice);

    // The flag as a text or any number but 0 and 1 is refused loudly, never read as practice.
    expectErrors();
    EXPECT_EQ(ScreenRegistry::make("DangrousTipViewController", {{"simulateState", "1"}}), nullptr);
    EXPECT_EQ(ScreenRegistry::make("DangrousTipViewController", {{"simulateState", 7}}), nullptr);
    EXPECT_EQ(ScreenRegistry::make("DangrousTipViewController", nullptr), nullptr);
    EXPECT_EQ(loggedErrors().size(), 3u);
}

TEST_F(TipScreensTest, ATipButtonThatNothingWiresStaysOnItsScreenAndSaysSo) {
    expectErrors();
    auto dangerous = open<DangrousTipViewController>("DangrousTipViewController", {{"simulateState", 1}});
    dangerous->onIknow = nullptr;
    tapAndSettle("我知道了");
    EXPECT_EQ(driver.topScreenName(), "DangrousTipViewController");

    auto police = open<CallPoliceTipsViewController>("CallPoliceTipsViewController", {{"simulateNormal", 1}});
    police->onConfirm = nullptr;
    tapAndSettle("无以上情况");
    EXPECT_EQ(driver.topScreenName(), "CallPoliceTipsViewController");

    auto steps = open<AccidentTreatmentTipsController>("AccidentTreatmentTipsController", {{"simulateNormal", 1}});
    steps->onIknow = nullptr;
    tapAndSettle("我知道了");
    EXPECT_EQ(driver.topScreenName(), "AccidentTreatmentTipsController");
    EXPECT_EQ(loggedErrors().size(), 3u);
}

TEST_F(TipScreensTest, CallingThePoliceInARealCaseDialsAndLeavesTheTipsUnderANewHomePage) {
    open<DangrousTipViewController>("DangrousTipViewController", {{"simulateState", 1}});
    tapAndSettle("我知道了");
    tapAndSettle("有，拨打122");
    EXPECT_EQ(ui::Application::shared().openedURLs(), (Names{"telprompt://122"}));
    EXPECT_EQ(stackNames(), (Names{"HomeViewController", "DangrousTipViewController", "CallPoliceTipsViewController",
                                   "HomeViewController"}));
    EXPECT_NE(navigation->topViewController(), home);
    // The home page comes from the registry (a stand-in here); the tips and the dial send nothing.
    settleRequests();
    EXPECT_TRUE(server.requests().empty()) << server.requests().front().pathWord;
}

TEST_F(TipScreensTest, OnlyOneIsARealCaseOnThePoliceQuestion) {
    // Any other value is practice: nothing is dialled; the home page follows with a saved
    // account, the login page without one.
    AccountModel account;
    account.userid = standin::kDemoUserId;
    account.sn = standin::signatureFor(standin::kDemoUserId);
    ASSERT_TRUE(AccountTool::saveAccount(account));
    for (int flag : {0}) {
        auto police = open<CallPoliceTipsViewController>("CallPoliceTipsViewController", {{"simulateNormal", flag}});
        tapAndSettle("有，拨打122");
        EXPECT_EQ(driver.topScreenName(), "HomeViewController") << flag;
        navigation->popToRootViewController(false);
        drain();
    }
    EXPECT_TRUE(ui::Application::shared().openedURLs().empty());

    ASSERT_TRUE(AccountTool::removeAccount());
    open<CallPoliceTipsViewController>("CallPoliceTipsViewController", {{"simulateNormal", 0}});
    tapAndSettle("有，拨打122");
    EXPECT_EQ(driver.topScreenName(), "LoginViewController");
    EXPECT_TRUE(ui::Application::shared().openedURLs().empty());
}

TEST_F(TipScreensTest, RegistryArgumentsThatAreNotTheFlagOpenNothingAndFailLoudly) {
    expectErrors();
    for (const nlohmann::json& arguments : {nlohmann::json{{"simulateState", 1.0}}, nlohmann::json{{"simulateState", 1e20}},
                                            nlohmann::json{{"simulateState", 99999999999LL}},
                                            nlohmann::json{{"simulateState", true}},
                                            nlohmann::json{{"simulateNormal", 1}}}) {
        EXPECT_EQ(ScreenRegistry::make("DangrousTipViewController", arguments), nullptr) << arguments.dump();
    }
    EXPECT_EQ(loggedErrors().size(), 5u);
}

}  // namespace
