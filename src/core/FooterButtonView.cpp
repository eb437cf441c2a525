#include "core/FooterButtonView.h"

#include "platform/ui/Screen.h"

FooterButtonView::FooterButtonView(std::shared_ptr<ui::Button> button, const FooterButtonLayout& layout) {
    double width = ui::Screen::mainScreen().bounds().width();
    setFrame({0, 0, width, layout.height});
    if (layout.background) setBackgroundColor(*layout.background);
    if (!button) button = ui::Button::create(ui::ButtonType::Custom);
    button->setFrame({layout.sideMargin, layout.top, width - 2 * layout.sideMargin, layout.buttonHeight});
    button->addTarget([this] { buttonTapped(); }, ui::ControlEvent::TouchUpInside, this);
    addSubview(button);
    button_ = button;
}

FooterButtonView::~FooterButtonView() {
    // A button somebody still holds no longer reaches this footer.
    if (auto button = button_.lock()) button->removeTarget(this);
}

void FooterButtonView::buttonTapped() {
    if (!onTap) return;
    auto action = onTap;  // the action may replace itself
    action();
}
