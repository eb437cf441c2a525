#pragma once
#include <memory>
#include <optional>

#include "capture/viewers/AccidentPhotoCell.h"

// What the viewer tests read inside a photo row: the record it shows and its image view.
class AccidentPhotoCellTestAPI {
public:
    static const std::optional<AccidentPhoto>& accidentPhoto(const AccidentPhotoCell& cell) { return cell.accidentPhoto_; }
    static std::shared_ptr<ui::ImageView> photoImageView(const AccidentPhotoCell& cell) { return cell.photoImageView_; }
};
