#pragma once
#include <memory>

#include "capture/review/PhotoTipViewController.h"
#include "capture/review/WaitTipViewController.h"

// What the review tests read inside the photo review wait.
class WaitTipTestAPI {
public:
    explicit WaitTipTestAPI(std::shared_ptr<WaitTipViewController> screen) : screen_(std::move(screen)) {}
    std::shared_ptr<ui::ActionSheet> sheet() const { return screen_->sheet_; }
    bool handingOver() const { return screen_->handingOver_; }

private:
    std::shared_ptr<WaitTipViewController> screen_;
};

// What the review tests read inside the re-take screen.
class PhotoTipTestAPI {
public:
    explicit PhotoTipTestAPI(std::shared_ptr<PhotoTipViewController> screen) : screen_(std::move(screen)) {}
    std::vector<bool> taken() const { return screen_->taken_; }
    std::size_t uploadsWaiting() const { return screen_->uploadsWaiting_; }

private:
    std::shared_ptr<PhotoTipViewController> screen_;
};
