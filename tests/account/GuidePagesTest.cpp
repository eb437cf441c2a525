#include <gtest/gtest.h>

#include "account/GuidePages.h"
#include "account/LoginViewController.h"
#include "account/NewFeatureController.h"
#include "app/ApplicationScreens.h"
#include "core/AccountTool.h"
#include "core/ApplicationRoutes.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "support/AccountTestAPI.h"
#include "support/AppTest.h"
#include "support/GuidePagesTestAPI.h"

namespace {

class GuidePagesTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        registerApplicationScreens();
    }
    void TearDown() override {
        ui::Screen::mainScreen().reset();
        ApplicationRoutes::reset();
        NewFeatureController::resetPages();
        AppTest::TearDown();
    }
    // A page laid out at the size of the screen.
    template <class Page>
    std::shared_ptr<Page> laidOut() {
        auto page = std::make_shared<Page>();
        page->setFrame(ui::Screen::mainScreen().bounds());
        page->layoutIfNeeded();
        return page;
    }
    std::shared_ptr<NewFeatureController> showPager() {
        auto pager = std::dynamic_pointer_cast<NewFeatureController>(ScreenRegistry::make("NewFeatureController"));
        EXPECT_NE(pager, nullptr);
        showInWindow(pager);
        return pager;
    }
};

TEST_F(GuidePagesTest, PageOnePlacesItsNineLayersInProportionOnEveryScreen) {
    struct Case {
        double width, height;
        ui::Rect blueCar;
    } cases[] = {{320, 568, {38.5, 359, 185, 101}}, {375, 667, {38.5 * 375 / 320, 359.0 * 667 / 568, 185, 101}}};
    for (const auto& c : cases) {
        ui::Screen::mainScreen().setSize({c.width, c.height});
        auto page = laidOut<AccidentTreatmentView>();
        auto layers = GuidePagesTestAPI::layers(*page);
        ASSERT_EQ(page->subviews().size(), 9u);
        for (size_t i = 0; i < layers.size(); ++i) {
            ASSERT_NE(layers[i], nullptr) << i;
            EXPECT_EQ(page->subviews()[i], layers[i]) << "layer " << i << " out of order";
            EXPECT_NE(layers[i]->image(), nullptr) << "layer " << i << " has no picture";
        }
        auto car = GuidePagesTestAPI::blueCar(*page)->frame();
        EXPECT_NEAR(car.x(), c.blueCar.x(), 1e-9) << c.width;
        EXPECT_NEAR(car.y(), c.blueCar.y(), 1e-9) << c.width;
        EXPECT_EQ(car.size, ui::Size(185, 101));
        EXPECT_NEAR(car.x(), c.width == 375 ? 45.1 : 38.5, 0.05);
        EXPECT_NEAR(car.y(), c.width == 375 ? 421.6 : 359, 0.05);
        EXPECT_EQ(layers[0]->frame(), ui::Rect(0, 0, c.width, c.height));
        EXPECT_EQ(layers[7]->frame(), ui::Rect(0, 0, c.width, c.height));
        EXPECT_EQ(layers[6]->frame(), ui::Rect(c.width - 94.5, 366.5 * c.height / 568, 94.5, 94.5));
        EXPECT_DOUBLE_EQ(layers[8]->frame().x() + 79, c.width / 2);
    }
}

TEST_F(GuidePagesTest, PageThreesButtonStaysCentredAndThePicturesFillTheirPages) {
    for (double width : {320.0, 375.0, 414.0}) {
        double height = width == 320 ? 568 : width == 375 ? 667 : 736;
        ui::Screen::mainScreen().setSize({width, height});
        auto page = laidOut<QuikeHandleView>();
        auto button = GuidePagesTestAPI::pushBtn(*page);
        ASSERT_NE(button, nullptr);
        EXPECT_DOUBLE_EQ(button->frame().x() + button->frame().width() / 2, width / 2);
        EXPECT_NEAR(button->frame().y(), 0.8512324 * height, 1e-9);
        EXPECT_EQ(button->frame().size, ui::Size(125, 33.5));
        EXPECT_NE(button->imageForState(ui::ControlStates::Normal), nullptr);
        EXPECT_EQ(GuidePagesTestAPI::backImage(*page)->frame(), ui::Rect(0, 0, width, height));
    }
    // The settlement picture follows its page's size.
    auto settlement = std::make_shared<SettlementView>();
    ASSERT_NE(GuidePagesTestAPI::image(*settlement)->image(), nullptr);
    settlement->setFrame({0, 0, 320, 568});
    settlement->layoutIfNeeded();
    EXPECT_EQ(GuidePagesTestAPI::image(*settlement)->frame(), ui::Rect(0, 0, 320, 568));
    settlement->setFrame({0, 0, 375, 667});
    settlement->layoutIfNeeded();
    EXPECT_EQ(GuidePagesTestAPI::image(*settlement)->frame(), ui::Rect(0, 0, 375, 667));
}

TEST_F(GuidePagesTest, ThePagerShowsTheThreeRealPagesAndTryItNowLandsOnTheLogin) {
    signInDemoUser();  // an account is stored: the login screen comes all the same
    auto pager = showPager();
    const auto& pages = NewFeatureTestAPI::pages(*pager);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0]->className(), "AccidentTreatmentView");
    EXPECT_EQ(pages[1]->className(), "SettlementView");
    EXPECT_EQ(pages[2]->className(), "QuikeHandleView");
    std::weak_ptr<NewFeatureController> weakPager = pager;
    pager.reset();
    ASSERT_TRUE(driver.page(2));
    ASSERT_TRUE(driver.tap(driver::ViewQuery::byImageName("立即体验")));
    finishTransitions();
    auto key = ui::Application::shared().keyWindow();
    ASSERT_NE(key, nullptr);
    auto root = std::dynamic_pointer_cast<ui::NavigationController>(key->rootViewController());
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->viewControllers().size(), 1u);
    EXPECT_EQ(root->topViewController()->className(), "LoginViewController");
    navigation.reset();
    settle();
    EXPECT_TRUE(weakPager.expired());
}

}  // namespace
