#pragma once
#include <memory>

#include "capture/common/PhotoReport.h"
#include "hud/TwoButtonAlertView.h"
#include "platform/ui/BarButtonItem.h"

// What the tests read inside a photo report: the offer to send it again that is out now.
class PhotoReportTestAPI {
public:
    explicit PhotoReportTestAPI(std::shared_ptr<PhotoReport> report) : report_(std::move(report)) {}
    // The question of a report offered again by a question; null when none is out.
    std::shared_ptr<TwoButtonAlertView> question() const { return report_ ? report_->question_ : nullptr; }
    // The bar item of a report offered again on the bar; null when none is out.
    std::shared_ptr<ui::BarButtonItem> barItem() const { return report_ ? report_->barItem_.lock() : nullptr; }

private:
    std::shared_ptr<PhotoReport> report_;
};
