#include "capture/entry/DoubleCarView.h"

#include "capture/entry/EntryStyle.h"

DoubleCarView::DoubleCarView() {
    setBackgroundColor(ui::Color::white());
    auto picture = std::make_shared<ui::ImageView>(ui::Image::named(kImageName));
    addSubview(picture);
    doubleCar_ = picture;

    auto button = entrystyle::makeActionButton(kButtonTitle);
    button->addTarget([this] { doubleCarBtnClick(); }, ui::ControlEvent::TouchUpInside, this);
    addSubview(button);
    doubleCarBtn_ = button;
}

DoubleCarView::~DoubleCarView() {
    // A button somebody still holds no longer reaches this card.
    if (auto button = doubleCarBtn_.lock()) button->removeTarget(this);
}

void DoubleCarView::layoutSubviews() {
    ui::View::layoutSubviews();
    const ui::Size pictureSize{269, 76};
    double width = bounds().width();
    if (auto picture = doubleCar_.lock()) picture->setFrame({(width - pictureSize.width) / 2, 40, pictureSize.width, pictureSize.height});
    if (auto button = doubleCarBtn_.lock()) button->setFrame({(width - 230) / 2, 40 + pictureSize.height + 30, 230, 44});
}

void DoubleCarView::doubleCarBtnClick() {
    auto target = delegate.lock();
    if (target && target->respondsToDoubleCarBtnDidClick()) target->doubleCarBtnDidClick();
}
