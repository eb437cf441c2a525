#pragma once
#include <memory>

#include <nlohmann/json.hpp>

#include "capture/entry/AccidentSituationViewController.h"
#include "hud/TwoButtonAlertView.h"
#include "support/PhotoReportTestAPI.h"

// What the situation-choice tests read inside the screen.
class AccidentSituationTestAPI {
public:
    explicit AccidentSituationTestAPI(std::shared_ptr<AccidentSituationViewController> screen) : screen_(std::move(screen)) {}

    // The upload records of this screen's failed uploads.
    nlohmann::json faildImageArray() const { return screen_->shots_->faildImageArray; }
    // The shot counters of the capture started from the current appearance.
    std::size_t count() const { return screen_->shots_->current->count; }
    std::size_t secondcount() const { return screen_->shots_->current->secondcount; }
    std::shared_ptr<ui::TextField> inputSituation() const { return screen_->inputSituation_.lock(); }
    std::shared_ptr<ui::Button> confirm() const { return screen_->confirm_.lock(); }
    std::shared_ptr<ui::TableView> tableView() const { return screen_->tableView_; }
    std::shared_ptr<TwoButtonAlertView> reportAgainAlert() const { return PhotoReportTestAPI(screen_->report_).question(); }
    std::optional<std::string> selectedCode() const { return screen_->selectedCode_; }

private:
    std::shared_ptr<AccidentSituationViewController> screen_;
};
