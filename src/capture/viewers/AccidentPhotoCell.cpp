#include "capture/viewers/AccidentPhotoCell.h"

#include "core/StoreManager.h"
#include "imaging/ImageViewRemoteImage.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Image.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Screen.h"

namespace {
std::shared_ptr<ui::Label> bandLabel(ui::Rect frame, double size, ui::TextAlignment alignment) {
    auto label = std::make_shared<ui::Label>(frame);
    label->setFont(ui::Font::systemFont(size));
    label->setTextColor(ui::Color::white());
    label->setTextAlignment(alignment);
    return label;
}
}  // namespace

AccidentPhotoCell::AccidentPhotoCell(std::string reuseIdentifier)
    : ui::TableViewCell(ui::TableViewCellStyle::Default, std::move(reuseIdentifier)) {
    const double W = ui::Screen::mainScreen().bounds().width();
    setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    backView_ = std::make_shared<ui::View>(ui::Rect(0, 0, W, 44));
    backView_->setBackgroundColor(ui::Color::rgbBytes(57, 155, 202));
    contentView()->addSubview(backView_);
    AccidentTitleLabel_ = bandLabel({15, (44 - 15) / 2.0, W / 2 - 15, 15}, 18, ui::TextAlignment::Left);
    timeLabel_ = bandLabel({W / 2, 5, W / 2 - 10, 15}, 15, ui::TextAlignment::Right);
    addrLabel_ = bandLabel({W / 2, 24, W / 2 - 10, 15}, 15, ui::TextAlignment::Right);
    backView_->addSubview(AccidentTitleLabel_);
    backView_->addSubview(timeLabel_);
    backView_->addSubview(addrLabel_);
    photoImageView_ = std::make_shared<ui::ImageView>(ui::Rect(0, 44, W / 2, 120));
    photoImageView_->setImage(graphics::Image::named(kPlaceholderImage));
    photoImageView_->setUserInteractionEnabled(true);
    contentView()->addSubview(photoImageView_);
    std::weak_ptr<ui::ImageView> weakImage = photoImageView_;
    auto* self = this;
    // The cell owns the image view that owns the recognizer, so `self` outlives the action.
    photoImageView_->addGestureRecognizer(std::make_shared<ui::TapGestureRecognizer>([self, weakImage](ui::GestureRecognizer&) {
        auto image = weakImage.lock();
        if (image && self->accidentPhoto_ && self->onPhotoTap) self->onPhotoTap(*self->accidentPhoto_, image);
    }));
}

void AccidentPhotoCell::setAccidentPhoto(const std::optional<AccidentPhoto>& photo) {
    if (!photo) return;
    accidentPhoto_ = photo;
    AccidentTitleLabel_->setText(StoreManager::shareStoreManager().getAccidentPhotoWithType(photo->imagetype));
    timeLabel_->setText(photo->imagedate.value_or(""));
    addrLabel_->setText(photo->imageaddress.value_or(""));
    auto placeholder = graphics::Image::named(kPlaceholderImage);
    if (photo->imageurl && !photo->imageurl->empty()) {
        ImageViewRemoteImage::setImageWithURL(photoImageView_, *photo->imageurl, placeholder);
    } else {
        ImageViewRemoteImage::cancelCurrentImageLoad(photoImageView_);
        photoImageView_->setImage(placeholder);
    }
}
