#include "core/CardView.h"

#include "core/Theme.h"

CardView::CardView(const std::string& imageName, ui::Size pictureSize, const std::string& title)
    : pictureSize_(pictureSize) {
    setBackgroundColor(ui::Color::white());
    auto picture = std::make_shared<ui::ImageView>(ui::Image::named(imageName));
    addSubview(picture);
    picture_ = picture;

    auto button = Theme::blueButton(title, Theme::systemButtonFont());
    button->addTarget([this] { buttonTapped(); }, ui::ControlEvent::TouchUpInside, this);
    addSubview(button);
    button_ = button;
}

CardView::~CardView() {
    // A button somebody still holds no longer reaches this card.
    if (auto button = button_.lock()) button->removeTarget(this);
}

void CardView::layoutSubviews() {
    ui::View::layoutSubviews();
    double width = bounds().width();
    if (auto picture = picture_.lock())
        picture->setFrame({(width - pictureSize_.width) / 2, kPictureTop, pictureSize_.width, pictureSize_.height});
    if (auto button = button_.lock())
        button->setFrame({(width - kButtonWidth) / 2, kPictureTop + pictureSize_.height + kButtonGap, kButtonWidth,
                          kButtonHeight});
}

void CardView::buttonTapped() {
    if (!onTap) return;
    auto action = onTap;  // the action may replace itself
    action();
}
