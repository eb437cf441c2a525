#include "capture/vehicle/CarListHeaderView.h"

#include "core/Theme.h"
#include "platform/ui/Screen.h"

CarListHeaderView::CarListHeaderView() {
    double width = ui::Screen::mainScreen().bounds().width();
    setFrame({0, 0, width, kHeight});
    setBackgroundColor(Theme::pageGrey());
    auto label = std::make_shared<ui::Label>();
    label->setText(kTipText);
    label->setTextColor(Theme::hintGrey());
    label->setFont(ui::Font::systemFont(15));
    label->setNumberOfLines(0);
    label->setFrame({12.5, 12.5, width - 25, 20});
    addSubview(label);
    tip_ = label;
}
