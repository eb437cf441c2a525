#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "capture/camera/ImageUpload.h"
#include "capture/review/DisqualificationResult.h"
#include "capture/review/PhotoTipCell.h"
#include "core/BaseViewController.h"
#include "core/CaseMode.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/TableView.h"

class PhotoReport;

// "温馨提示" over the photo review wait, in its own navigation controller: one row per rejected
// photo with the reviewer's reason and "补拍照片", which takes the photo again with the system
// camera. Every re-take is uploaded at once under the rejected photo's type (a failed upload
// waits in the failed-upload store). Once every row has been taken again and every upload has
// been answered, the photos are reported as submitted again ("taskstate" "7","2") and the
// screen closes; the wait underneath goes on polling. A report that fails keeps the screen with
// "重新提交" to send it again. An empty list reports at once and closes.
//
// Practice (`simulateState`) sends nothing: it closes once every row has been taken again.
class PhotoTipViewController : public BaseViewController,
                               public ui::TableViewDataSource,
                               public ui::TableViewDelegate,
                               public ui::ImagePickerControllerDelegate,
                               public PhotoTipCellDelegate {
public:
    static constexpr const char* kTitle = "温馨提示";
    static constexpr const char* kNoCameraTitle = "提示信息";
    static constexpr const char* kNoCameraText = "您的设备没有拍照功能";
    static constexpr double kRowHeight = 60;

    struct Arguments {
        GivenCaseMode simulateState;
        std::vector<DisqualificationResult> resultArray;
    };
    explicit PhotoTipViewController(Arguments arguments);
    std::string className() const override { return "PhotoTipViewController"; }

    const CaseMode simulateState;
    const std::vector<DisqualificationResult> resultArray;

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

    void takePhotoBtnDidClickWithPhotoType(const std::string& photoType, const std::shared_ptr<ui::Button>& button,
                                           std::size_t row) override;
    void didFinishPickingMediaWithInfo(ui::ImagePickerController& picker, const ui::ImagePickerInfo& info) override;
    void imagePickerControllerDidCancel(ui::ImagePickerController& picker) override;
    // The re-take of the row under way, as escaped Base64 JPEG text.
    void selfDismissWithImage(const std::string& image);
    // `code` unset (a rejected photo without its type): the record goes without "imagetype".
    void uploadImage(const std::string& image, const std::optional<std::string>& code);
    // The spinner while every row is taken and re-take uploads are still unanswered.
    static constexpr const char* kUploadingText = "正在上传...";

private:
    friend class PhotoTipTestAPI;

    void reportWhenDone();
    void report();
    void close();

    std::shared_ptr<ui::TableView> tableView_;
    // Which rows have been taken again (kept here, not in the reused cells).
    std::vector<bool> taken_;
    std::optional<std::size_t> rowUnderWay_;
    std::optional<std::string> photoType_;
    std::size_t uploadsWaiting_ = 0;
    // The re-take under way, stored before the picker closes.
    std::optional<ImageUpload::Stored> storedShot_;
    std::shared_ptr<PhotoReport> report_;
    bool reported_ = false;
    bool closing_ = false;
};
