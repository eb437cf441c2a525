#pragma once
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

// A table cell for a titled notice: a dictionary with "title" and "content". (No screen uses
// it at present.)
class ReminderCell : public ui::TableViewCell {
public:
    explicit ReminderCell(ui::TableViewCellStyle style = ui::TableViewCellStyle::Default, std::string reuseIdentifier = "");
    std::string className() const override { return "ReminderCell"; }

    // Keeps the dictionary and shows its "title" and "content" (null is ignored).
    void setDic(const nlohmann::json& dic);

    // The height (not the width) a text needs in system font 15 wrapped to the screen's width
    // less 20; 0 for an empty text.
    static double getRichTextWidthWithTitle(const std::string& text);
    // The row height of a notice: the height of its "content" plus 65.
    static double cellWithHeight(const nlohmann::json& dic);

    void layoutSubviews() override;

private:
    friend class ReminderCellTestAPI;
    nlohmann::json dic_;
    std::shared_ptr<ui::Label> titleLabel_;
    std::shared_ptr<ui::Label> contentLabel_;
};
