#include <gtest/gtest.h>

#include "account/HomeViewController.h"
#include "account/LoginViewController.h"
#include "app/ApplicationScreens.h"
#include "app/HomeRoad.h"
#include "capture/areas/AreaImageCell.h"
#include "capture/areas/AreaImageViewController.h"
#include "core/ApplicationRoutes.h"
#include "core/UserDateSingleton.h"
#include "imaging/PhotoBrowser.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "support/AppTest.h"

namespace {

class AreaImageTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        signInDemoUser();
        ASSERT_NO_FATAL_FAILURE(startServer());
        registerApplicationScreens();
    }
    void TearDown() override {
        settleRequests();
        ApplicationRoutes::reset();
        AppTest::TearDown();
    }
    std::shared_ptr<AreaImageViewController> openFrom(std::shared_ptr<ui::ViewController> page) {
        home = page;
        showInWindow(page);
        settleRequests();
        EXPECT_TRUE(driver.tap("服务网点"));
        finishTransitions();
        return top<AreaImageViewController>();
    }
    std::shared_ptr<PhotoBrowser> browser() const {
        auto found = driver.find<PhotoBrowser>(driver::ViewQuery::byClass("PhotoBrowser"));
        return found ? found.view() : nullptr;
    }
};

TEST_F(AreaImageTest, TheHomePagesEntryShowsBothAreasInOrderWhateverTheCase) {
    auto areas = openFrom(app::makeHomePage());
    ASSERT_NE(areas, nullptr);
    EXPECT_EQ(areas->title(), "区域说明");
    auto table = areas->tableView();
    ASSERT_EQ(table->numberOfRowsInSection(0), 2);
    double width = ui::Screen::mainScreen().bounds().width();
    const char* titles[] = {"中关村大队区域", "沙河大队区域"};
    for (int row = 0; row < 2; ++row) {
        auto cell = std::dynamic_pointer_cast<AreaImageCell>(table->cellForRowAtIndexPath(ui::IndexPath::forRow(row, 0)));
        ASSERT_NE(cell, nullptr) << row;
        EXPECT_EQ(cell->areaLabel()->text(), titles[row]);
        EXPECT_EQ(cell->areaLabel()->frame(), ui::Rect(0, 0, width, 30));
        EXPECT_EQ(cell->areaImageView()->frame(), ui::Rect(0, 30, width, 200));
        ASSERT_NE(cell->areaImageView()->image(), nullptr) << titles[row];
        EXPECT_EQ(cell->areaImageView()->image()->size(), ui::Size(320, 200));
        EXPECT_DOUBLE_EQ(table->rectForRowAtIndexPath(ui::IndexPath::forRow(row, 0)).height(), 230);
        EXPECT_TRUE(driver.isOnScreen(titles[row]));
    }
    // A case under way changes nothing.
    UserDateSingleton::shareUserDateInstance().setAccidentno(std::string("BJ202612070001"));
    auto again = std::make_shared<AreaImageViewController>();
    navigation->pushViewController(again, false);
    finishTransitions();
    ASSERT_EQ(again->dataSource().size(), 2u);
    EXPECT_EQ(*again->entry<nlohmann::json>(0), AreaImageViewController::areas()[0]);
    EXPECT_EQ(*again->entry<nlohmann::json>(1), AreaImageViewController::areas()[1]);
    ASSERT_TRUE(driver.goBack());
    finishTransitions();
    ASSERT_TRUE(driver.goBack());
    finishTransitions();
    EXPECT_EQ(top(), home);
}

TEST_F(AreaImageTest, AMapEnlargesWithoutASaveButtonAndClosesOnATap) {
    auto areas = openFrom(app::makeLoginPage());
    ASSERT_NE(areas, nullptr);
    auto cell = std::dynamic_pointer_cast<AreaImageCell>(
        areas->tableView()->cellForRowAtIndexPath(ui::IndexPath::forRow(1, 0)));
    ASSERT_NE(cell, nullptr);
    ASSERT_TRUE(driver.tap(std::static_pointer_cast<ui::View>(cell->areaImageView())));
    settle();
    auto shown = browser();
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(shown->photos.size(), 1u);
    EXPECT_EQ(shown->photos[0]->image, cell->areaImageView()->image());
    EXPECT_EQ(shown->photos[0]->srcImageView.lock(), cell->areaImageView());
    EXPECT_FALSE(shown->showSaveBtn);
    EXPECT_FALSE(driver.isOnScreen("保存"));
    EXPECT_FALSE(driver.tap("保存"));
    ASSERT_TRUE(driver.tap(std::static_pointer_cast<ui::View>(shown->imageViewAtIndex(0))));
    settle();
    advance(1);
    EXPECT_EQ(browser(), nullptr);
    EXPECT_EQ(top<AreaImageViewController>(), areas);
}

}  // namespace
