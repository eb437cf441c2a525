#include "capture/vehicle/CarListHeaderView.h"

#include "platform/ui/Screen.h"

CarListHeaderView::CarListHeaderView() {
    double width = ui::Screen::mainScreen().bounds().width();
    setFrame({0, 0, width, kHeight});
    setBackgroundColor(ui::Color::grey(248.0 / 255.0));
    auto label = std::make_shared<ui::Label>();
    label->setText(kTipText);
    label->setTextColor(ui::Color::grey(128.0 / 255.0));
    label->setFont(ui::Font::systemFont(15));
    label->setNumberOfLines(0);
    label->setFrame({12.5, 12.5, width - 25, 20});
    addSubview(label);
    tip_ = label;
}
