#pragma once
#include <functional>
#include <memory>
#include <optional>

#include "core/AccidentPhoto.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

// One evidence photo: a blue band with the step caption, the time and the place, and the
// photo below it (the placeholder "default_Bkg" until it has come, or when it cannot be had).
// A tap on the photo calls onPhotoTap with the record and the image view.
class AccidentPhotoCell : public ui::TableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "AccidentPhotoCell";
    static constexpr const char* kPlaceholderImage = "default_Bkg";
    static constexpr double kHeight = 164;

    explicit AccidentPhotoCell(std::string reuseIdentifier = kReuseIdentifier);
    std::string className() const override { return "AccidentPhotoCell"; }

    // Fills the row; nullopt changes nothing.
    void setAccidentPhoto(const std::optional<AccidentPhoto>& photo);

    std::function<void(const AccidentPhoto& photo, const std::shared_ptr<ui::ImageView>& imageView)> onPhotoTap;

private:
    friend class AccidentPhotoCellTestAPI;
    std::optional<AccidentPhoto> accidentPhoto_;
    std::shared_ptr<ui::View> backView_;
    std::shared_ptr<ui::Label> AccidentTitleLabel_, timeLabel_, addrLabel_;
    std::shared_ptr<ui::ImageView> photoImageView_;
};
