#pragma once
#include <optional>
#include <string>

#include "core/BaseTableViewController.h"

// The policy information of a vehicle: two rows, "交强险承保公司" with the insurer of its
// compulsory policy (`jqx`) and "商业险承保公司" with the insurer of its commercial policy
// (`syx`). A policy that is not known shows an empty value.
class UnderwritInfoViewController : public BaseTableViewController {
public:
    static constexpr const char* kTitle = "保单信息";
    static constexpr const char* kCompulsoryTitle = "交强险承保公司";
    static constexpr const char* kCommercialTitle = "商业险承保公司";

    std::string className() const override { return "UnderwritInfoViewController"; }

    std::optional<std::string> jqx;
    std::optional<std::string> syx;

    void viewDidLoad() override;
    void loadDataSource() override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
};
