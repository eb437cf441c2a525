#pragma once
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "liability/followup/AppraisalViewController.h"
#include "liability/followup/PromptResultViewController.h"
#include "liability/followup/ReminderCell.h"
#include "liability/followup/ReportResultViewController.h"
#include "liability/followup/ReportViewController.h"

// What the follow-up tests read inside the rating screen: its header, its suggestion input and
// its submit button.
class AppraisalTestAPI {
public:
    static std::shared_ptr<ui::Label> headerLabel(const AppraisalViewController& screen) { return screen.headerLabel_; }
    static std::shared_ptr<PlaceholderTextView> textView(const AppraisalViewController& screen) { return screen.textView_; }
    static std::shared_ptr<ui::Button> submitButton(const AppraisalViewController& screen) { return screen.button_; }
};

// The claim result prompt: its rating button, its spinner and whether it still waits.
class PromptResultTestAPI {
public:
    static std::shared_ptr<ui::Button> button(const PromptResultViewController& screen) { return screen.button_; }
    static std::shared_ptr<ui::ActivityIndicatorView> activityIndicator(const PromptResultViewController& screen) {
        return screen.activityIndicator_;
    }
    static bool isWaiting(const PromptResultViewController& screen) { return screen.waiting_; }
};

// The insurance report: the request a button sends and the number a telephone report dials.
class ReportTestAPI {
public:
    static std::shared_ptr<CaseInfoRequest> makeCaseInfoRequest(const ReportViewController& screen,
                                                                const std::string& reportype) {
        return screen.makeCaseInfoRequest(reportype);
    }
    static std::optional<std::string> reportTelephone(const ReportViewController& screen) { return screen.reportTelephone(); }
};

// The report result: its row's text, its home button, its poll timer and whether polling is over.
class ReportResultTestAPI {
public:
    static std::string messageText(const ReportResultViewController& screen) { return screen.messageText(); }
    static std::shared_ptr<ui::Button> button(const ReportResultViewController& screen) { return screen.button_; }
    static std::shared_ptr<foundation::Timer> timer(const ReportResultViewController& screen) { return screen.timer_; }
    static bool isPollingOver(const ReportResultViewController& screen) { return screen.pollingOver_; }
};

// The notice cell: its two labels and the dictionary it keeps.
class ReminderCellTestAPI {
public:
    static std::shared_ptr<ui::Label> titleLabel(const ReminderCell& cell) { return cell.titleLabel_; }
    static std::shared_ptr<ui::Label> contentLabel(const ReminderCell& cell) { return cell.contentLabel_; }
    static const nlohmann::json& dic(const ReminderCell& cell) { return cell.dic_; }
};
