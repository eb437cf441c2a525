#pragma once
#include <functional>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

// One service area: its title on a line 30 high and its map, 200 high, below, both the
// screen's width. A tap on the map runs onMapTap with the map's image view.
class AreaImageCell : public ui::TableViewCell {
public:
    static constexpr double kTitleHeight = 30;
    static constexpr double kMapHeight = 200;
    static constexpr double kRowHeight = 230;

    explicit AreaImageCell(std::string reuseIdentifier = "AreaImageCell");
    std::string className() const override { return "AreaImageCell"; }

    // Made on first read.
    std::shared_ptr<ui::Label> areaLabel();
    std::shared_ptr<ui::ImageView> areaImageView();

    // Shows the area's "title" and the picture named by its "image".
    void setArea(const nlohmann::json& area);

    std::function<void(const std::shared_ptr<ui::ImageView>& map)> onMapTap;

    // The tap on the map.
    void tapHandle();

private:
    std::shared_ptr<ui::Label> areaLabel_;
    std::shared_ptr<ui::ImageView> areaImageView_;
};
