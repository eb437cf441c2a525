#include <gtest/gtest.h>

#include "VehicleTestSupport.h"
#include "capture/common/TickRowCell.h"
#include "capture/vehicle/CarListFooterView.h"
#include "capture/vehicle/CarListHeaderView.h"
#include "capture/vehicle/CarListViewController.h"

using nlohmann::json;

namespace {

json vehicle(const std::string& carno, const std::string& owner = "王建国") {
    return {{"carno", carno},      {"ownername", owner},    {"jqxcode", "PICC"},
            {"jqxname", "中国人民财产保险股份有限公司"}, {"drivinglicense", {{"url", "http://127.0.0.1/l.jpg"}}}};
}

class CarListTest : public VehicleTest {
protected:
    std::shared_ptr<CarListViewController> openList(int flag, bool carCount = false) {
        auto screen = makeCarList(flag, carCount);
        navigation->pushViewController(screen, true);
        finishTransitions();
        if (flag == 1) {
            EXPECT_TRUE(server.waitForRequests("getusercarlist", 1));
            settleRequests();
        }
        return screen;
    }
    std::shared_ptr<ui::TableView> table(const std::shared_ptr<CarListViewController>& screen) {
        return screen->tableView();
    }
    // The plates of the rows, in order.
    std::vector<std::string> plates(const std::shared_ptr<CarListViewController>& screen) {
        std::vector<std::string> out;
        auto t = table(screen);
        for (int row = 0; row < t->numberOfRowsInSection(0); ++row) {
            t->scrollToRowAtIndexPath({0, row}, ui::TableViewScrollPosition::None, false);
            auto cell = std::dynamic_pointer_cast<TickRowCell>(t->cellForRowAtIndexPath({0, row}));
            out.push_back(cell ? cell->rowLabel()->text() : "<no cell>");
        }
        return out;
    }
    // The rows on screen whose mark shows.
    std::vector<int> markedVisibleRows(const std::shared_ptr<CarListViewController>& screen) {
        std::vector<int> rows;
        auto t = table(screen);
        for (const auto& indexPath : t->indexPathsForVisibleRows()) {
            auto cell = std::dynamic_pointer_cast<TickRowCell>(t->cellForRowAtIndexPath(indexPath));
            if (cell && cell->iconView()->isSelected()) rows.push_back(indexPath.row);
        }
        return rows;
    }
    void confirm() {
        auto outcome = driver.tap(CarListFooterView::kConfirmTitle);
        ASSERT_TRUE(outcome) << outcome;
        finishTransitions();
    }
};

// --- Loading ----------------------------------------------------------------------------------

TEST_F(CarListTest, RealCaseAsksForTheAccountsVehiclesAndAddsTheOtherRow) {
    auto screen = openList(1);
    auto request = server.lastRequest("getusercarlist");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "GET");
    EXPECT_EQ(request->param("userid"), standin::kDemoUserId);
    EXPECT_EQ(request->param("sn"), standin::signatureFor(standin::kDemoUserId));
    EXPECT_EQ(request->param("appkey"), AppConfig::appKey());
    EXPECT_EQ(plates(screen), (std::vector<std::string>{"京A12345", "京N8K276", "其他"}));

    // The screen as the driver sees it.
    EXPECT_EQ(driver.topScreenName(), "CarListViewController");
    EXPECT_EQ(screen->title(), "车辆列表");
    EXPECT_TRUE(screen->navigationItem()->hidesBackButton());
    EXPECT_FALSE(navigation->isNavigationBarHidden());
    EXPECT_TRUE(driver.isOnScreen(CarListHeaderView::kTipText));
    EXPECT_TRUE(driver.isOnScreen("确认"));
    EXPECT_FALSE(ProgressHUD::current()) << "the vehicle list shows no spinner";
    // The second vehicle keeps its policy and licence photo.
    const auto& second = screen->carList()[1];
    EXPECT_EQ(second->syxcode, "PAIC");
    ASSERT_TRUE(second->drivinglicense);
    EXPECT_EQ(second->drivinglicense->url, "http://127.0.0.1/license/jingN8K276.jpg");
}

TEST_F(CarListTest, EmptyListShowsOnlyTheOtherRowWhichHandsOverAPlateOnlyRecord) {
    server.script("getusercarlist", standin::Reply::rescode("200", "成功", {{"list", json::array()}}));
    auto screen = openList(1, true);
    EXPECT_EQ(plates(screen), std::vector<std::string>{"其他"});

    ASSERT_TRUE(driver.selectRow(0, 0));
    confirm();
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_EQ(top(), forms[0]);
    EXPECT_EQ(forms[0]->arguments["simulateNormal"], 1);
    EXPECT_TRUE(forms[0]->flag("carCount"));
    ASSERT_TRUE(forms[0]->object<CarListModel>("carlist"));
    EXPECT_EQ(forms[0]->object<CarListModel>("carlist")->keyValues(), (json{{"carno", "其他"}}));
}

TEST_F(CarListTest, RepliesWithoutAUsableListShowNoRowsAndConfirmHandsOverNothing) {
    const std::vector<std::pair<std::string, standin::Reply>> replies = {
        {"no list", standin::Reply::rescode("200", "成功")},
        {"list not an array", standin::Reply::rescode("200", "成功", {{"list", {{"carno", "京A12345"}}}})},
        {"dropped connection", standin::Reply::dropped()},
        {"broken body", standin::Reply::raw("{\"rescode\":\"200\",\"list\":[")},
    };
    for (const auto& [name, reply] : replies) {
        SCOPED_TRACE(name);
        server.clearRequests();
        server.script("getusercarlist", reply);
        auto screen = openList(1);
        EXPECT_EQ(table(screen)->numberOfRowsInSection(0), 0);
        EXPECT_TRUE(screen->carList().empty());
        EXPECT_TRUE(driver.isOnScreen(CarListHeaderView::kTipText));
        size_t before = forms.size();
        confirm();
        ASSERT_EQ(forms.size(), before + 1);
        EXPECT_TRUE(forms.back()->handed("carlist"));
        EXPECT_EQ(forms.back()->object<CarListModel>("carlist"), nullptr);
        navigation->popToRootViewController(false);
        drain();
    }
}

TEST_F(CarListTest, MalformedEntriesAreSkippedOneByOne) {
    json list = json::array({"京A12345", vehicle("京C11111"), 7, nullptr, json::array({vehicle("京D1")}),
                             {{"ownername", "没有车牌"}}, {{"carno", json::object()}}, {{"carno", ""}},
                             vehicle("京AD12345", "李四")});
    server.script("getusercarlist", standin::Reply::rescode("200", "成功", {{"list", list}}));
    auto screen = openList(1);
    EXPECT_EQ(plates(screen), (std::vector<std::string>{"京C11111", "京AD12345", "其他"}));

    ASSERT_TRUE(driver.selectRow(0, 1));
    confirm();
    ASSERT_EQ(forms.size(), 1u);
    auto chosen = forms[0]->object<CarListModel>("carlist");
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->carno, "京AD12345");
    EXPECT_EQ(chosen->ownername, "李四");

    // Nothing but malformed entries: only "其他" is left to choose.
    server.script("getusercarlist", standin::Reply::rescode("200", "成功", {{"list", json::array({"京A12345", 7})}}));
    navigation->popToRootViewController(false);
    drain();
    EXPECT_EQ(plates(openList(1)), std::vector<std::string>{"其他"});
}

TEST_F(CarListTest, RescodeIsNotLookedAt) {
    server.script("getusercarlist", standin::Reply::rescode("500", "内部错误", {{"list", json::array({vehicle("京C11111")})}}));
    auto screen = openList(1);
    EXPECT_EQ(plates(screen), (std::vector<std::string>{"京C11111", "其他"}));
    EXPECT_FALSE(driver.isOnScreen("内部错误"));
}

// --- Marks ------------------------------------------------------------------------------------

TEST_F(CarListTest, TappingTheSecondAfterTheFirstLeavesOnlyTheSecondMarkedAndHandsItOver) {
    auto screen = openList(1);
    EXPECT_TRUE(markedVisibleRows(screen).empty());
    EXPECT_EQ(screen->selectedCarlist(), nullptr);

    ASSERT_TRUE(driver.selectRow(0, 0));
    EXPECT_EQ(markedVisibleRows(screen), std::vector<int>{0});
    ASSERT_TRUE(driver.selectRow(0, 1));
    EXPECT_EQ(markedVisibleRows(screen), std::vector<int>{1});
    EXPECT_EQ(screen->selectedCarlist(), screen->carList()[1]);

    confirm();
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_EQ(forms[0]->object<CarListModel>("carlist"), screen->carList()[1]);
    EXPECT_EQ(forms[0]->object<CarListModel>("carlist")->carno, "京N8K276");
    EXPECT_FALSE(forms[0]->flag("carCount"));
}

TEST_F(CarListTest, TappingTheMarkedRowClearsTheMarkButKeepsTheVehicle) {
    auto screen = openList(1);
    ASSERT_TRUE(driver.selectRow(0, 1));
    ASSERT_TRUE(driver.selectRow(0, 1));
    EXPECT_TRUE(markedVisibleRows(screen).empty());
    EXPECT_EQ(screen->markedRow(), std::nullopt);
    EXPECT_EQ(screen->selectedCarlist(), screen->carList()[1]);
    // A third tap marks it again.
    ASSERT_TRUE(driver.selectRow(0, 1));
    EXPECT_EQ(markedVisibleRows(screen), std::vector<int>{1});

    ASSERT_TRUE(driver.selectRow(0, 1));
    confirm();
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_EQ(forms[0]->object<CarListModel>("carlist"), screen->carList()[1]);
}

TEST_F(CarListTest, ConfirmWithoutATapHandsOverNothing) {
    openList(1);
    confirm();
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_TRUE(forms[0]->handed("carlist"));
    EXPECT_EQ(forms[0]->object<CarListModel>("carlist"), nullptr);
}

TEST_F(CarListTest, ALongListKeepsOneMarkThroughScrollingAndReusedRows) {
    json list = json::array();
    for (int i = 0; i < 40; ++i) list.push_back(vehicle("京A" + std::to_string(10000 + i)));
    server.script("getusercarlist", standin::Reply::rescode("200", "成功", {{"list", list}}));
    auto screen = openList(1);
    auto t = table(screen);
    ASSERT_EQ(t->numberOfRowsInSection(0), 41);

    ASSERT_TRUE(driver.selectRow(0, 0));
    ASSERT_TRUE(driver.selectRow(0, 38));  // scrolls down, reusing the rows that left
    EXPECT_GT(t->cellsReused(), 0u);
    EXPECT_EQ(markedVisibleRows(screen), std::vector<int>{38});

    // Back at the top, the first row's reused cell shows no mark.
    ASSERT_TRUE(driver.scroll(t, {0, 0}));
    EXPECT_TRUE(markedVisibleRows(screen).empty());
    ASSERT_TRUE(driver.selectRow(0, 2));
    EXPECT_EQ(markedVisibleRows(screen), std::vector<int>{2});
    ASSERT_TRUE(driver.selectRow(0, 40));
    EXPECT_EQ(markedVisibleRows(screen), std::vector<int>{40});
    ASSERT_TRUE(driver.scroll(t, {0, 0}));
    EXPECT_TRUE(markedVisibleRows(screen).empty());

    // "确认" sits under the last row.
    ASSERT_TRUE(driver.scroll(t, {0, 100000}));
    EXPECT_EQ(markedVisibleRows(screen), std::vector<int>{40});
    confirm();
    ASSERT_EQ(forms.size(), 1u);
    ASSERT_TRUE(forms[0]->object<CarListModel>("carlist"));
    EXPECT_EQ(forms[0]->object<CarListModel>("carlist")->carno, "其他");
}

// --- Practice ---------------------------------------------------------------------------------

TEST_F(CarListTest, PracticeListsTwoSampleVehiclesWithoutARequest) {
    auto screen = openList(0, true);
    settleRequests();
    EXPECT_EQ(server.count("getusercarlist"), 0u);
    auto shown = plates(screen);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "其他"), 0);
    for (const auto& record : screen->simulateCarList()) {
        // Every field of a sample vehicle is filled.
        EXPECT_EQ(record->keyValues().size(), CarListModel::propertyNames().size());
        EXPECT_EQ(record->carno->size(), std::string("京A88888").size());
    }

    ASSERT_TRUE(driver.selectRow(0, 0));
    confirm();
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_EQ(forms[0]->arguments["simulateNormal"], 0);
    EXPECT_TRUE(forms[0]->flag("carCount"));
    EXPECT_EQ(forms[0]->object<CarListModel>("carlist"), screen->simulateCarList()[0]);
}

// --- Views ------------------------------------------------------------------------------------

TEST_F(CarListTest, RowHeaderAndFooterLayout) {
    auto screen = openList(0);
    auto t = table(screen);
    auto cell = std::dynamic_pointer_cast<TickRowCell>(t->cellForRowAtIndexPath({0, 0}));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->reuseIdentifier(), "customCell");
    EXPECT_FALSE(cell->iconView()->isUserInteractionEnabled());
    cell->layoutSubviews();
    auto icon = cell->iconView()->frame();
    EXPECT_EQ(icon.x(), 12.5);
    EXPECT_EQ(icon.width(), 21.5);
    EXPECT_DOUBLE_EQ(icon.y() + icon.height() / 2, cell->bounds().height() / 2);
    auto label = cell->rowLabel()->frame();
    EXPECT_EQ(label.x(), 46.5);
    EXPECT_EQ(label.maxX(), cell->bounds().width());
    // The row's own selection draws nothing.
    cell->setSelected(true);
    EXPECT_FALSE(cell->isSelected());

    EXPECT_EQ(t->rectForHeaderInSection(0).height(), 45);
    EXPECT_EQ(t->rectForFooterInSection(0).height(), 64);
    auto header = std::dynamic_pointer_cast<CarListHeaderView>(t->headerViewForSection(0));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->tip()->frame(), ui::Rect(12.5, 12.5, 320 - 25, 20));
    auto footer = std::dynamic_pointer_cast<CarListFooterView>(t->footerViewForSection(0));
    ASSERT_TRUE(footer);
    EXPECT_EQ(footer->confirm()->frame(), ui::Rect(12.5, 12.5, 320 - 25, 39));
    EXPECT_EQ(footer->confirm()->currentTitle(), "确认");
}

TEST_F(CarListTest, FooterWithoutDelegateDoesNothing) {
    CarListFooterView footer;
    footer.confirmBtnClick();
    footer.confirm()->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    EXPECT_EQ(footer.delegate(), nullptr);
}

TEST_F(CarListTest, AConfirmationThatNothingTakesLeavesTheListOnTopAndFailsLoudly) {
    expectErrors();
    auto screen = openList(0);
    screen->onConfirm = nullptr;
    confirm();
    EXPECT_EQ(top(), screen);
    EXPECT_EQ(loggedErrors().size(), 1u);
}

}  // namespace
