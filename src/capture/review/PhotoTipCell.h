#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "capture/review/DisqualificationResult.h"
#include "core/CustomTableViewCell.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

// What a row of the re-take list tells its screen: "补拍照片" was pressed for the photo type
// of row `row`.
class PhotoTipCellDelegate {
public:
    virtual ~PhotoTipCellDelegate() = default;
    virtual void takePhotoBtnDidClickWithPhotoType(const std::string& photoType,
                                                   const std::shared_ptr<ui::Button>& button, std::size_t row) = 0;
};

// A row of the re-take list: the reviewer's reason in red ("<reason>。"; kNoReasonText for a
// rejection that gives none) and the button "补拍照片" ("已拍照", disabled, once the row's
// photo has been taken again).
class PhotoTipCell : public CustomTableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "customCell";
    static constexpr const char* kTakeTitle = "补拍照片";
    static constexpr const char* kTakenTitle = "已拍照";
    static constexpr const char* kNoReasonText = "照片未通过审核,请补拍";

    explicit PhotoTipCell(std::string reuseIdentifier = kReuseIdentifier);
    std::string className() const override { return "PhotoTipCell"; }

    // A queued row of the table, else a new one.
    static std::shared_ptr<PhotoTipCell> cellWithTableview(ui::TableView& tableView);

    // Shows the record of row `row`, taken again already or not.
    void setResult(const DisqualificationResult& result, std::size_t row, bool taken);

    std::weak_ptr<PhotoTipCellDelegate> delegate;
    std::shared_ptr<ui::Label> tips() const { return tips_.lock(); }
    std::shared_ptr<ui::Button> takePhoto() const { return takePhoto_.lock(); }

    void layoutSubviews() override;

private:
    void takePhotoClicked();

    DisqualificationResult result_;
    std::size_t row_ = 0;
    std::weak_ptr<ui::Label> tips_;
    std::weak_ptr<ui::Button> takePhoto_;
};
