#include "capture/areas/AreaImageCell.h"

#include "platform/foundation/WeakBind.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Screen.h"

AreaImageCell::AreaImageCell(std::string reuseIdentifier)
    : ui::TableViewCell(ui::TableViewCellStyle::Default, std::move(reuseIdentifier)) {
    setSelectionStyle(ui::TableViewCellSelectionStyle::None);
}

std::shared_ptr<ui::Label> AreaImageCell::areaLabel() {
    if (!areaLabel_) {
        areaLabel_ = std::make_shared<ui::Label>();
        areaLabel_->setFrame({0, 0, ui::Screen::mainScreen().bounds().width(), kTitleHeight});
        contentView()->addSubview(areaLabel_);
    }
    return areaLabel_;
}

std::shared_ptr<ui::ImageView> AreaImageCell::areaImageView() {
    if (!areaImageView_) {
        areaImageView_ = std::make_shared<ui::ImageView>();
        areaImageView_->setFrame({0, kTitleHeight, ui::Screen::mainScreen().bounds().width(), kMapHeight});
        areaImageView_->setUserInteractionEnabled(true);
        auto self = std::static_pointer_cast<AreaImageCell>(shared_from_this());
        areaImageView_->addGestureRecognizer(std::make_shared<ui::TapGestureRecognizer>(
            foundation::weakBind(self, [](const auto& cell, ui::GestureRecognizer&) { cell->tapHandle(); })));
        contentView()->addSubview(areaImageView_);
    }
    return areaImageView_;
}

void AreaImageCell::setArea(const nlohmann::json& area) {
    auto text = [&](const char* key) {
        auto it = area.is_object() ? area.find(key) : area.end();
        return it != area.end() && it->is_string() ? it->get<std::string>() : std::string();
    };
    areaLabel()->setText(text("title"));
    std::string image = text("image");
    areaImageView()->setImage(image.empty() ? nullptr : ui::Image::named(image));
}

void AreaImageCell::tapHandle() {
    if (onMapTap) onMapTap(areaImageView_);
}
