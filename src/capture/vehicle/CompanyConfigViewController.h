#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/BaseTableViewController.h"
#include "core/CaseInfoRequest.h"
#include "core/CaseMode.h"
#include "core/InsuranceCompany.h"
#include "core/Output.h"

// "确认保险公司": the case's insurer in one row ("保险公司:" with a drop-down mark), which the
// driver may change with a picker, and "确定", which files the insurance report with it.
//
// The row's picker lists "insurance.plist": the bundle's in practice, the Documents file in a
// real case. It starts at the current insurer (by its code; the first row when the code is not
// listed, and always in practice). Without a list to pick from no picker shows: the driver is
// told kChooseInsurerText and the insurer stays.
//
// "确定": practice reports at once; a real case needs an insurer code (else kChooseInsurerText
// and nothing is sent) and files "claimcaseinfo" under the spinner kSubmittingText. The result
// goes out through onReportResult only once the server has taken the report; a refused or
// failed report clears the spinner and leaves the driver here to try again.
class CompanyConfigViewController : public BaseTableViewController {
public:
    static constexpr const char* kClassName = "CompanyConfigViewController";
    static constexpr const char* kTitle = "确认保险公司";
    static constexpr const char* kRowTitle = "保险公司:";
    static constexpr const char* kPickerTitle = "保险公司";
    static constexpr const char* kConfirmTitle = "确定";
    static constexpr const char* kChooseInsurerText = "请选择保险公司";
    static constexpr const char* kSubmittingText = "正在提交...";
    static constexpr const char* kDropDownImage = "下拉选择";
    static constexpr const char* kCellIdentifier = "UITableViewCell";
    static constexpr double kLabelWidth = 70;

    struct Arguments {
        // The case's insurer (an empty record stands for none).
        InsuranceCompany curCompary;
        GivenCaseMode simualateState;
    };
    explicit CompanyConfigViewController(Arguments arguments);
    std::string className() const override { return kClassName; }

    // The report is filed (a real case) or a practice report was asked for: the report result
    // with the insurer.
    Output<void(const InsuranceCompany& curCompary)> onReportResult{this, "onReportResult"};

    // The insurer shown and reported.
    InsuranceCompany curCompary;
    // The picker's list, filled on each tap of the row.
    std::vector<std::shared_ptr<InsuranceCompany>> comparys;
    const CaseMode simualateState;

    void viewDidLoad() override;
    // Refreshes Documents/insurance.plist from the server ("insurerlist" with "areaid" = the
    // code of the user state's city, "0" when the city is unset or has no code). The screen
    // never calls it itself.
    void loadDataSource() override;

    // The report request of "确定".
    std::shared_ptr<CaseInfoRequest> makeCaseInfoRequest() const;
    // "确定".
    void clickAction();
    // The row: the picker over the insurer list.
    void chooseInsurer();

    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

private:
    // The row the picker starts on for the list in `comparys`.
    int initialPickerRow() const;
    void report();

    bool submitting_ = false;
};
