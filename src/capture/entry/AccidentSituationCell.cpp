#include "capture/entry/AccidentSituationCell.h"

#include "core/ButtonExtension.h"

AccidentSituationCell::AccidentSituationCell(std::string reuseIdentifier)
    : CustomTableViewCell(ui::TableViewCellStyle::Default, std::move(reuseIdentifier)) {
    setBackgroundColor(ui::Color::clear());
    auto icon = ButtonExtension::buttonWithNormalImage("选择", "已选择");
    icon->setUserInteractionEnabled(false);
    contentView()->addSubview(icon);
    iconView_ = icon;
    auto label = std::make_shared<ui::Label>();
    contentView()->addSubview(label);
    situationLabel_ = label;
}

std::shared_ptr<AccidentSituationCell> AccidentSituationCell::cellWithTableview(ui::TableView& tableView) {
    auto cell =
        std::dynamic_pointer_cast<AccidentSituationCell>(tableView.dequeueReusableCellWithIdentifier(kReuseIdentifier));
    return cell ? cell : std::make_shared<AccidentSituationCell>();
}

void AccidentSituationCell::layoutSubviews() {
    CustomTableViewCell::layoutSubviews();
    double height = bounds().height();
    if (auto icon = iconView()) icon->setFrame({kMargin, (height - kIconSize) / 2, kIconSize, kIconSize});
    double labelX = kMargin + kIconSize + kMargin;
    if (auto label = situationLabel()) label->setFrame({labelX, 0, bounds().width() - labelX, height});
}
