#include "capture/entry/SingleCarView.h"

#include "capture/entry/EntryStyle.h"

SingleCarView::SingleCarView() {
    setBackgroundColor(ui::Color::white());
    auto picture = std::make_shared<ui::ImageView>(ui::Image::named(kImageName));
    addSubview(picture);
    singleCar_ = picture;

    auto button = entrystyle::makeActionButton(kButtonTitle);
    button->addTarget([this] { singleCarBtnClick(); }, ui::ControlEvent::TouchUpInside, this);
    addSubview(button);
    singleCarBtn_ = button;
}

SingleCarView::~SingleCarView() {
    // A button somebody still holds no longer reaches this card.
    if (auto button = singleCarBtn_.lock()) button->removeTarget(this);
}

void SingleCarView::layoutSubviews() {
    ui::View::layoutSubviews();
    const ui::Size pictureSize{186.5, 101.5};
    double width = bounds().width();
    if (auto picture = singleCar_.lock()) picture->setFrame({(width - pictureSize.width) / 2, 40, pictureSize.width, pictureSize.height});
    if (auto button = singleCarBtn_.lock()) button->setFrame({(width - 230) / 2, 40 + pictureSize.height + 30, 230, 44});
}

void SingleCarView::singleCarBtnClick() {
    auto target = delegate.lock();
    if (target && target->respondsToSingleCarBtnDidClick()) target->singleCarBtnDidClick();
}
