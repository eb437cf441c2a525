#include "liability/parties/PartySectionsViewController.h"

int PartySectionsViewController::numberOfSectionsInTableView(ui::TableView&) { return 2; }

int PartySectionsViewController::numberOfRowsInSection(ui::TableView&, int) { return sections_.rowCount(); }

std::shared_ptr<ui::TableViewCell> PartySectionsViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                      ui::IndexPath indexPath) {
    if (auto row = sections_.row(indexPath)) return row;
    return ui::TableViewController::cellForRowAtIndexPath(tableView, indexPath);
}

double PartySectionsViewController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath) {
    return sections_.rowHeight();
}

double PartySectionsViewController::heightForHeaderInSection(ui::TableView&, int section) {
    return sections_.headerHeight(section);
}

double PartySectionsViewController::heightForFooterInSection(ui::TableView&, int section) {
    return section == 1 ? partiesFooterHeight() : 0;
}

std::shared_ptr<ui::View> PartySectionsViewController::viewForHeaderInSection(ui::TableView&, int section) {
    return sections_.header(section);
}

std::shared_ptr<ui::View> PartySectionsViewController::viewForFooterInSection(ui::TableView&, int section) {
    return section == 1 ? partiesFooter() : nullptr;
}
