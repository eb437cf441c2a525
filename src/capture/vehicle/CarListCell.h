#pragma once
#include <memory>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"

// A row of the vehicle list: the mark ("选择" / "已选择" as the icon's normal and selected
// images) and the plate. The icon takes no touches, so a tap reaches the row; the row's own
// selected and highlighted states draw nothing (the screen draws the mark).
class CarListCell : public ui::TableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "customCell";
    static constexpr double kIconSize = 21.5;
    static constexpr double kMargin = 12.5;

    explicit CarListCell(std::string reuseIdentifier = kReuseIdentifier);
    std::string className() const override { return "CarListCell"; }

    // A queued row of the table, else a new one.
    static std::shared_ptr<CarListCell> cellWithTableview(ui::TableView& tableView);

    std::shared_ptr<ui::Button> iconView() const { return iconView_.lock(); }
    std::shared_ptr<ui::Label> accidentCar() const { return accidentCar_.lock(); }

    void setSelected(bool) override {}
    void setSelected(bool, bool) override {}
    void setHighlighted(bool) override {}
    void setHighlighted(bool, bool) override {}

    void layoutSubviews() override;

private:
    std::weak_ptr<ui::Button> iconView_;
    std::weak_ptr<ui::Label> accidentCar_;
};
