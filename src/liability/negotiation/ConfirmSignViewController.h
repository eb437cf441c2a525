#pragma once
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/CaseMode.h"
#include "core/InsuranceCompany.h"
#include "core/Output.h"
#include "liability/form/DutyModel.h"
#include "liability/negotiation/ConfirmSignFooterView.h"
#include "liability/negotiation/SignRequesModel.h"
#include "liability/parties/PartyRows.h"
#include "liability/parties/PartySectionsViewController.h"
#include "platform/graphics/Image.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TableViewController.h"

// "签名确认": both parties with the agreed liability; each driver signs on the signature pad
// and "完成" submits the liability with both signatures ("dutyinfo"), then the insurance
// report opens (`onReport`).
//
// The agreed liability arrives as two liability codes (0 full, 1 none, 2 equal), the own
// party's first. With fewer than two codes the liability rows stay empty and "完成" answers
// "请选择责任类型" instead of submitting anything.
//
// A signature is kept as the Base64 text of a 160 x 90 JPEG with black strokes on white. "完成"
// checks, in this order: neither party signed, the other party not signed, the own party not
// signed. A refused or failed submission keeps both signatures; each "完成" sends again.
// In practice nothing is sent and the report opens with a placeholder insurer.
class ConfirmSignViewController : public PartySectionsViewController, public ConfirmSignFooterViewDelegate {
public:
    static constexpr const char* kTitle = "签名确认";
    static constexpr const char* kTip = "以下是事故双方认可的责任信息,请签字确认";
    static constexpr const char* kOwnHeader = PartySections::kOwnHeader;
    static constexpr const char* kOtherHeader = PartySections::kOtherHeader;
    static constexpr const char* kNoSignText = "请双方驾驶人签字确认";
    static constexpr const char* kNoOtherSignText = "其他驾驶人请签字确认";
    static constexpr const char* kNoOwnSignText = "请己方驾驶人签字确认";
    static constexpr const char* kChooseText = "请选择责任类型";
    static constexpr const char* kSubmittingText = "正在提交...";
    static constexpr double kOwnHeaderHeight = 72.5;
    static constexpr double kOtherHeaderHeight = 40;
    // Eight rows, both headers and the footer fit a 568-point screen under the bar.
    static constexpr double kRowHeight = 34;
    // The size every signature is scaled to before it is encoded.
    static constexpr double kSignWidth = 160;
    static constexpr double kSignHeight = 90;

    struct Arguments {
        DutyModel duty;
        // The agreed liability codes, the own party's first.
        std::vector<int> selectedBtn;
        // The own party's insurer record, handed to the insurance report.
        InsuranceCompany insurance;
        GivenCaseMode simulateState;
    };
    explicit ConfirmSignViewController(Arguments arguments)
        // Own header with the tip, their text lines 10 in.
        : PartySectionsViewController(PartySections{kTip,
                                                    {"姓名", "车牌号", "责任", "保险公司"},
                                                    PartySections::Style{.rowHeight = kRowHeight,
                                                                         .ownHeaderHeight = kOwnHeaderHeight,
                                                                         .otherHeaderHeight = kOtherHeaderHeight,
                                                                         .inset = 10,
                                                                         .gap = 10}}),
          duty(std::move(arguments.duty)),
          selectedBtn(std::move(arguments.selectedBtn)),
          insurance(std::move(arguments.insurance)),
          simulateState(arguments.simulateState) {}
    std::string className() const override { return "ConfirmSignViewController"; }

    const DutyModel duty;
    const std::vector<int> selectedBtn;
    const InsuranceCompany insurance;
    const CaseMode simulateState;

    // Once submitted (or in practice, at once): the insurance report with the insurer record.
    Output<void(InsuranceCompany compary)> onReport{this, "onReport"};

    // Outlets.
    std::weak_ptr<ui::Label> selfName, selfCarPlateNo, selfDuty, selfInsurance;
    std::weak_ptr<ui::Label> otherName, otherCarPlateNo, otherDuty, otherInsurance;

    // The liability text of a code: "全责", "无责", "同责"; nothing for any other code.
    static std::optional<std::string> dutyText(int code);
    // The signature as it is sent: the pad's image stretched to 160 x 90 on white.
    static graphics::Image::Ptr scaledSignature(const graphics::Image::Ptr& image);
    // The "dutyinfo" request from the screen's labels and signatures.
    SignRequesModel dutyRequest() const;

    void sign1BtnDidClick(const std::shared_ptr<ui::Button>& button) override;
    void sign2BtnDidClick(const std::shared_ptr<ui::Button>& button) override;
    void confirmBtnDidClick() override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    std::shared_ptr<ui::View> partiesFooter() override;
    double partiesFooterHeight() const override;

    friend class ConfirmSignTestAPI;

    void buildStaticCells();
    // Opens the pad for the own party (`own`) or the other party.
    void sign(bool own, const std::shared_ptr<ui::Button>& button);
    void signed_(bool own, const graphics::Image::Ptr& image);
    bool hasLiability() const { return selectedBtn.size() >= 2; }
    void openReport(const InsuranceCompany& compary);

    std::shared_ptr<ConfirmSignFooterView> footerView_;
    // The Base64 texts of the signatures; empty until signed.
    std::string selfSign, otherSign;
    std::shared_ptr<ui::Button> sign1, sign2;
    bool submitting_ = false;
};
