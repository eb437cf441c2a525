#pragma once
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "core/BaseTableViewController.h"

class PhotoBrowser;

// "区域说明": the maps of the traffic-police brigade areas the service covers, each under its
// title, always in the same order. A tap on a map enlarges it in the photo browser, which has
// no save button (the maps are not for the album). "返回" pops the screen.
class AreaImageViewController : public BaseTableViewController {
public:
    static constexpr const char* kTitle = "区域说明";

    // The areas: "title" and "image" (the picture's resource name).
    static const nlohmann::json& areas();

    std::string className() const override { return "AreaImageViewController"; }

    void viewDidLoad() override;
    void loadDataSource() override;

    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

private:
    friend class AreaImageViewControllerTestAPI;

    void enlarge(const std::shared_ptr<ui::ImageView>& map);

    std::weak_ptr<PhotoBrowser> browser_;
};
