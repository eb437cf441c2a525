#include "liability/form/ClientHeaderView.h"

#include "platform/ui/Screen.h"

ClientHeaderView::ClientHeaderView() {
    double width = ui::Screen::mainScreen().bounds().width();
    setFrame({0, 0, width, kHeight});
    auto label = std::make_shared<ui::Label>();
    label->setFont(ui::Font::systemFont(15));
    label->setFrame({12.5, 12.5, width - 25, 20});
    addSubview(label);
    textLabel_ = label;
}
