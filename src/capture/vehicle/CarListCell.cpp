#include "capture/vehicle/CarListCell.h"

#include "core/ButtonExtension.h"

CarListCell::CarListCell(std::string reuseIdentifier)
    : ui::TableViewCell(ui::TableViewCellStyle::Default, std::move(reuseIdentifier)) {
    setBackgroundColor(ui::Color::clear());
    auto icon = ButtonExtension::buttonWithNormalImage("选择", "已选择");
    icon->setUserInteractionEnabled(false);
    contentView()->addSubview(icon);
    iconView_ = icon;
    auto label = std::make_shared<ui::Label>();
    contentView()->addSubview(label);
    accidentCar_ = label;
}

std::shared_ptr<CarListCell> CarListCell::cellWithTableview(ui::TableView& tableView) {
    auto cell = std::dynamic_pointer_cast<CarListCell>(tableView.dequeueReusableCellWithIdentifier(kReuseIdentifier));
    return cell ? cell : std::make_shared<CarListCell>();
}

void CarListCell::layoutSubviews() {
    ui::TableViewCell::layoutSubviews();
    double height = bounds().height();
    if (auto icon = iconView()) icon->setFrame({kMargin, (height - kIconSize) / 2, kIconSize, kIconSize});
    if (auto label = accidentCar())
        label->setFrame({kMargin + kIconSize + kMargin, 0, bounds().width() - (kIconSize + kMargin), height});
}
