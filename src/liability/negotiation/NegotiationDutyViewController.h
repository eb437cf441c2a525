#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/CaseMode.h"
#include "core/InsuranceCompany.h"
#include "core/Output.h"
#include "liability/form/DutyModel.h"
#include "liability/negotiation/NegotiationDutyFooterView.h"
#include "liability/parties/PartyRows.h"
#include "liability/parties/PartySectionsViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TableViewController.h"

// "协商定责": the two drivers of a two-vehicle case agree on each party's liability. Section 0
// is the own party, section 1 the other; each shows the name, the plate and three liability
// buttons "全责", "无责", "同责" carrying the liability codes 0, 1, 2 as their tags.
//
// The choice is coupled: selecting a button selects the other party's complement (full and
// none, equal and equal) and clears the other four; clearing it clears the complement. So no
// button or exactly one complementary pair is selected.
//
// "自行协商定责" hands the agreed pair (own code first) to the signing (`onSign`); without a
// choice it answers "请选择责任类型". "交警远程定责" needs no choice: in a real case it files
// the case for the traffic police ("policecaseinfo") and, once answered "200", opens the police
// liability wait (`onPolice`); in practice it sends nothing and opens the wait at once.
class NegotiationDutyViewController : public PartySectionsViewController, public NegotiationDutyFooterViewDelegate {
public:
    static constexpr const char* kTitle = "协商定责";
    static constexpr const char* kTip = "请您根据现场情况进行协商，选择当事人责任";
    static constexpr const char* kOwnHeader = PartySections::kOwnHeader;
    static constexpr const char* kOtherHeader = PartySections::kOtherHeader;
    static constexpr const char* kChooseText = "请选择责任类型";
    static constexpr const char* kLoadingText = "加载中...";
    static constexpr double kOwnHeaderHeight = 72.5;
    static constexpr double kOtherHeaderHeight = 45;
    // The liability codes (the buttons' tags).
    static constexpr int kFullDuty = 0;
    static constexpr int kNoDuty = 1;
    static constexpr int kSameDuty = 2;

    struct Arguments {
        GivenCaseMode simulateState;
        // The two parties' names, plates and insurer names.
        DutyModel duty;
        // The own party's insurer record, handed on unchanged.
        InsuranceCompany insurance;
    };
    explicit NegotiationDutyViewController(Arguments arguments)
        // Own header in blue with the tip, the other's in orange; rows of 44.
        : PartySectionsViewController(PartySections{
              kTip,
              {"姓名", "车牌号", "责任"},
              PartySections::Style{.ownHeaderHeight = kOwnHeaderHeight, .otherHeaderHeight = kOtherHeaderHeight}}),
          duty(std::move(arguments.duty)),
          insurance(std::move(arguments.insurance)),
          simulateState(arguments.simulateState) {}
    std::string className() const override { return "NegotiationDutyViewController"; }

    const DutyModel duty;
    const InsuranceCompany insurance;
    const CaseMode simulateState;

    // "自行协商定责" with a choice: the signing, with the liability codes of the selected
    // buttons, the own party's first.
    Output<void(DutyModel duty, InsuranceCompany insurance, std::vector<int> selectedBtn)>
        onSign{this, "onSign"};
    // "交警远程定责": the police liability wait (not from the history, without a back button).
    Output<void(InsuranceCompany insurance)> onPolice{this, "onPolice"};

    // Outlets.
    std::weak_ptr<ui::Label> selfName, selfCarId, otherName, otherCarNo;
    std::weak_ptr<ui::Button> selfAllDuty, selfNoDuty, selfSameDuty, otherAllDuty, otherNoDuty, otherSameDuty;

    // The six buttons: own full, none, equal, then the other's full, none, equal.
    std::array<std::shared_ptr<ui::Button>, 6> allButton() const;
    // The liability codes of the selected buttons in the order of allButton.
    std::vector<int> selectedCodes() const;

    // The six button actions.
    void selfAllDutyBtnClick();
    void selfNoDutyBtnClick();
    void selfSameDutyBtnClick();
    void otherAllDutyBtnClick();
    void otherNoDutyDidClick();
    void OtherSameDutyBtnClick();
    void confirmBtnDidClick() override;
    void needPoliceBtnDidClick() override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    std::shared_ptr<ui::View> partiesFooter() override;
    double partiesFooterHeight() const override;

    void buildStaticCells();
    // Flips the button at `index` of allButton and keeps the pair consistent.
    void choose(int index);
    void openPolice();

    std::shared_ptr<ui::View> footer_;
    bool filing_ = false;
};
