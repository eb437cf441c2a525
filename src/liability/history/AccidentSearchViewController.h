#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/BaseTableViewController.h"

// "事故搜索": the case search form of the history, three criteria ("事故类型:", "事故时间:",
// "案件状态:") over a "搜索" button. The form has no search yet: neither the button nor a row
// does anything. "返回" pops it.
class AccidentSearchViewController : public BaseTableViewController {
public:
    static constexpr const char* kTitle = "事故搜索";
    static constexpr const char* kSearchTitle = "搜索";
    static constexpr const char* kCellIdentifier = "UITableViewCell";
    static constexpr double kLabelWidth = 80;
    static constexpr double kFooterHeight = 200;

    // The criteria, in row order.
    static const std::vector<std::string>& criteria();

    std::string className() const override { return "AccidentSearchViewController"; }

    void viewDidLoad() override;
    void loadDataSource() override;
    // "搜索": nothing yet.
    void clickAction() {}

    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
};
