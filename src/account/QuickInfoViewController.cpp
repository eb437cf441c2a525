#include "account/QuickInfoViewController.h"

#include "core/Theme.h"
#include "imaging/ImageViewRemoteImage.h"

QuickInfoViewController::QuickInfoViewController(std::string url) : url_(std::move(url)) {}

void QuickInfoViewController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    setTitle(kTitle);
    Theme::applyPageBackground(*this);
    Theme::addBackItem(shared_from_this());
    imageView_ = std::make_shared<ui::ImageView>(view()->bounds());
    imageView_->setContentMode(ui::ContentMode::ScaleAspectFit);
    imageView_->setAutoresizingMask(ui::AutoresizingFlexibleWidth | ui::AutoresizingFlexibleHeight);
    view()->addSubview(imageView_);
    ImageViewRemoteImage::setImageWithURL(imageView_, url_, ui::Image::named("placeholder"));
}

void QuickInfoViewController::viewWillAppear(bool animated) {
    BaseViewController::viewWillAppear(animated);
    imageView_->setFrame(view()->bounds());
}
