#include "liability/history/AccidentSearchViewController.h"

#include "core/FooterButtonView.h"
#include "core/TextLabelCell.h"
#include "core/Theme.h"
#include "platform/foundation/WeakBind.h"

const std::vector<std::string>& AccidentSearchViewController::criteria() {
    static const std::vector<std::string> titles = {"事故类型:", "事故时间:", "案件状态:"};
    return titles;
}

void AccidentSearchViewController::viewDidLoad() {
    BaseTableViewController::viewDidLoad();
    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItem(sharedAs<AccidentSearchViewController>());
    view()->setBackgroundColor(Theme::pageGrey());
    auto table = tableView();
    Theme::styleContentTable(*table);

    auto footer = std::make_shared<FooterButtonView>(Theme::blueButton(kSearchTitle),
                                                     FooterButtonLayout::spacious(kFooterHeight));
    footer->onTap = foundation::weakBind(this, &AccidentSearchViewController::clickAction);
    table->setTableFooterView(footer);

    loadDataSource();
    table->reloadData();
}

void AccidentSearchViewController::loadDataSource() {
    DataSource rows;
    for (const auto& title : criteria()) rows.emplace_back(title);
    setDataSource(std::move(rows));
}

std::shared_ptr<ui::TableViewCell> AccidentSearchViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                     ui::IndexPath indexPath) {
    auto cell = std::dynamic_pointer_cast<TextLabelCell>(tableView.dequeueReusableCellWithIdentifier(kCellIdentifier));
    if (!cell) {
        cell = std::make_shared<TextLabelCell>(ui::TableViewCellStyle::Value1, kCellIdentifier);
        cell->setLabelWidth(kLabelWidth);
        cell->textLabel()->setTextColor(Theme::hintGrey());
        cell->textLabel()->setFont(ui::Font::systemFont(15));
        cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    }
    const auto* title = entry<std::string>(static_cast<size_t>(indexPath.row));
    cell->textLabel()->setText(title ? *title : "");
    return cell;
}
