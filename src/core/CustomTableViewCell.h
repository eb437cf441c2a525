#pragma once
#include "platform/ui/TableViewCell.h"

// A table cell whose selected and highlighted states never change its look.
class CustomTableViewCell : public ui::TableViewCell {
public:
    explicit CustomTableViewCell(ui::TableViewCellStyle style = ui::TableViewCellStyle::Default,
                                 std::string reuseIdentifier = "")
        : ui::TableViewCell(style, std::move(reuseIdentifier)) {}
    std::string className() const override { return "CustomTableViewCell"; }

    void setSelected(bool) override {}
    void setSelected(bool, bool) override {}
    void setHighlighted(bool) override {}
    void setHighlighted(bool, bool) override {}
};
