#pragma once
#include <any>
#include <concepts>
#include <memory>
#include <vector>

#include "core/BaseViewController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

// A screen with one table: one section with a row per entry of `dataSource`, and the
// empty-list view. Entries are of any kind the subclass keeps there (strings, models,
// dictionaries); `entry<T>(i)` reads one back.
class BaseTableViewController : public BaseViewController,
                                public ui::TableViewDataSource,
                                public ui::TableViewDelegate {
public:
    using DataSource = std::vector<std::any>;

    std::string className() const override { return "BaseTableViewController"; }

    // Made on first read with `tableViewStyle`, the screen as delegate and data source and an
    // empty footer view; it fills the screen's view, into which viewDidLoad adds it. The screen
    // must be held by a shared_ptr by then.
    std::shared_ptr<ui::TableView> tableView();
    ui::TableViewStyle tableViewStyle() const { return tableViewStyle_; }
    // Takes effect when the table is made.
    void setTableViewStyle(ui::TableViewStyle style) { tableViewStyle_ = style; }

    DataSource& dataSource() { return dataSource_; }
    const DataSource& dataSource() const { return dataSource_; }
    void setDataSource(DataSource dataSource) { dataSource_ = std::move(dataSource); }
    // The entry at `index` as a T, or null when out of range or of another kind.
    template <class T>
    const T* entry(size_t index) const {
        return index < dataSource_.size() ? std::any_cast<T>(&dataSource_[index]) : nullptr;
    }

    // Fills `dataSource`; empty here.
    virtual void loadDataSource() {}

    // With entries: removes the empty-list view and shows the table. Without: hides the
    // table and shows "Docnodata.png" with "您还没有任何记录!" (style 0) or
    // "还没有评论哦! ^_^" (other styles).
    void initNoDataView(size_t entries, int style);
    template <class Array>
        requires requires(const Array& a) { { a.size() } -> std::convertible_to<size_t>; }
    void initNoDataView(const Array& array, int style) {
        initNoDataView(static_cast<size_t>(array.size()), style);
    }
    // The empty-list view while shown, else null.
    std::shared_ptr<ui::View> noDataView() const { return noDataView_; }

    void viewDidLoad() override;

    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    // A plain cell; a string entry is its text. Subclasses make their own cells.
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

    static constexpr int kNoDataViewTag = 9090;

private:
    ui::TableViewStyle tableViewStyle_ = ui::TableViewStyle::Plain;
    std::shared_ptr<ui::TableView> tableView_;
    DataSource dataSource_;
    std::shared_ptr<ui::View> noDataView_;
};

// A grouped table whose sections are the entries of `dataSource`: each entry is one section's
// rows (a DataSource, a JSON array, or anything a subclass counts in rowsInEntry).
// loadDataSource runs whenever the screen is about to appear with an empty dataSource.
class MultipleSectionTableViewController : public BaseTableViewController {
public:
    MultipleSectionTableViewController() { setTableViewStyle(ui::TableViewStyle::Grouped); }
    std::string className() const override { return "MultipleSectionTableViewController"; }

    void viewWillAppear(bool animated) override;
    int numberOfSectionsInTableView(ui::TableView& tableView) override;
    int numberOfRowsInSection(ui::TableView& tableView, int section) override;

protected:
    // The row count of one section's entry.
    virtual int rowsInEntry(const std::any& entry) const;
};
