#include "capture/vehicle/CarListFooterView.h"

#include "core/ButtonExtension.h"
#include "platform/ui/Screen.h"

CarListFooterView::CarListFooterView() {
    double width = ui::Screen::mainScreen().bounds().width();
    setFrame({0, 0, width, kHeight});
    setBackgroundColor(ui::Color::grey(248.0 / 255.0));
    auto button = ButtonExtension::buttonWithName(kConfirmTitle, "蓝色btn", "蓝色btn-按下");
    button->setFrame({12.5, 12.5, width - 25, 39});
    button->addTarget([this] { confirmBtnClick(); }, ui::ControlEvent::TouchUpInside, this);
    addSubview(button);
    confirm_ = button;
}

CarListFooterView::~CarListFooterView() {
    // A button somebody still holds no longer reaches this footer.
    if (auto button = confirm_.lock()) button->removeTarget(this);
}

void CarListFooterView::confirmBtnClick() {
    if (auto target = delegate()) target->confirmBtnDidClick();
}
