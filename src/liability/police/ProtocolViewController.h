#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/CaseMode.h"
#include "core/InsuranceCompany.h"
#include "core/Output.h"
#include "liability/police/PoliceDutyModel.h"
#include "liability/police/PoliceSignRequestModel.h"
#include "platform/graphics/Image.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/ViewController.h"

// "事故责任协议书": the liability agreement from the police decision and both signatures. Its
// "确认" signs the police paper ("signprocesspaper") with both parties' entries, the other
// driver's SMS code in the other entry, then the insurance report opens (`onReport`). A failed
// signing leaves everything as it was; every "确认" sends new sign times. Practice sends nothing
// and shows sample parties.
//
// The two records are taken when the screen loads, after checking that there are two; with
// fewer, a real case shows no party and "确认" says the agreement is incomplete.
class ProtocolViewController : public ui::ViewController,
                               public ui::TableViewDataSource,
                               public ui::TableViewDelegate {
public:
    static constexpr const char* kTitle = "事故责任协议书";
    static constexpr const char* kConfirmTitle = "确认";
    static constexpr const char* kOwnHeader = "本方责任信息";
    static constexpr const char* kOtherHeader = "对方责任信息";
    static constexpr const char* kLoadingText = "加载中...";
    static constexpr const char* kIncompleteText = "交警定责信息不完整,请联系交警";
    static constexpr double kHeaderHeight = 45;
    static constexpr double kRowHeight = 49;
    static constexpr double kSignatureRowHeight = 64;
    static constexpr double kFooterHeight = 134;

    struct Arguments {
        GivenCaseMode simulateState;
        // The police decision, own party first (the other party's telephone as edited).
        std::vector<PoliceDutyModel> dutyModel;
        InsuranceCompany insurance;
        // The two 160 x 90 signatures.
        graphics::Image::Ptr selfSignImage, otherSignImage;
        // The other driver's SMS code.
        std::string otherVerfication;
    };
    explicit ProtocolViewController(Arguments arguments);
    std::string className() const override { return "ProtocolViewController"; }

    const CaseMode simulateState;
    const std::vector<PoliceDutyModel> dutyModel;
    const InsuranceCompany insurance;
    const graphics::Image::Ptr selfSignImage, otherSignImage;
    const std::string otherVerfication;

    // Once signed (or in practice, at once): the insurance report.
    Output<void(InsuranceCompany compary)> onReport{this, "onReport"};

    // The "signprocesspaper" request (new sign times on every call); nullopt without two records.
    std::optional<PoliceSignRequestModel> signRequest() const;
    void confirmBtnDidClick();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    int numberOfSectionsInTableView(ui::TableView& tableView) override;
    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    double heightForHeaderInSection(ui::TableView& tableView, int section) override;
    double heightForFooterInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::View> viewForHeaderInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::View> viewForFooterInSection(ui::TableView& tableView, int section) override;

private:
    // The records shown: the decision's two, practice samples, or none.
    std::optional<PoliceDutyModel> selfDuty, otherDuty;
    std::shared_ptr<ui::TableView> table_;
    std::shared_ptr<ui::View> footer_;
    bool signing_ = false;
};
