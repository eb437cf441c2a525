#pragma once
#include "core/CaseMode.h"
#include <memory>
#include <optional>
#include <string>

#include "core/BaseTableViewController.h"
#include "core/CaseInfoRequest.h"
#include "core/InsuranceCompany.h"
#include "core/Output.h"

// "现场自助保险报案": the insurance report. Four large buttons: "手机APP报案" files the report
// on the server ("claimcaseinfo", reportype "0") and reports `onReported` (in practice at once,
// sending nothing);
// "电话报案" files it with the telephone flag ("1") and dials the insurer's report line;
// "不报案" and "返回首页" pop to the home page at the root of the navigation stack and send
// nothing.
//
// A telephone report needs a report number the phone can dial (digits, with an optional
// leading "+" and "-" between groups): without one nothing is filed or dialled and the driver
// is told kNoReportTelText.
//
// A null insurer record behaves as an empty one (no "companycode" is sent); an empty stored
// report time counts as unset (the current time is sent).
class ReportViewController : public BaseTableViewController {
public:
    static constexpr const char* kTitle = "现场自助保险报案";
    static constexpr const char* kAppReportTitle = "手机APP报案";
    static constexpr const char* kTelReportTitle = "电话报案";
    static constexpr const char* kNoReportTitle = "不报案";
    static constexpr const char* kHomeTitle = "返回首页";
    static constexpr const char* kSubmittingText = "正在提交...";
    static constexpr const char* kNoReportTelText = "未获取到保险公司报案电话,请选择手机APP报案";
    static constexpr double kRowHeight = 120;

    struct Arguments {
        // The insurer of the driver's vehicle (an empty record stands for none).
        InsuranceCompany compary;
        GivenCaseMode simualateState;
        // Shows the back item (the history).
        bool isBackBtn = false;
        // The report time stored with the case (reopened from the history).
        std::optional<std::string> reporTime;
    };
    explicit ReportViewController(Arguments arguments);
    std::string className() const override { return "ReportViewController"; }

    // The insurer of the driver's vehicle (never null: an empty record stands for none).
    std::shared_ptr<InsuranceCompany> compary;
    // The report time stored with the case (reopened from the history); sent as "casedate".
    std::optional<std::string> reporTime;
    const CaseMode simualateState;
    // Shows the back item (the history).
    const bool isBackBtn;

    // "手机APP报案" filed (or tapped in practice), with the insurer reported to.
    Output<void(const InsuranceCompany& compary)> onReported{this, "onReported"};

    void viewDidLoad() override;
    void loadDataSource() override;

    // The four buttons, by row.
    void reportInApplication();
    void reportByTelephone();
    void backToHomePage();
    void backItemClick();

    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

private:
    friend class ReportTestAPI;
    // The report request of a button: reportype "0" in the application, "1" by telephone.
    std::shared_ptr<CaseInfoRequest> makeCaseInfoRequest(const std::string& reportype) const;
    // The number a telephone report dials, or nullopt when the record has none the phone can dial.
    std::optional<std::string> reportTelephone() const;

    void submitReport(const std::string& reportype);
    bool submitting_ = false;
};
