#include "liability/form/ClientFooterView.h"

#include "core/ButtonExtension.h"
#include "platform/ui/Screen.h"

ClientFooterView::ClientFooterView() {
    double width = ui::Screen::mainScreen().bounds().width();
    setFrame({0, 0, width, kHeight});
    auto button = ButtonExtension::buttonWithName(kConfirmTitle, "蓝色btn", "蓝色btn-按下");
    button->setFrame({12.5, 12.5, width - 25, 39});
    button->addTarget([this] { confirmBtnClick(); }, ui::ControlEvent::TouchUpInside, this);
    addSubview(button);
    confirm_ = button;
}

ClientFooterView::~ClientFooterView() {
    // A button somebody still holds no longer reaches this footer.
    if (auto button = confirm_.lock()) button->removeTarget(this);
}

void ClientFooterView::confirmBtnClick() {
    if (auto target = delegate()) target->confirmBtnDidClick();
}
