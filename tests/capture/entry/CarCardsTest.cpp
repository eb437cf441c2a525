#include <gtest/gtest.h>

#include "capture/entry/DoubleCarView.h"
#include "capture/entry/SingleCarView.h"
#include "platform/testing/Driver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "support/PlatformTest.h"

namespace {

struct SingleListener : SingleCarViewDelegate {
    explicit SingleListener(bool responds) : responds(responds) {}
    void singleCarBtnDidClick() override { ++taps; }
    bool respondsToSingleCarBtnDidClick() const override { return responds; }
    bool responds;
    int taps = 0;
};

struct DoubleListener : DoubleCarViewDelegate {
    explicit DoubleListener(bool responds) : responds(responds) {}
    void doubleCarBtnDidClick() override { ++taps; }
    bool respondsToDoubleCarBtnDidClick() const override { return responds; }
    bool responds;
    int taps = 0;
};

// The two cards on a plain screen in a key window, as the accident-kind screen lays them.
class CarCardsTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        screen = std::make_shared<ui::ViewController>();
        window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        window->setRootViewController(screen);
        window->makeKeyAndVisible();
        doubleCar = std::make_shared<DoubleCarView>();
        doubleCar->setFrame({0, 7, 320, 219});
        screen->view()->addSubview(doubleCar);
        singleCar = std::make_shared<SingleCarView>();
        singleCar->setFrame({0, 233, 320, 219});
        screen->view()->addSubview(singleCar);
        driver.settle();
    }
    void TearDown() override {
        window.reset();
        screen.reset();
        singleCar.reset();
        doubleCar.reset();
        ui::resetForTests();
        PlatformTest::TearDown();
    }

    driver::Driver driver;
    std::shared_ptr<ui::ViewController> screen;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<SingleCarView> singleCar;
    std::shared_ptr<DoubleCarView> doubleCar;
};

TEST_F(CarCardsTest, EachCardTellsOnlyItsOwnDelegateAndOnlyWhenItAnswers) {
    auto single = std::make_shared<SingleListener>(true);
    auto twoCars = std::make_shared<DoubleListener>(true);
    singleCar->delegate = single;
    doubleCar->delegate = twoCars;

    ASSERT_TRUE(driver.tap("单车事故"));
    EXPECT_EQ(single->taps, 1);
    EXPECT_EQ(twoCars->taps, 0);
    ASSERT_TRUE(driver.tap("两车及以上事故"));
    EXPECT_EQ(single->taps, 1);
    EXPECT_EQ(twoCars->taps, 1);

    // A delegate that does not implement the operation is not called.
    auto silentSingle = std::make_shared<SingleListener>(false);
    auto silentDouble = std::make_shared<DoubleListener>(false);
    singleCar->delegate = silentSingle;
    doubleCar->delegate = silentDouble;
    ASSERT_TRUE(driver.tap("单车事故"));
    ASSERT_TRUE(driver.tap("两车及以上事故"));
    EXPECT_EQ(silentSingle->taps, 0);
    EXPECT_EQ(silentDouble->taps, 0);

    // The delegate is held weakly: once it is gone a tap reaches nobody.
    singleCar->delegate = single;
    single.reset();
    EXPECT_TRUE(driver.tap("单车事故"));
}

TEST_F(CarCardsTest, CardsKeepTheirNamesPicturesAndSizes) {
    EXPECT_TRUE(driver.findByClass("SingleCarView"));
    EXPECT_TRUE(driver.findByClass("DoubleCarView"));
    EXPECT_EQ(singleCar->singleCar()->image()->name(), "单车");
    EXPECT_EQ(doubleCar->doubleCar()->image()->name(), "多车");
    EXPECT_EQ(singleCar->singleCar()->frame().size, ui::Size(186.5, 101.5));
    EXPECT_EQ(doubleCar->doubleCar()->frame().size, ui::Size(269, 76));
    EXPECT_EQ(singleCar->singleCarBtn()->frame(), ui::Rect(45, 40 + 101.5 + 30, 230, 44));
    EXPECT_EQ(doubleCar->doubleCarBtn()->frame(), ui::Rect(45, 40 + 76 + 30, 230, 44));
    EXPECT_EQ(doubleCar->doubleCarBtn()->currentBackgroundImage()->name(), "蓝色btn");
    EXPECT_EQ(singleCar->singleCarBtn()->titleLabel()->font(), ui::Font::systemFont(15));
    EXPECT_EQ(doubleCar->doubleCarBtn()->titleLabel()->font(), ui::Font::systemFont(15));
}

}  // namespace
