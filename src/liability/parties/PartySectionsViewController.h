#pragma once
#include <memory>

#include "liability/parties/PartyRows.h"
#include "platform/ui/TableViewController.h"

// A table screen of the two parties' sections (own party first), their rows and headers made by
// PartySections, with the screen's own footer under the second section: the negotiation, the
// signing and the police confirmation.
class PartySectionsViewController : public ui::TableViewController {
public:
    explicit PartySectionsViewController(PartySections sections) : sections_(std::move(sections)) {}

    int numberOfSectionsInTableView(ui::TableView& tableView) override;
    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView,
                                                             ui::IndexPath indexPath) override;
    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    double heightForHeaderInSection(ui::TableView& tableView, int section) override;
    double heightForFooterInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::View> viewForHeaderInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::View> viewForFooterInSection(ui::TableView& tableView, int section) override;

protected:
    // The footer under the second section, made once by the screen (its buttons keep what was
    // signed or typed when the table reloads), and its height.
    virtual std::shared_ptr<ui::View> partiesFooter() = 0;
    virtual double partiesFooterHeight() const = 0;

    PartySections sections_;
};
