#pragma once
#include <memory>

#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

namespace ui {

// A screen whose view is a table view with the screen as data source and delegate.
// Subclasses override the data source and delegate operations (no rows by default); a
// screen with fixed ("static") cells keeps its cells and returns them from
// cellForRowAtIndexPath.
class TableViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
    explicit TableViewController(TableViewStyle style = TableViewStyle::Plain) : style_(style) {}
    std::string className() const override { return "TableViewController"; }

    // The table (the root view), loaded on first access.
    std::shared_ptr<TableView> tableView();
    void setTableView(std::shared_ptr<TableView> tableView);
    TableViewStyle tableViewStyle() const { return style_; }
    bool clearsSelectionOnViewWillAppear() const { return clearsSelection_; }
    void setClearsSelectionOnViewWillAppear(bool v) { clearsSelection_ = v; }

    void loadView() override;
    // Reloads the table the first time it appears; deselects the selected row on appearance.
    void viewWillAppear(bool animated) override;

    int numberOfRowsInSection(TableView& tableView, int section) override { (void)tableView; (void)section; return 0; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tableView, IndexPath indexPath) override;

private:
    TableViewStyle style_;
    std::shared_ptr<TableView> tableView_;
    bool clearsSelection_ = true;
    bool reloadedOnce_ = false;
};

}  // namespace ui
