#include "capture/common/TickRowCell.h"

#include "core/ButtonExtension.h"

TickRowCell::TickRowCell(std::string reuseIdentifier)
    : CustomTableViewCell(ui::TableViewCellStyle::Default, std::move(reuseIdentifier)) {
    setBackgroundColor(ui::Color::clear());
    auto icon = ButtonExtension::buttonWithNormalImage("选择", "已选择");
    icon->setUserInteractionEnabled(false);
    contentView()->addSubview(icon);
    iconView_ = icon;
    auto label = std::make_shared<ui::Label>();
    contentView()->addSubview(label);
    rowLabel_ = label;
}

std::shared_ptr<TickRowCell> TickRowCell::cellWithTableview(ui::TableView& tableView) {
    auto cell = std::dynamic_pointer_cast<TickRowCell>(tableView.dequeueReusableCellWithIdentifier(kReuseIdentifier));
    return cell ? cell : std::make_shared<TickRowCell>();
}

void TickRowCell::layoutSubviews() {
    CustomTableViewCell::layoutSubviews();
    double height = bounds().height();
    if (auto icon = iconView()) icon->setFrame({kMargin, (height - kIconSize) / 2, kIconSize, kIconSize});
    double labelX = kMargin + kIconSize + kMargin;
    if (auto label = rowLabel()) label->setFrame({labelX, 0, bounds().width() - labelX, height});
}
