#include "capture/review/PhotoTipViewController.h"

#include "capture/camera/ImageUpload.h"
#include "capture/common/PhotoReport.h"
#include "core/ImageCommon.h"
#include "core/ImageResize.h"
#include "core/Theme.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationController.h"

PhotoTipViewController::PhotoTipViewController(Arguments arguments)
    : simulateState(arguments.simulateState), resultArray(std::move(arguments.resultArray)),
      taken_(resultArray.size(), false) {}

void PhotoTipViewController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    Theme::styleNavigationBar(*this, kTitle);
    Theme::hideBackItem(*this);
    view()->setBackgroundColor(Theme::pageGrey());
    auto bounds = view()->bounds();
    tableView_ = std::make_shared<ui::TableView>(ui::Rect{0, 0, bounds.width(), bounds.height() - 66},
                                                 ui::TableViewStyle::Plain);
    tableView_->setDataSource(std::static_pointer_cast<ui::TableViewDataSource>(sharedAs<PhotoTipViewController>()));
    tableView_->setDelegate(std::static_pointer_cast<ui::TableViewDelegate>(sharedAs<PhotoTipViewController>()));
    view()->addSubview(tableView_);
    tableView_->reloadData();
}

void PhotoTipViewController::viewDidAppear(bool animated) {
    BaseViewController::viewDidAppear(animated);
    // Nothing to take again: the photos are reported at once, so that the driver is not left in
    // a list without rows.
    if (resultArray.empty()) reportWhenDone();
}

int PhotoTipViewController::numberOfRowsInSection(ui::TableView&, int) { return static_cast<int>(resultArray.size()); }

double PhotoTipViewController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath) { return kRowHeight; }

std::shared_ptr<ui::TableViewCell> PhotoTipViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                               ui::IndexPath indexPath) {
    auto cell = PhotoTipCell::cellWithTableview(tableView);
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= resultArray.size()) return cell;
    auto row = static_cast<std::size_t>(indexPath.row);
    cell->delegate = std::static_pointer_cast<PhotoTipCellDelegate>(sharedAs<PhotoTipViewController>());
    cell->setResult(resultArray[row], row, taken_[row]);
    return cell;
}

void PhotoTipViewController::takePhotoBtnDidClickWithPhotoType(const std::string& photoType,
                                                               const std::shared_ptr<ui::Button>&, std::size_t row) {
    if (row >= taken_.size() || taken_[row] || presentedViewController()) return;
    if (!ui::ImagePickerController::isSourceTypeAvailable(ui::ImagePickerSourceType::Camera)) {
        auto alert = std::make_shared<ui::AlertView>(kNoCameraTitle, kNoCameraText,
                                                     std::weak_ptr<ui::AlertViewDelegate>(), "确定");
        alert->show();
        return;
    }
    rowUnderWay_ = row;
    // The row's own record: a photo the review named without its type has none to send.
    (void)photoType;
    photoType_ = resultArray[row].phototype;
    auto picker = std::make_shared<ui::ImagePickerController>();
    picker->setSourceType(ui::ImagePickerSourceType::Camera);
    picker->setAllowsEditing(true);
    picker->setDelegate(std::static_pointer_cast<ui::ImagePickerControllerDelegate>(sharedAs<PhotoTipViewController>()));
    Theme::styleNavigationBar(*picker->navigationBar());
    presentViewController(picker, true);
}

void PhotoTipViewController::imagePickerControllerDidCancel(ui::ImagePickerController& picker) {
    rowUnderWay_.reset();
    picker.dismissViewController(true);
}

void PhotoTipViewController::didFinishPickingMediaWithInfo(ui::ImagePickerController& picker,
                                                           const ui::ImagePickerInfo& info) {
    // The whole picture as shot, not the crop.
    auto reduced = ImageCommon::imageCompressForSize(info.originalImage, {640, 480});
    std::string text = reduced ? ImageResize::compressionWithSize(reduced, 30) : std::string();
    (void)picker;
    // The picker closing shows the picture as taken: it is kept durably before that.
    storedShot_.reset();
    if (simulateState == CaseMode::Real && !text.empty() && rowUnderWay_)
        storedShot_ = ImageUpload::store(ImageUpload::recordWithShot(text, photoType_));
    // The picker goes the way it came: dismissed by the screen that presented it.
    auto presenter = navigationController() ? std::static_pointer_cast<ui::ViewController>(navigationController())
                                            : sharedAs<ui::ViewController>();
    presenter->dismissViewController(
        true, foundation::weakBind(this, [text](const auto& self) {
            if (text.empty()) {
                foundation::log("PhotoTipViewController: the picture could not be read; the row stays open");
                self->rowUnderWay_.reset();
                return;
            }
            self->selfDismissWithImage(text);
        }));
}

void PhotoTipViewController::selfDismissWithImage(const std::string& image) {
    if (!rowUnderWay_ || *rowUnderWay_ >= taken_.size() || taken_[*rowUnderWay_]) {
        // A picture for no open row: what was stored of it waits for the retry.
        storedShot_.reset();
        return;
    }
    std::size_t row = *rowUnderWay_;
    rowUnderWay_.reset();
    taken_[row] = true;
    if (tableView_) tableView_->reloadRowsAtIndexPaths({ui::IndexPath{0, static_cast<int>(row)}});
    uploadImage(image, photoType_);
    reportWhenDone();
}

void PhotoTipViewController::uploadImage(const std::string& image, const std::optional<std::string>& code) {
    if (simulateState != CaseMode::Real) return;
    // The picture stored when the picker closed, else stored now.
    auto stored = std::move(storedShot_);
    storedShot_.reset();
    if (!stored) stored = ImageUpload::store(ImageUpload::recordWithShot(image, code));
    if (!stored) return;
    ++uploadsWaiting_;
    // A failed upload waits in the failed-upload store for the retry.
    ImageUpload::sendStored(*stored, foundation::weakBind(this, [](const auto& self, bool) {
        if (self->uploadsWaiting_ > 0) --self->uploadsWaiting_;
        self->reportWhenDone();
    }));
}

void PhotoTipViewController::reportWhenDone() {
    for (bool taken : taken_)
        if (!taken) return;
    if (reported_ || (report_ && report_->sending())) return;
    if (uploadsWaiting_ > 0) {
        // Every row is taken: the report waits for the uploads, and the driver sees why.
        auto spinner = ProgressHUD::currentSpinner();
        if (!spinner || spinner->text() != kUploadingText) ProgressHUD::showMessage(kUploadingText);
        return;
    }
    if (simulateState != CaseMode::Real) {
        reported_ = true;
        close();
        return;
    }
    report();
}

void PhotoTipViewController::report() {
    if (!report_) {
        std::weak_ptr<PhotoTipViewController> weak = sharedAs<PhotoTipViewController>();
        // The review would wait for photos it was never told about: a report that did not go
        // through keeps the screen with a way to send it again.
        report_ = std::make_shared<PhotoReport>(weak, PhotoReport::Retry::BarItem,
                                                foundation::weakBind(this, [](const auto& self) {
                                                    self->reported_ = true;
                                                    self->close();
                                                }));
    }
    report_->send();
}

void PhotoTipViewController::close() {
    if (closing_) return;
    closing_ = true;
    auto navigation = navigationController();
    if (navigation) {
        navigation->dismissViewController(true);
    } else {
        dismissViewController(true);
    }
}
