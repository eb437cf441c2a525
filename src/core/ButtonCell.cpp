#include "core/ButtonCell.h"

#include "core/ImageExtension.h"

#include "platform/ui/Screen.h"

ButtonCell::ButtonCell(ui::TableViewCellStyle style, std::string reuseIdentifier)
    : ui::TableViewCell(style, std::move(reuseIdentifier)) {
    setSelectionStyle(ui::TableViewCellSelectionStyle::None);
}

std::shared_ptr<ui::Button> ButtonCell::button() {
    if (button_) return button_;
    double width = ui::Screen::mainScreen().bounds().width() - 20;
    button_ = std::make_shared<ui::Button>(ui::ButtonType::Custom, ui::Rect(10, 10, width, 100));
    button_->titleLabel()->setFont(ui::Font::named("Helvetica-Bold", 20));
    std::weak_ptr<ui::View> weakCell = weak_from_this();
    button_->addTarget(
        [weakCell] {
            auto cell = std::dynamic_pointer_cast<ButtonCell>(weakCell.lock());
            if (!cell || !cell->btnClick_) return;
            auto block = cell->btnClick_;  // the block may replace itself
            block();
        },
        ui::ControlEvent::TouchUpInside, this);
    contentView()->addSubview(button_);
    return button_;
}

void ButtonCell::setBackImage(const std::string& imageName) {
    button()->setBackgroundImage(ImageExtension::stretchableImageNamed(imageName), ui::ControlStates::Normal);
}
