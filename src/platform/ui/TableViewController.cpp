#include "platform/ui/TableViewController.h"

#include "platform/ui/Screen.h"

namespace ui {

std::shared_ptr<TableView> TableViewController::tableView() {
    view();
    return tableView_;
}

void TableViewController::setTableView(std::shared_ptr<TableView> tableView) {
    tableView_ = std::move(tableView);
    if (tableView_) {
        tableView_->setDataSource(sharedAs<TableViewDataSource>());
        tableView_->setDelegate(sharedAs<TableViewDelegate>());
    }
    setView(tableView_);
}

void TableViewController::loadView() {
    setTableView(std::make_shared<TableView>(Screen::mainScreen().bounds(), style_));
}

void TableViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    auto tv = tableView();
    if (!tv) return;
    if (!reloadedOnce_) {
        reloadedOnce_ = true;
        tv->reloadData();
    } else if (clearsSelection_) {
        for (auto& ip : tv->indexPathsForSelectedRows()) tv->deselectRowAtIndexPath(ip, animated);
    }
}

std::shared_ptr<TableViewCell> TableViewController::cellForRowAtIndexPath(TableView& tableView, IndexPath indexPath) {
    return tableView.dequeueReusableCellWithIdentifier("Cell", indexPath);
}

}  // namespace ui
