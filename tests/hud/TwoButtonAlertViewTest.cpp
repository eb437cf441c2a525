#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "hud/TwoButtonAlertView.h"
#include "platform/testing/Driver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "support/PlatformTest.h"
#include "support/TextContrast.h"
#include "support/TwoButtonAlertViewTestAPI.h"

namespace {

class TwoButtonAlertViewTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        screen = std::make_shared<ui::ViewController>();
        window->setRootViewController(screen);
        window->makeKeyAndVisible();
    }
    void TearDown() override {
        ui::resetForTests();
        PlatformTest::TearDown();
    }
    // Taps the middle of a view through the window, as a finger would.
    std::shared_ptr<ui::View> tapOn(const std::shared_ptr<ui::View>& view) {
        ui::Point p = view->convertPointToView(view->bounds().center(), nullptr);
        return window->tap(p);
    }

    driver::Driver driver;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::ViewController> screen;
    std::vector<std::string> calls;
};

TEST_F(TwoButtonAlertViewTest, ButtonsRemoveTheAlertThenCallDismissAndTheirBlock) {
    auto alert = std::make_shared<TwoButtonAlertView>("温馨提示", "确定放弃本次事故处理吗?", "取消", "确定");
    alert->setLeftBlock([this] { calls.push_back("left"); });
    alert->setRightBlock([this] { calls.push_back("right"); });
    alert->setDismissBlock([this] { calls.push_back("dismiss"); });
    alert->show();
    ASSERT_EQ(alert->superview(), screen->view());
    EXPECT_DOUBLE_EQ(alert->center().x, screen->view()->bounds().midX());
    EXPECT_EQ(TwoButtonAlertViewTestAPI::titleLabel(*alert)->text(), "温馨提示");
    EXPECT_EQ(TwoButtonAlertViewTestAPI::contentLabel(*alert)->text(), "确定放弃本次事故处理吗?");
    auto left = driver.findByTitle("取消");
    ASSERT_TRUE(left) << left.error();
    EXPECT_EQ(left.view(), TwoButtonAlertViewTestAPI::leftButton(*alert));
    auto right = driver.findByTitle("确定");
    ASSERT_TRUE(right) << right.error();
    EXPECT_EQ(right.view(), TwoButtonAlertViewTestAPI::rightButton(*alert));

    // The screen behind takes no taps while the alert is up.
    auto background = TwoButtonAlertViewTestAPI::backgroundView(*alert);
    EXPECT_EQ(window->tap({5, 5}), background);

    ASSERT_TRUE(driver.tap("确定"));
    EXPECT_EQ(calls, (std::vector<std::string>{"dismiss", "right"}));
    EXPECT_FALSE(alert->isShown());
    EXPECT_EQ(background->superview(), nullptr);

    calls.clear();
    alert->show();
    ASSERT_TRUE(driver.tap("取消"));
    EXPECT_EQ(calls, (std::vector<std::string>{"dismiss", "left"}));
}

TEST_F(TwoButtonAlertViewTest, EveryTextReadsOnWhatIsBehindIt) {
    auto alert = std::make_shared<TwoButtonAlertView>("提示", "确定放弃本次事故处理吗？", "取消", "确定");
    alert->show();
    for (const auto& label :
         {TwoButtonAlertViewTestAPI::titleLabel(*alert), TwoButtonAlertViewTestAPI::contentLabel(*alert)})
        EXPECT_GE(textcontrast::ofLabel(driver, *label), textcontrast::needed(label->font())) << label->text();
    for (const auto& button :
         {TwoButtonAlertViewTestAPI::leftButton(*alert), TwoButtonAlertViewTestAPI::rightButton(*alert)})
        EXPECT_GE(textcontrast::ofButton(driver, *button), textcontrast::needed(button->titleLabel()->font()))
            << button->titleLabel()->text();
}

TEST_F(TwoButtonAlertViewTest, WithoutALeftTitleThereIsOnlyTheRightButton) {
    auto alert = std::make_shared<TwoButtonAlertView>("提示", "照片上传失败", std::nullopt, "知道了");
    bool right = false;
    alert->setRightBlock([&] { right = true; });
    alert->show();
    EXPECT_EQ(TwoButtonAlertViewTestAPI::leftButton(*alert), nullptr);
    EXPECT_NEAR(TwoButtonAlertViewTestAPI::rightButton(*alert)->frame().midX(), alert->bounds().midX(), 0.5);
    ASSERT_TRUE(driver.tap("知道了"));
    EXPECT_TRUE(right);  // no dismiss block set: still fine
}

TEST_F(TwoButtonAlertViewTest, TurnedAfterShowItStillAnswersTaps) {
    auto alert = std::make_shared<TwoButtonAlertView>("提示", "请横屏拍摄", "取消", "确定");
    bool right = false;
    alert->setRightBlock([&] { right = true; });
    alert->show();
    ui::Size before = alert->frame().size;
    alert->setTransform(ui::AffineTransform::rotation(M_PI / 2));
    EXPECT_NEAR(alert->frame().width(), before.height, 0.5);
    EXPECT_NEAR(alert->frame().height(), before.width, 0.5);
    auto button = TwoButtonAlertViewTestAPI::rightButton(*alert);
    EXPECT_EQ(tapOn(button), button);
    EXPECT_TRUE(right);
}

TEST_F(TwoButtonAlertViewTest, ShowWithoutARootScreenDoesNothing) {
    ui::resetForTests();
    auto alert = std::make_shared<TwoButtonAlertView>("提示", "", "取消", "确定");
    alert->show();
    EXPECT_FALSE(alert->isShown());
}

}  // namespace
