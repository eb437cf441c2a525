#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "hud/TwoButtonAlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "support/PlatformTest.h"

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
    EXPECT_EQ(alert->titleLabel()->text(), "温馨提示");
    EXPECT_EQ(alert->contentLabel()->text(), "确定放弃本次事故处理吗?");
    ASSERT_NE(alert->leftButton(), nullptr);
    EXPECT_EQ(alert->leftButton()->currentTitle(), "取消");
    EXPECT_EQ(alert->rightButton()->currentTitle(), "确定");

    // The screen behind takes no taps while the alert is up.
    EXPECT_EQ(window->tap({5, 5}), alert->backgroundView());

    tapOn(alert->rightButton());
    EXPECT_EQ(calls, (std::vector<std::string>{"dismiss", "right"}));
    EXPECT_FALSE(alert->isShown());
    EXPECT_EQ(alert->backgroundView()->superview(), nullptr);

    calls.clear();
    alert->show();
    tapOn(alert->leftButton());
    EXPECT_EQ(calls, (std::vector<std::string>{"dismiss", "left"}));
}

TEST_F(TwoButtonAlertViewTest, WithoutALeftTitleThereIsOnlyTheRightButton) {
    auto alert = std::make_shared<TwoButtonAlertView>("提示", "照片上传失败", std::nullopt, "知道了");
    bool right = false;
    alert->setRightBlock([&] { right = true; });
    alert->show();
    EXPECT_EQ(alert->leftButton(), nullptr);
    EXPECT_NEAR(alert->rightButton()->frame().midX(), alert->bounds().midX(), 0.5);
    tapOn(alert->rightButton());
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
    EXPECT_EQ(tapOn(alert->rightButton()), alert->rightButton());
    EXPECT_TRUE(right);
}

TEST_F(TwoButtonAlertViewTest, ShowWithoutARootScreenDoesNothing) {
    ui::resetForTests();
    auto alert = std::make_shared<TwoButtonAlertView>("提示", "", "取消", "确定");
    alert->show();
    EXPECT_FALSE(alert->isShown());
}

}  // namespace
