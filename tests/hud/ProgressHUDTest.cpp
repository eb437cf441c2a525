#include <thread>

#include <gtest/gtest.h>

#include "hud/ProgressHUD.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "platform/foundation/Dispatch.h"
#include "support/MainThreadDeath.h"
#include "support/PlatformTest.h"
#include "support/ProgressHUDTestAPI.h"

namespace {

// A window with a screen holding one button that counts its taps.
class ProgressHUDTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        ProgressHUD::resetForTesting();
        window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        screen = std::make_shared<ui::ViewController>();
        window->setRootViewController(screen);
        window->makeKeyAndVisible();
        button = std::make_shared<ui::Button>(ui::ButtonType::Custom, ui::Rect(100, 200, 120, 44));
        button->setTitle("确定");
        button->addTarget([this] { ++taps; }, ui::ControlEvent::TouchUpInside);
        screen->view()->addSubview(button);
    }
    void TearDown() override {
        ProgressHUD::resetForTesting();
        ui::resetForTests();
        PlatformTest::TearDown();
    }
    ui::Point buttonCentre() const { return {160, 222}; }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::ViewController> screen;
    std::shared_ptr<ui::Button> button;
    int taps = 0;
};

TEST_F(ProgressHUDTest, SpinnerBlocksTapsUntilHidden) {
    window->tap(buttonCentre());
    ASSERT_EQ(taps, 1);

    auto hud = ProgressHUD::showMessage("加载中...");
    ASSERT_TRUE(hud->isVisible());
    EXPECT_EQ(ProgressHUD::current(), hud);
    EXPECT_EQ(ProgressHUD::currentSpinner(), hud);
    EXPECT_EQ(hud->text(), "加载中...");
    EXPECT_FALSE(hud->isError());
    EXPECT_EQ(ProgressHUDTestAPI::view(*hud)->window(), window);
    EXPECT_EQ(ProgressHUDTestAPI::view(*hud)->frame(), window->bounds());

    EXPECT_EQ(window->tap(buttonCentre()), ProgressHUDTestAPI::view(*hud));
    EXPECT_EQ(taps, 1);

    ProgressHUD::hideHUD();
    EXPECT_FALSE(hud->isVisible());
    EXPECT_EQ(ProgressHUD::current(), nullptr);
    window->tap(buttonCentre());
    EXPECT_EQ(taps, 2);
    // The faded HUD leaves the window.
    advance(ProgressHUD::kFadeDuration);
    EXPECT_EQ(ProgressHUDTestAPI::view(*hud)->superview(), nullptr);
    ProgressHUD::hideHUD();  // nothing left to hide
}

TEST_F(ProgressHUDTest, HideFindsTheSpinnerUnderALaterWindow) {
    auto spinner = ProgressHUD::showMessage("正在加载...");
    auto alertWindow = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
    alertWindow->setWindowLevel(ui::WindowLevelAlert);
    alertWindow->setRootViewController(std::make_shared<ui::ViewController>());
    alertWindow->makeKeyAndVisible();
    ASSERT_EQ(ui::Application::shared().windows().back(), alertWindow);

    ProgressHUD::hideHUD();
    EXPECT_FALSE(spinner->isVisible());
    EXPECT_EQ(window->tap(buttonCentre()), button);
    EXPECT_EQ(taps, 1);

    // A later spinner goes over the last window.
    auto second = ProgressHUD::showMessage("加载中...");
    EXPECT_EQ(ProgressHUDTestAPI::view(*second)->window(), alertWindow);
}

TEST_F(ProgressHUDTest, ANewSpinnerReplacesTheOldOne) {
    auto first = ProgressHUD::showMessage("一");
    auto second = ProgressHUD::showMessage("二");
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(ProgressHUDTestAPI::view(*first)->superview(), nullptr);
    EXPECT_TRUE(second->isVisible());
    ProgressHUD::hideHUD();
    window->tap(buttonCentre());
    EXPECT_EQ(taps, 1);
}

TEST_F(ProgressHUDTest, ErrorToastShowsForOneSecondWithoutBlocking) {
    auto toast = ProgressHUD::showError("网络连接失败,请打开后再试");
    ASSERT_TRUE(toast->isVisible());
    EXPECT_TRUE(toast->isError());
    EXPECT_EQ(ProgressHUD::current(), toast);
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    EXPECT_EQ(ProgressHUDTestAPI::view(*toast)->describeContent(), "网络连接失败,请打开后再试");
    // The icon is the image view of the toast's box.
    bool hasIcon = false;
    for (const auto& box : ProgressHUDTestAPI::view(*toast)->subviews())
        for (const auto& v : box->subviews())
            if (auto icon = std::dynamic_pointer_cast<ui::ImageView>(v)) hasIcon = !icon->image() || icon->image()->name().find("error") != std::string::npos;
    EXPECT_TRUE(hasIcon);

    window->tap(buttonCentre());
    EXPECT_EQ(taps, 1);

    advance(0.99);
    EXPECT_TRUE(toast->isVisible());
    advance(0.01);
    EXPECT_FALSE(toast->isVisible());
    EXPECT_EQ(ProgressHUD::current(), nullptr);
    advance(ProgressHUD::kFadeDuration);
    EXPECT_EQ(ProgressHUDTestAPI::view(*toast)->superview(), nullptr);
}

TEST_F(ProgressHUDTest, SuccessToastBehavesLikeTheErrorToast) {
    auto toast = ProgressHUD::showSuccess("提交成功");
    EXPECT_TRUE(toast->isToast());
    EXPECT_FALSE(toast->isError());
    window->tap(buttonCentre());
    EXPECT_EQ(taps, 1);
    advance(ProgressHUD::kErrorDuration);
    EXPECT_FALSE(toast->isVisible());
}

TEST_F(ProgressHUDTest, ToastAndSpinnerAreIndependent) {
    auto spinner = ProgressHUD::showMessage("加载中...");
    ProgressHUD::hideHUD();
    auto toast = ProgressHUD::showError("错误");
    ProgressHUD::hideHUD();  // hides no toast
    EXPECT_TRUE(toast->isVisible());
    auto again = ProgressHUD::showMessage("加载中...");
    advance(1.0);             // the toast goes, the spinner stays
    EXPECT_FALSE(toast->isVisible());
    EXPECT_TRUE(again->isVisible());
    EXPECT_EQ(ProgressHUD::current(), again);
}

struct CountingDelegate : ProgressHUDDelegate {
    int hidden = 0;
    void hudWasHidden(ProgressHUD&) override { ++hidden; }
};

TEST_F(ProgressHUDTest, SpinnerOverOneViewHidesAtOnceWithoutAnimation) {
    auto delegate = std::make_shared<CountingDelegate>();
    auto hud = ProgressHUD::showHUDAddedTo(screen->view(), "正在提交...");
    hud->setDelegate(delegate);
    EXPECT_EQ(ProgressHUDTestAPI::view(*hud)->superview(), screen->view());
    window->tap(buttonCentre());
    EXPECT_EQ(taps, 0);
    hud->hide(false);
    EXPECT_EQ(ProgressHUDTestAPI::view(*hud)->superview(), nullptr);
    EXPECT_EQ(delegate->hidden, 1);
    hud->hide(false);
    EXPECT_EQ(delegate->hidden, 1);
}

TEST_F(ProgressHUDTest, NothingToShowOverWithoutAWindow) {
    ui::resetForTests();
    auto spinner = ProgressHUD::showMessage("加载中...");
    auto toast = ProgressHUD::showError("错误");
    EXPECT_FALSE(spinner->isVisible());
    EXPECT_FALSE(toast->isVisible());
    ProgressHUD::hideHUD();
    EXPECT_EQ(ProgressHUD::current(), nullptr);
    auto none = ProgressHUD::showHUDAddedTo(nullptr, "x");
    EXPECT_FALSE(none->isVisible());
}

TEST_F(ProgressHUDTest, TheSpinnerShownOrHiddenFromAWorkerAborts) {
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(ProgressHUD::showMessage("加载中..."), "the spinner");
    auto hud = ProgressHUD::showMessage("加载中...");
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(ProgressHUD::hideHUD(), "the spinner");
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(hud->hide(false), "a HUD");
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(ProgressHUD::showError("错误"), "a toast");
}

TEST_F(ProgressHUDTest, AWorkerPostsTheSpinnerToTheMainQueue) {
    std::thread([] { foundation::dispatch::mainQueue()->async([] { ProgressHUD::showMessage("加载中..."); }); }).join();
    ASSERT_TRUE(runUntil([] { return ProgressHUD::currentSpinner() != nullptr; }));
    std::thread([] { foundation::dispatch::mainQueue()->async([] { ProgressHUD::hideHUD(); }); }).join();
    ASSERT_TRUE(runUntil([] { return ProgressHUD::currentSpinner() == nullptr; }));
}

}  // namespace
