#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/TableViewCell.h"

// A table cell holding one large button; touching it up inside calls `btnClick`.
class ButtonCell : public ui::TableViewCell {
public:
    explicit ButtonCell(ui::TableViewCellStyle style = ui::TableViewCellStyle::Default, std::string reuseIdentifier = "");
    std::string className() const override { return "ButtonCell"; }

    // Made on first use: x 10, y 10, the screen's width less 20, height 100, title in
    // "Helvetica-Bold" 20. The cell must be held by a shared_ptr by then.
    std::shared_ptr<ui::Button> button();
    // The button's normal background image, stretched to the button's size.
    void setBackImage(const std::string& imageName);
    void setBtnClick(std::function<void()> block) { btnClick_ = std::move(block); }
    const std::function<void()>& btnClick() const { return btnClick_; }

private:
    std::shared_ptr<ui::Button> button_;
    std::function<void()> btnClick_;
};
