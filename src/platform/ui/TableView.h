#pragma once
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/IndexPath.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableViewCell.h"

namespace ui {

class TableView;

// Heights a delegate leaves to the table (the table's rowHeight, sectionHeaderHeight, ...).
constexpr double TableViewAutomaticDimension = -1;

class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSectionsInTableView(TableView& tableView) { (void)tableView; return 1; }
    virtual int numberOfRowsInSection(TableView& tableView, int section) = 0;
    virtual std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tableView, IndexPath indexPath) = 0;
    // Optional plain-text section titles (empty: none).
    virtual std::string titleForHeaderInSection(TableView& tableView, int section) { (void)tableView; (void)section; return ""; }
    virtual std::string titleForFooterInSection(TableView& tableView, int section) { (void)tableView; (void)section; return ""; }
};

// The delegate of a table view (also its scroll view delegate); every operation is optional.
class TableViewDelegate : public ScrollViewDelegate {
public:
    virtual double heightForRowAtIndexPath(TableView& tableView, IndexPath indexPath) { (void)tableView; (void)indexPath; return TableViewAutomaticDimension; }
    virtual double heightForHeaderInSection(TableView& tableView, int section) { (void)tableView; (void)section; return TableViewAutomaticDimension; }
    virtual double heightForFooterInSection(TableView& tableView, int section) { (void)tableView; (void)section; return TableViewAutomaticDimension; }
    virtual std::shared_ptr<View> viewForHeaderInSection(TableView& tableView, int section) { (void)tableView; (void)section; return nullptr; }
    virtual std::shared_ptr<View> viewForFooterInSection(TableView& tableView, int section) { (void)tableView; (void)section; return nullptr; }
    virtual void willDisplayCell(TableView& tableView, TableViewCell& cell, IndexPath indexPath) { (void)tableView; (void)cell; (void)indexPath; }
    // Return nullopt to refuse the selection, or another index path to select instead.
    virtual std::optional<IndexPath> willSelectRowAtIndexPath(TableView& tableView, IndexPath indexPath) { (void)tableView; return indexPath; }
    virtual void didSelectRowAtIndexPath(TableView& tableView, IndexPath indexPath) { (void)tableView; (void)indexPath; }
    virtual void didDeselectRowAtIndexPath(TableView& tableView, IndexPath indexPath) { (void)tableView; (void)indexPath; }
    virtual void accessoryButtonTappedForRowWithIndexPath(TableView& tableView, IndexPath indexPath) { (void)tableView; (void)indexPath; }
};

enum class TableViewStyle { Plain, Grouped };
enum class TableViewCellSeparatorStyle { None, SingleLine, SingleLineEtched };
enum class TableViewRowAnimation { Fade, Right, Left, Top, Bottom, None, Middle, Automatic };
enum class TableViewScrollPosition { None, Top, Middle, Bottom };

// Rows in sections with headers and footers. Only the rows inside the visible rectangle have
// cells: the table asks the data source for them when it lays out (after reloadData, a scroll
// or a size change; visibleCells and cellForRowAtIndexPath lay out first when needed) and puts
// cells that scroll away into the reuse queue of their identifier. Row geometry is computed
// from the delegate's heights at reloadData (every row's height is asked then); after that,
// insertRowsAtIndexPaths asks only the new rows' heights and reloadRowsAtIndexPaths only the
// reloaded rows', and the rows below move (either reloads the whole table instead when the data
// source's counts do not match the change).
//
// Vertical layout: tableHeaderView, then per section: header, rows, footer; then
// tableFooterView. A tap on a row (a touch that ends on the row it began on without moving
// 10 points, unless a control inside the row took it) selects it: the previous selection is
// deselected (didDeselectRowAtIndexPath), then didSelectRowAtIndexPath.
class TableView : public ScrollView {
public:
    using CellFactory = std::function<std::shared_ptr<TableViewCell>(const std::string& reuseIdentifier)>;

    explicit TableView(TableViewStyle style = TableViewStyle::Plain);
    TableView(Rect frame, TableViewStyle style);
    std::string className() const override { return "TableView"; }

    TableViewStyle style() const { return style_; }
    std::shared_ptr<TableViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(std::weak_ptr<TableViewDataSource> ds);
    std::shared_ptr<TableViewDelegate> delegate() const { return tableDelegate_.lock(); }
    void setDelegate(std::weak_ptr<TableViewDelegate> d);

    double rowHeight() const { return rowHeight_; }
    void setRowHeight(double h) { rowHeight_ = h; }
    double sectionHeaderHeight() const { return sectionHeaderHeight_; }
    void setSectionHeaderHeight(double h) { sectionHeaderHeight_ = h; }
    double sectionFooterHeight() const { return sectionFooterHeight_; }
    void setSectionFooterHeight(double h) { sectionFooterHeight_ = h; }
    TableViewCellSeparatorStyle separatorStyle() const { return separatorStyle_; }
    void setSeparatorStyle(TableViewCellSeparatorStyle s) { separatorStyle_ = s; setNeedsLayout(); }
    Color separatorColor() const { return separatorColor_; }
    void setSeparatorColor(const Color& c) { separatorColor_ = c; setNeedsLayout(); }
    EdgeInsets separatorInset() const { return separatorInset_; }
    void setSeparatorInset(EdgeInsets e) { separatorInset_ = e; }
    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool v) { allowsSelection_ = v; }
    bool allowsMultipleSelection() const { return allowsMultipleSelection_; }
    void setAllowsMultipleSelection(bool v) { allowsMultipleSelection_ = v; }
    std::shared_ptr<View> tableHeaderView() const { return tableHeaderView_; }
    void setTableHeaderView(std::shared_ptr<View> view);
    std::shared_ptr<View> tableFooterView() const { return tableFooterView_; }
    void setTableFooterView(std::shared_ptr<View> view);
    std::shared_ptr<View> backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<View> view);

    // Reuse.
    void registerClass(CellFactory factory, const std::string& identifier);
    // A queued cell of that identifier (prepared for reuse), or null.
    std::shared_ptr<TableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier);
    // A queued cell, else one made by the registered factory, else a Default-style cell.
    std::shared_ptr<TableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier, IndexPath indexPath);

    // Data.
    void reloadData();
    void reloadRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation = TableViewRowAnimation::None);
    void reloadSections(const std::vector<int>& sections, TableViewRowAnimation animation = TableViewRowAnimation::None);
    void insertRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation = TableViewRowAnimation::None);
    void deleteRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation = TableViewRowAnimation::None);
    void beginUpdates() {}
    void endUpdates() {}
    int numberOfSections();
    int numberOfRowsInSection(int section);

    // Geometry (content coordinates).
    Rect rectForRowAtIndexPath(IndexPath indexPath);
    Rect rectForHeaderInSection(int section);
    Rect rectForFooterInSection(int section);
    Rect rectForSection(int section);
    std::optional<IndexPath> indexPathForRowAtPoint(Point point);
    std::vector<IndexPath> indexPathsForRowsInRect(Rect rect);
    void scrollToRowAtIndexPath(IndexPath indexPath, TableViewScrollPosition position, bool animated);

    // Cells on screen.
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(IndexPath indexPath);
    std::optional<IndexPath> indexPathForCell(const TableViewCell& cell);
    std::optional<IndexPath> indexPathForCell(const std::shared_ptr<TableViewCell>& cell) { return cell ? indexPathForCell(*cell) : std::nullopt; }
    std::vector<std::shared_ptr<TableViewCell>> visibleCells();
    std::vector<IndexPath> indexPathsForVisibleRows();
    std::shared_ptr<View> headerViewForSection(int section);
    std::shared_ptr<View> footerViewForSection(int section);

    // Selection (in code: no delegate calls).
    void selectRowAtIndexPath(std::optional<IndexPath> indexPath, bool animated, TableViewScrollPosition position);
    void deselectRowAtIndexPath(IndexPath indexPath, bool animated);
    std::optional<IndexPath> indexPathForSelectedRow() const;
    std::vector<IndexPath> indexPathsForSelectedRows() const;
    // A finger's tap on a row (what the testing driver uses): scrolls the row into view, then
    // selects it as a tap does, with the delegate's calls. Returns false for a row that does
    // not exist or when selection is off.
    bool tapRowAtIndexPath(IndexPath indexPath);

    // Counters for tests and benchmarks: cells asked of the data source, cells taken from the queue.
    size_t cellsRequested() const { return cellsRequested_; }
    size_t cellsReused() const { return cellsReused_; }
    size_t queuedCellCount() const;

    void layoutSubviews() override;
    void draw(GraphicsContext& context, Rect rect) override;
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void touchesCancelled(const Touches& touches) override;

protected:
    void boundsSizeChanged(Size oldSize) override;

private:
    struct Section {
        int rows = 0;
        double headerHeight = 0, footerHeight = 0;
        double top = 0;                 // y of the section's header
        std::vector<double> rowTops;    // y of each row; rowTops.size() == rows
        std::vector<double> rowHeights;
        std::string headerTitle, footerTitle;
    };
    void init();
    void ensureGeometry();
    void computeGeometry();
    double rowHeightAt(IndexPath indexPath);
    bool countsMatch(const std::map<int, int>& addedRows);
    bool insertIntoGeometry(std::vector<IndexPath> inserted);
    bool refreshRowHeights(const std::vector<IndexPath>& indexPaths);
    void placeFrom(int section, int row);
    void recomputeLayoutPositions();
    void tile();
    void enqueue(const std::shared_ptr<TableViewCell>& cell);
    void removeAllVisible();
    std::shared_ptr<View> makeSectionView(int section, bool header);
    void userSelect(IndexPath indexPath);
    double headerHeightFor(int section, bool hasView, const std::string& title);
    double footerHeightFor(int section, bool hasView, const std::string& title);

    TableViewStyle style_;
    std::weak_ptr<TableViewDataSource> dataSource_;
    std::weak_ptr<TableViewDelegate> tableDelegate_;
    double rowHeight_ = 44;
    double sectionHeaderHeight_;
    double sectionFooterHeight_;
    TableViewCellSeparatorStyle separatorStyle_ = TableViewCellSeparatorStyle::SingleLine;
    Color separatorColor_ = Color::rgbBytes(200, 199, 204);
    EdgeInsets separatorInset_{0, 15, 0, 0};
    bool allowsSelection_ = true;
    bool allowsMultipleSelection_ = false;
    std::shared_ptr<View> tableHeaderView_, tableFooterView_, backgroundView_;

    std::map<std::string, CellFactory> factories_;
    std::map<std::string, std::vector<std::shared_ptr<TableViewCell>>> queues_;
    bool geometryValid_ = false;
    std::vector<Section> sections_;
    double contentHeight_ = 0;
    std::map<IndexPath, std::shared_ptr<TableViewCell>> visible_;
    std::map<int, std::shared_ptr<View>> headers_, footers_;
    std::vector<IndexPath> selected_;
    std::optional<IndexPath> touchRow_;
    Point touchStart_;
    bool touchMoved_ = false;
    size_t cellsRequested_ = 0;
    size_t cellsReused_ = 0;
    bool tiling_ = false;
};

}  // namespace ui
