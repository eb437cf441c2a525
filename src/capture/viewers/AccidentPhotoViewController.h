#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/AccidentPhoto.h"
#include "core/BaseTableViewController.h"

class PhotoBrowser;

// "事故影像": one row per evidence photo of a case (AccidentPhotoCell); a tap on a photo
// shows it enlarged in the photo browser.
class AccidentPhotoViewController : public BaseTableViewController {
public:
    static constexpr const char* kTitle = "事故影像";

    struct Arguments {
        std::vector<AccidentPhoto> photos;
    };
    explicit AccidentPhotoViewController(Arguments arguments);
    std::string className() const override { return "AccidentPhotoViewController"; }

    void viewDidLoad() override;

    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

private:
    void showPhoto(const AccidentPhoto& photo, const std::shared_ptr<ui::ImageView>& imageView);
    std::shared_ptr<PhotoBrowser> browser_;
};
