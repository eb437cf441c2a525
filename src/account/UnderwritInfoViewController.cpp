#include "account/UnderwritInfoViewController.h"

#include <utility>

#include "core/Theme.h"
#include "platform/ui/TableViewCell.h"

namespace {
using Row = std::pair<std::string, std::string>;
}

void UnderwritInfoViewController::viewDidLoad() {
    BaseTableViewController::viewDidLoad();
    setTitle(kTitle);
    Theme::applyPageBackground(*this);
    Theme::addBackItem(shared_from_this());
    loadDataSource();
    tableView()->reloadData();
}

void UnderwritInfoViewController::loadDataSource() {
    setDataSource({Row{kCompulsoryTitle, jqx.value_or("")}, Row{kCommercialTitle, syx.value_or("")}});
}

std::shared_ptr<ui::TableViewCell> UnderwritInfoViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                       ui::IndexPath indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("policy");
    if (!cell) cell = std::make_shared<ui::TableViewCell>(ui::TableViewCellStyle::Value1, "policy");
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    const Row* row = entry<Row>(static_cast<size_t>(indexPath.row));
    cell->textLabel()->setText(row ? row->first : "");
    cell->detailTextLabel()->setText(row ? row->second : "");
    return cell;
}

double UnderwritInfoViewController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath) { return 44; }
