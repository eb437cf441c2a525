#include <gtest/gtest.h>

#include "UiTest.h"
#include "platform/ui/TableViewController.h"

using namespace ui;

namespace {

// Ten thousand rows; counts the cells it makes.
class Rows : public TableViewDataSource, public TableViewDelegate {
public:
    int numberOfRowsInSection(TableView&, int) override { return rows; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tv, IndexPath ip) override {
        auto cell = tv.dequeueReusableCellWithIdentifier("row");
        if (!cell) {
            cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "row");
            ++made;
        }
        cell->textLabel()->setText("第" + std::to_string(ip.row) + "行");
        return cell;
    }
    void didSelectRowAtIndexPath(TableView&, IndexPath ip) override { selected.push_back(ip); }
    void didDeselectRowAtIndexPath(TableView&, IndexPath ip) override { deselected.push_back(ip); }
    int rows = 10000;
    int made = 0;
    std::vector<IndexPath> selected, deselected;
};

class TableViewTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        rows = std::make_shared<Rows>();
        table = std::make_shared<TableView>(Rect(0, 0, 320, 568), TableViewStyle::Plain);
        table->setDataSource(rows);
        table->setDelegate(rows);
    }
    std::shared_ptr<Rows> rows;
    std::shared_ptr<TableView> table;
};

TEST_F(TableViewTest, OnlyVisibleRowsGetCellsAndScrolledAwayCellsAreReused) {
    auto cells = table->visibleCells();
    // 568 / 44: rows 0 to 12 are on screen.
    ASSERT_EQ(cells.size(), 13u);
    EXPECT_EQ(rows->made, 13);
    EXPECT_EQ(table->contentSize().height, 440000);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 12})->textLabel()->text(), "第12行");
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 13}), nullptr);

    table->setContentOffset({0, 44 * 5000});
    cells = table->visibleCells();
    ASSERT_EQ(cells.size(), 13u);
    EXPECT_EQ(rows->made, 13);  // every new row took a cell from the queue
    EXPECT_EQ(table->cellsReused(), 13u);
    EXPECT_EQ(table->indexPathsForVisibleRows().front(), (IndexPath{0, 5000}));
    EXPECT_EQ(table->indexPathForCell(cells.front()), (IndexPath{0, 5000}));
    EXPECT_EQ(cells.front()->frame().y(), 44 * 5000);

    // Half a row further: one more row shows, one more cell is made at most.
    table->setContentOffset({0, 44 * 5000 + 22});
    EXPECT_EQ(table->visibleCells().size(), 14u);
    EXPECT_LE(rows->made, 14);
    EXPECT_EQ(table->cellsRequested(), 13u + 13u + 1u);
}

TEST_F(TableViewTest, TappingRowsSelectsThroughTheDelegate) {
    window->setRootViewController(std::make_shared<ViewController>());
    window->rootViewController()->view()->addSubview(table);
    window->makeKeyAndVisible();
    window->tap({100, 44 * 2 + 10});
    EXPECT_EQ(rows->selected, (std::vector<IndexPath>{{0, 2}}));
    EXPECT_TRUE(table->cellForRowAtIndexPath({0, 2})->isSelected());
    EXPECT_TRUE(table->tapRowAtIndexPath({0, 9000}));
    EXPECT_EQ(rows->selected.back(), (IndexPath{0, 9000}));
    EXPECT_EQ(rows->deselected, (std::vector<IndexPath>{{0, 2}}));
    EXPECT_NE(table->cellForRowAtIndexPath({0, 9000}), nullptr);
    EXPECT_FALSE(table->tapRowAtIndexPath({0, 10000}));
    table->deselectRowAtIndexPath({0, 9000}, false);
    EXPECT_FALSE(table->indexPathForSelectedRow());

    // A drag scrolls instead of selecting.
    table->setContentOffset({0, 0});
    size_t before = rows->selected.size();
    window->drag({100, 400}, {100, 300}, 4);
    EXPECT_EQ(rows->selected.size(), before);
    EXPECT_EQ(table->contentOffset().y, 100);
}

// Sections with header views, a table header and footer, and row heights from the delegate.
class Sections : public TableViewDataSource, public TableViewDelegate {
public:
    int numberOfSectionsInTableView(TableView&) override { return 2; }
    int numberOfRowsInSection(TableView&, int s) override { return s == 0 ? 4 : 1; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tv, IndexPath ip) override {
        auto cell = tv.dequeueReusableCellWithIdentifier("cell", ip);
        cell->textLabel()->setText(std::to_string(ip.section) + "-" + std::to_string(ip.row));
        return cell;
    }
    double heightForRowAtIndexPath(TableView&, IndexPath ip) override { return ip.section == 0 ? 44 : 100; }
    double heightForHeaderInSection(TableView&, int) override { return 45; }
    double heightForFooterInSection(TableView&, int s) override { return s == 1 ? 64 : 0; }
    std::shared_ptr<View> viewForHeaderInSection(TableView&, int s) override {
        auto v = std::make_shared<View>();
        v->setTag(100 + s);
        return v;
    }
};

TEST_F(TableViewTest, SectionsHeadersFootersAndRegisteredCells) {
    auto sections = std::make_shared<Sections>();
    int factoryCalls = 0;
    table->registerClass([&](const std::string& id) {
        ++factoryCalls;
        return std::make_shared<TableViewCell>(TableViewCellStyle::Value1, id);
    }, "cell");
    auto header = std::make_shared<View>(Rect(0, 0, 320, 70));
    table->setTableHeaderView(header);
    table->setDataSource(sections);
    table->setDelegate(sections);
    table->reloadData();
    EXPECT_EQ(table->numberOfSections(), 2);
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 0}), Rect(0, 70 + 45, 320, 44));
    EXPECT_EQ(table->rectForRowAtIndexPath({1, 0}), Rect(0, 70 + 45 + 176 + 45, 320, 100));
    EXPECT_EQ(table->rectForFooterInSection(1).height(), 64);
    EXPECT_EQ(table->contentSize().height, 70 + 45 + 176 + 45 + 100 + 64);
    EXPECT_EQ(table->visibleCells().size(), 5u);
    EXPECT_EQ(factoryCalls, 5);
    EXPECT_EQ(table->headerViewForSection(1)->tag(), 101);
    EXPECT_NE(table->cellForRowAtIndexPath({1, 0})->detailTextLabel(), nullptr);
    EXPECT_EQ(table->indexPathForRowAtPoint({10, 70 + 45 + 50}), (IndexPath{0, 1}));

    table->reloadRowsAtIndexPaths({{0, 1}});
    EXPECT_EQ(table->visibleCells().size(), 5u);
    EXPECT_EQ(factoryCalls, 5);  // the reloaded row took its old cell back from the queue
}

// Items in two sections, each row as tall as its item's number says; counts the heights asked.
class Items : public TableViewDataSource, public TableViewDelegate {
public:
    int numberOfSectionsInTableView(TableView&) override { return 2; }
    int numberOfRowsInSection(TableView&, int s) override {
        return static_cast<int>(items[static_cast<size_t>(s)].size());
    }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tv, IndexPath ip) override {
        auto cell = tv.dequeueReusableCellWithIdentifier("item", ip);
        cell->textLabel()->setText(std::to_string(item(ip)));
        return cell;
    }
    double heightForRowAtIndexPath(TableView&, IndexPath ip) override {
        ++heightsAsked;
        return 30 + item(ip) % 40;
    }
    double heightForHeaderInSection(TableView&, int) override { return 30; }
    int& item(IndexPath ip) { return items[static_cast<size_t>(ip.section)][static_cast<size_t>(ip.row)]; }
    std::vector<int> items[2];
    int heightsAsked = 0;
};

// Rows inserted (or reloaded with a new height) take the places a full reload gives them, with
// only their own heights asked; the visible cells below them show their moved rows, and the
// selection moves with its row. An insertion the data source's counts do not fit reloads all.
TEST_F(TableViewTest, InsertedAndReloadedRowsTakeThePlacesAFullReloadGives) {
    auto items = std::make_shared<Items>();
    for (int i = 0; i < 50; ++i) items->items[0].push_back(i * 7);
    for (int i = 0; i < 20; ++i) items->items[1].push_back(500 + i * 3);
    auto shown = [&](const std::shared_ptr<TableView>& tv) {
        tv->setTableFooterView(std::make_shared<View>(Rect(0, 0, 320, 50)));
        tv->setDataSource(items);
        tv->setDelegate(items);
        tv->reloadData();
    };
    auto asAFullReload = [&]() -> ::testing::AssertionResult {
        auto fresh = std::make_shared<TableView>(Rect(0, 0, 320, 568), TableViewStyle::Plain);
        shown(fresh);
        if (table->contentSize() != fresh->contentSize()) return ::testing::AssertionFailure() << "content size";
        if (table->tableFooterView()->frame() != fresh->tableFooterView()->frame())
            return ::testing::AssertionFailure() << "footer";
        for (int s = 0; s < 2; ++s) {
            if (table->numberOfRowsInSection(s) != fresh->numberOfRowsInSection(s))
                return ::testing::AssertionFailure() << "rows";
            for (int r = 0; r < fresh->numberOfRowsInSection(s); ++r)
                if (table->rectForRowAtIndexPath({s, r}) != fresh->rectForRowAtIndexPath({s, r}))
                    return ::testing::AssertionFailure() << "row " << IndexPath{s, r}.description();
        }
        for (auto& cell : table->visibleCells())
            if (cell->textLabel()->text() != std::to_string(items->item(*table->indexPathForCell(cell))))
                return ::testing::AssertionFailure() << "the cell of " << table->indexPathForCell(cell)->description();
        return ::testing::AssertionSuccess();
    };
    shown(table);
    table->setContentOffset({0, 300});
    table->selectRowAtIndexPath(IndexPath{0, 12}, false, TableViewScrollPosition::None);
    ASSERT_FALSE(table->visibleCells().empty());

    items->items[0].insert(items->items[0].begin() + 5, 1001);
    items->items[0].insert(items->items[0].begin() + 10, 1002);
    items->items[1].push_back(1003);
    items->heightsAsked = 0;
    table->insertRowsAtIndexPaths({{1, 20}, {0, 10}, {0, 5}});
    EXPECT_EQ(items->heightsAsked, 3);
    EXPECT_TRUE(asAFullReload());
    EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 14}));

    items->item({0, 3}) = 1039;
    items->heightsAsked = 0;
    table->reloadRowsAtIndexPaths({{0, 3}});
    EXPECT_EQ(items->heightsAsked, 1);
    EXPECT_TRUE(asAFullReload());

    items->items[1].push_back(1004);
    items->items[1].push_back(1005);
    table->insertRowsAtIndexPaths({{1, 22}});
    EXPECT_TRUE(asAFullReload());
}

class ListScreen : public TableViewController {
public:
    ListScreen() : TableViewController(TableViewStyle::Grouped) {}
    int numberOfRowsInSection(TableView&, int) override { return static_cast<int>(items.size()); }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tv, IndexPath ip) override {
        auto cell = tv.dequeueReusableCellWithIdentifier("c", ip);
        cell->textLabel()->setText(items[static_cast<size_t>(ip.row)]);
        return cell;
    }
    std::vector<std::string> items{"一", "二"};
};

TEST_F(TableViewTest, ATableScreenIsItsTablesDataSourceAndLoadsWhenShown) {
    auto screen = std::make_shared<ListScreen>();
    window->setRootViewController(NavigationController::create(screen));
    window->makeKeyAndVisible();
    auto tv = screen->tableView();
    EXPECT_EQ(tv->style(), TableViewStyle::Grouped);
    EXPECT_EQ(tv->dataSource().get(), static_cast<TableViewDataSource*>(screen.get()));
    EXPECT_EQ(tv->visibleCells().size(), 2u);
    EXPECT_EQ(tv->cellForRowAtIndexPath({0, 1})->textLabel()->text(), "二");
}

}  // namespace
