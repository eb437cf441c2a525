#include <gtest/gtest.h>

#include "capture/viewers/AccidentPhotoCell.h"
#include "capture/viewers/AccidentPhotoViewController.h"
#include "capture/viewers/AccidentViewController.h"
#include "core/TelephoneNumber.h"
#include "hud/ProgressHUD.h"
#include "imaging/ImageViewRemoteImage.h"
#include "imaging/PhotoBrowser.h"
#include "platform/ui/Application.h"
#include "support/AppTest.h"
#include "support/ViewersTestAPI.h"
#include "support/NamedTestScreen.h"

namespace {

using nlohmann::json;

class ViewersTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(startServer());
        home = std::make_shared<NamedTestScreen>("HomeViewController");
        showInWindow(home);
    }
    template <class T>
    std::shared_ptr<T> show(std::shared_ptr<T> screen) {
        navigation->pushViewController(screen, true);
        finishTransitions();
        settle();
        return screen;
    }
    static CaseCar car(const char* plate, const char* name, std::optional<std::string> phone) {
        CaseCar c;
        c.casecarno = plate;
        c.carownname = name;
        c.carownphone = std::move(phone);
        return c;
    }
    static AccidentPhoto photo(std::optional<std::string> type, std::optional<std::string> url) {
        AccidentPhoto p;
        p.imagetype = std::move(type);
        p.imageurl = std::move(url);
        p.imagedate = "2016-12-07 09:12:00";
        p.imageaddress = "北京市朝阳区";
        return p;
    }
};

TEST_F(ViewersTest, OneSectionPerVehicleFromRecordsOrDictionaries) {
    AccidentViewController::Arguments arguments;
    arguments.curArray.emplace_back(car("京A12345", "张伟", "13800138000"));
    arguments.curArray.emplace_back(json{{"casecarno", "京B67890"}, {"carownname", "李娜"}, {"carownphone", 13900139000}});
    auto screen = show(std::make_shared<AccidentViewController>(std::move(arguments)));
    EXPECT_EQ(screen->title(), "事故车辆");
    ASSERT_EQ(screen->tableView()->numberOfSections(), 2);
    EXPECT_EQ(screen->tableView()->numberOfRowsInSection(0), 3);
    EXPECT_EQ(screen->tableView()->numberOfRowsInSection(1), 3);
    EXPECT_EQ(screen->noDataView(), nullptr);
    for (const char* text : {"车牌号:  京A12345", "驾驶人姓名:  张伟", "联系方式:  13800138000", "车牌号:  京B67890",
                             "驾驶人姓名:  李娜", "联系方式:  13900139000"})
        EXPECT_TRUE(driver.isOnScreen(text)) << text;

    auto& app = ui::Application::shared();
    size_t opened = app.openedURLs().size();
    ASSERT_TRUE(driver.tap("车牌号:  京A12345"));
    ASSERT_TRUE(driver.tap("驾驶人姓名:  张伟"));
    EXPECT_EQ(app.openedURLs().size(), opened);
    ASSERT_TRUE(driver.tap("联系方式:  13900139000"));
    ASSERT_EQ(app.openedURLs().size(), opened + 1);
    EXPECT_EQ(app.openedURLs().back(), "telprompt:13900139000");
}

TEST_F(ViewersTest, MissingFieldsShowTheLabelAloneAndDialNothing) {
    AccidentViewController::Arguments arguments;
    arguments.curArray.emplace_back(CaseCar{});
    arguments.curArray.emplace_back(json("junk"));
    auto screen = show(std::make_shared<AccidentViewController>(std::move(arguments)));
    ASSERT_EQ(screen->tableView()->numberOfSections(), 2);
    EXPECT_TRUE(driver.isOnScreen("车牌号:  "));
    for (const auto& text : driver.visibleTexts()) EXPECT_EQ(text.find("null"), std::string::npos) << text;
    size_t opened = ui::Application::shared().openedURLs().size();
    ASSERT_TRUE(screen->tableView()->tapRowAtIndexPath(ui::IndexPath::forRow(2, 0)));
    ASSERT_TRUE(screen->tableView()->tapRowAtIndexPath(ui::IndexPath::forRow(2, 1)));
    EXPECT_EQ(ui::Application::shared().openedURLs().size(), opened);
    EXPECT_EQ(ProgressHUD::current(), nullptr);  // nothing to read, nothing said
}

TEST_F(ViewersTest, ANumberThatDialsNothingIsShownToTheDriver) {
    AccidentViewController::Arguments arguments;
    arguments.curArray.emplace_back(car("京A12345", "张伟", "010-8888 转 1"));
    show(std::make_shared<AccidentViewController>(std::move(arguments)));
    size_t opened = ui::Application::shared().openedURLs().size();
    ASSERT_TRUE(driver.tap("联系方式:  010-8888 转 1"));
    EXPECT_EQ(ui::Application::shared().openedURLs().size(), opened);
    ASSERT_NE(ProgressHUD::current(), nullptr);
    EXPECT_EQ(ProgressHUD::current()->text(), TelephoneNumber::unreachableMessage("010-8888 转 1"));
}

TEST_F(ViewersTest, NoVehiclesShowTheEmptyListView) {
    auto screen = show(std::make_shared<AccidentViewController>(AccidentViewController::Arguments{}));
    EXPECT_EQ(screen->tableView()->numberOfSections(), 0);
    EXPECT_NE(screen->noDataView(), nullptr);
    EXPECT_TRUE(driver.isOnScreen("您还没有任何记录!"));
}

TEST(DialURL, SpacesBracketsAndDashesAreDroppedAndWhatRemainsMustBeDigits) {
    for (auto [written, url] : {std::pair{"13800138000", "telprompt:13800138000"},
                                {"138 0013 8000", "telprompt:13800138000"},
                                {"(010)8888", "telprompt:0108888"},
                                {"010 122", "telprompt:010122"},
                                {"+86 138-0013-8000", "telprompt:+8613800138000"}})
        EXPECT_EQ(AccidentViewController::dialURL(std::string(written)), url) << written;
    for (const char* bad : {"", "+-", "12", "010-8888+1", "1380;rm", "12345678901234567890123456789012345", "10086?x=1",
                            "１３８"})
        EXPECT_FALSE(AccidentViewController::dialURL(std::string(bad))) << bad;
    EXPECT_FALSE(AccidentViewController::dialURL(std::nullopt));
}

TEST_F(ViewersTest, PhotoRowsCaptionTimePlaceAndLoadThroughTheCache) {
    auto base = server.baseURL() + "casephoto?name=";
    AccidentPhotoViewController::Arguments arguments;
    arguments.photos = {photo("3", base + "front"), photo("16", base + "missing"), photo("abc", std::nullopt),
                        photo(std::nullopt, base + "damage")};
    auto screen = show(std::make_shared<AccidentPhotoViewController>(std::move(arguments)));
    EXPECT_EQ(screen->title(), "事故影像");
    EXPECT_EQ(screen->tableView()->separatorStyle(), ui::TableViewCellSeparatorStyle::None);
    ASSERT_EQ(screen->tableView()->numberOfRowsInSection(0), 4);
    EXPECT_EQ(screen->tableView()->rectForRowAtIndexPath(ui::IndexPath::forRow(0, 0)).height(), 164);

    std::vector<std::shared_ptr<AccidentPhotoCell>> cells;
    for (int row = 0; row < 4; ++row) {
        screen->tableView()->scrollToRowAtIndexPath(ui::IndexPath::forRow(row, 0), ui::TableViewScrollPosition::Top, false);
        screen->tableView()->layoutIfNeeded();
        cells.push_back(std::dynamic_pointer_cast<AccidentPhotoCell>(
            screen->tableView()->cellForRowAtIndexPath(ui::IndexPath::forRow(row, 0))));
        ASSERT_NE(cells.back(), nullptr);
        // Keep the row's image view alive while the others load.
        auto image = AccidentPhotoCellTestAPI::photoImageView(*cells.back());
        ASSERT_TRUE(waitFor([&] { return !ImageViewRemoteImage::isLoading(image); })) << row;
        if (row == 0 || row == 3) {
            ASSERT_NE(image->image(), nullptr);
            EXPECT_NE(image->image()->name(), "default_Bkg") << row;
            EXPECT_EQ(image->image()->size(), ui::Size(480, 360)) << row;
        } else {
            ASSERT_NE(image->image(), nullptr);
            EXPECT_EQ(image->image()->name(), "default_Bkg") << row;
        }
    }
    EXPECT_EQ(AccidentPhotoCellTestAPI::accidentPhoto(*cells[0])->imagetype, "3");
    EXPECT_EQ(server.count("casephoto"), 3u);

    screen->tableView()->scrollToRowAtIndexPath(ui::IndexPath::forRow(0, 0), ui::TableViewScrollPosition::Top, false);
    screen->tableView()->layoutIfNeeded();
    EXPECT_TRUE(driver.isOnScreen("碰撞部位"));
    EXPECT_TRUE(driver.isOnScreen("2016-12-07 09:12:00"));
    EXPECT_TRUE(driver.isOnScreen("北京市朝阳区"));
    EXPECT_TRUE(driver.isOnScreen("其他"));
}

TEST_F(ViewersTest, CaptionsOfUnknownCodesAreOther) {
    for (const char* code : {"16", "0", "-1", "abc", "99999999999999999999"}) {
        AccidentPhotoCell cell;
        cell.setAccidentPhoto(photo(std::string(code), std::nullopt));
        bool found = false;
        for (const auto& view : cell.contentView()->subviews())
            for (const auto& sub : view->subviews())
                if (auto label = std::dynamic_pointer_cast<ui::Label>(sub)) found |= label->text() == "其他";
        EXPECT_TRUE(found) << code;
    }
    AccidentPhotoCell cell;
    cell.setAccidentPhoto(photo("15", std::nullopt));
    cell.setAccidentPhoto(std::nullopt);
    EXPECT_EQ(AccidentPhotoCellTestAPI::accidentPhoto(cell)->imagetype, "15");
}

TEST_F(ViewersTest, ATappedPhotoOpensEnlargedInTheBrowser) {
    AccidentPhotoViewController::Arguments arguments;
    arguments.photos = {photo("1", server.baseURL() + "casephoto?name=front")};
    auto screen = show(std::make_shared<AccidentPhotoViewController>(std::move(arguments)));
    auto cell = std::dynamic_pointer_cast<AccidentPhotoCell>(screen->tableView()->cellForRowAtIndexPath(ui::IndexPath::forRow(0, 0)));
    ASSERT_NE(cell, nullptr);
    auto image = AccidentPhotoCellTestAPI::photoImageView(*cell);
    ASSERT_TRUE(waitFor([&] { return !ImageViewRemoteImage::isLoading(image); }));
    ASSERT_TRUE(driver.tap(image));
    settle();
    auto browser = driver.find<PhotoBrowser>({});
    ASSERT_TRUE(browser);
    EXPECT_TRUE(browser.view()->isShown());
    ASSERT_EQ(browser.view()->photos.size(), 1u);
    EXPECT_EQ(browser.view()->photos[0]->url, server.baseURL() + "casephoto?name=front");
    EXPECT_EQ(browser.view()->photos[0]->srcImageView.lock(), image);
    browser.view()->hide();
    settle();
}

}  // namespace
