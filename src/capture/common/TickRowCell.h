#pragma once
#include <memory>
#include <string>

#include "core/CustomTableViewCell.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

// A row of a one-tick choice (the situation, the vehicle): the tick mark ("选择" / "已选择" as
// the normal and selected images of a button that takes no touches, so that only the row tap
// changes it) and the row's text. The row's own selection draws nothing.
class TickRowCell : public CustomTableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "customCell";
    static constexpr double kIconSize = 21.5;
    static constexpr double kMargin = 12.5;

    explicit TickRowCell(std::string reuseIdentifier = kReuseIdentifier);
    std::string className() const override { return "TickRowCell"; }

    // A queued row of the table, else a new one.
    static std::shared_ptr<TickRowCell> cellWithTableview(ui::TableView& tableView);

    std::shared_ptr<ui::Button> iconView() const { return iconView_.lock(); }
    std::shared_ptr<ui::Label> rowLabel() const { return rowLabel_.lock(); }

    void layoutSubviews() override;

private:
    std::weak_ptr<ui::Button> iconView_;
    std::weak_ptr<ui::Label> rowLabel_;
};
