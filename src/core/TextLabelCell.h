#pragma once
#include "platform/ui/TableViewCell.h"

// A table cell whose title takes `labelWidth` points (0: the style's own layout); the detail
// text fills the rest of the row.
class TextLabelCell : public ui::TableViewCell {
public:
    explicit TextLabelCell(ui::TableViewCellStyle style = ui::TableViewCellStyle::Value1,
                           std::string reuseIdentifier = "")
        : ui::TableViewCell(style, std::move(reuseIdentifier)) {}
    std::string className() const override { return "TextLabelCell"; }

    double labelWidth() const { return labelWidth_; }
    void setLabelWidth(double width);

    void layoutSubviews() override;

private:
    double labelWidth_ = 0;
};
