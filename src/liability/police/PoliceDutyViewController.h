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
#include "hud/TwoButtonAlertView.h"
#include "liability/parties/PartyRows.h"
#include "liability/parties/PartySectionsViewController.h"
#include "liability/police/PoliceDutyFooterView.h"
#include "liability/police/PoliceDutyModel.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TableViewController.h"
#include "platform/ui/TextField.h"

// "签名确认" of the police decision: both parties as the police decided (name, plate,
// telephone, liability, insurer; the other party's telephone editable), both drivers'
// signatures, and the SMS code the server sends to the other driver. "确认生成事故责任协议书"
// checks, in this order: the two telephones differ, the own and the other signature, the other
// telephone is a mobile number, the code is there; then the agreement opens (`onAgreement`).
// "不认可,报交警" rejects the decision: the task state "1","0" is reported, a new home page
// becomes the window's root and the telephone dials the number the server returns.
//
// The decision must hold two records (own first). With fewer, a real case fills nothing and
// the confirmation says so; practice shows sample records instead.
//
// "重新获取验证码" is disabled at once and counts down 59 s ("59秒后重新发送" ... "01秒后重新发送",
// then "再次获取验证码"); practice counts down without sending. The typed code is taken when
// editing ends and again at the confirmation.
class PoliceDutyViewController : public PartySectionsViewController,
                                 public PoliceDutyFooterViewDelegate,
                                 public ui::TextFieldDelegate {
public:
    static constexpr const char* kTitle = "签名确认";
    static constexpr const char* kTip = "以下是交警指导责任信息，请签字确认";
    static constexpr const char* kOwnHeader = PartySections::kOwnHeader;
    static constexpr const char* kOtherHeader = PartySections::kOtherHeader;
    static constexpr const char* kSamePhoneText = "双方电话号不可相同";
    static constexpr const char* kNoOwnSignText = "请本方驾驶员签名";
    static constexpr const char* kNoOtherSignText = "请对方驾驶员签名";
    static constexpr const char* kBadPhoneText = "请输入正确的手机号码";
    static constexpr const char* kNoCodeText = "请输入对方验证码";
    static constexpr const char* kBadCodePhoneText = "请输入正确的手机号";
    // Said when a rejection reply names no number for the police (our wording).
    static constexpr const char* kCallPoliceText = "请拨打122报警";
    static constexpr const char* kIncompleteText = "交警定责信息不完整,请联系交警";
    static constexpr const char* kCountdownFormat = "秒后重新发送";
    static constexpr const char* kAgainTitle = "再次获取验证码";
    static constexpr const char* kRejectTitle = "温馨提示";
    static constexpr const char* kRejectText = "你确定要报交警么?";
    static constexpr const char* kProcessingText = "正在处理...";
    static constexpr int kCountdownSeconds = 59;
    static constexpr double kOwnHeaderHeight = 72.5;
    static constexpr double kOtherHeaderHeight = 45;

    struct Arguments {
        GivenCaseMode simulateState;
        // The police decision, own party first.
        std::vector<PoliceDutyModel> dateSorce;
        InsuranceCompany insruance;
    };
    explicit PoliceDutyViewController(Arguments arguments)
        // Own header in blue with the tip on a lighter grey, the other's in orange; rows of 40.
        : PartySectionsViewController(
              PartySections{kTip,
                            {"姓名", "车牌号", "电话", "责任", "保险公司"},
                            PartySections::Style{.rowHeight = 40,
                                                 .ownHeaderHeight = kOwnHeaderHeight,
                                                 .otherHeaderHeight = kOtherHeaderHeight,
                                                 .tipBackground = ui::Color::rgbBytes(222, 223, 224),
                                                 // Dark text: white does not read on the light grey.
                                                 .tipTextColour = ui::Color::rgbBytes(56, 64, 71)}}),
          simulateState(arguments.simulateState),
          dateSorce(std::move(arguments.dateSorce)),
          insruance(std::move(arguments.insruance)) {}
    ~PoliceDutyViewController() override;
    std::string className() const override { return "PoliceDutyViewController"; }

    const CaseMode simulateState;
    const std::vector<PoliceDutyModel> dateSorce;
    const InsuranceCompany insruance;

    // What the agreement is made with.
    struct Agreement {
        std::vector<PoliceDutyModel> dutyModel;
        InsuranceCompany insurance;
        graphics::Image::Ptr selfSignImage, otherSignImage;
        std::string otherVerfication;
    };
    // The five checks passed: the liability agreement.
    Output<void(Agreement agreement)> onAgreement{this, "onAgreement"};

    // Practice records, shown when the decision does not hold two.
    static std::vector<PoliceDutyModel> sampleRecords();

    // Outlets.
    std::weak_ptr<ui::Label> selfName, selfCarNo, selfPhoneNumber, selfDuty, selfInsurance;
    std::weak_ptr<ui::Label> otherName, otherCarNo, otherDuty, otherInsurance;
    std::weak_ptr<ui::TextField> otherPhoneNumber;

    void confirmBtnDidClick() override;
    void sign1BtnDidClick(const std::shared_ptr<ui::Button>& button) override;
    void sign2BtnDidClick(const std::shared_ptr<ui::Button>& button) override;
    void cancelBtnDidClick() override;
    void getCodeBtnDidClick() override;
    void textFieldDidEndEditing(ui::TextField& field) override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

private:
    std::shared_ptr<ui::View> partiesFooter() override;
    double partiesFooterHeight() const override;

    friend class PoliceDutyTestAPI;

    void buildStaticCells();
    void fill();
    std::shared_ptr<PoliceDutyFooterView> footer();
    void sign(bool own, const std::shared_ptr<ui::Button>& button);
    void signed_(bool own, const std::shared_ptr<ui::Button>& button, const graphics::Image::Ptr& image);
    void countdownTick();
    void reject();

    std::shared_ptr<PoliceDutyFooterView> footer_;
    // The two records the agreement is made with (empty unless there are two).
    std::vector<PoliceDutyModel> dutyArray_;
    std::string selfSign, otherSign;
    graphics::Image::Ptr selfSignImage, otherSignImage;
    std::string otherVerfication;
    std::shared_ptr<foundation::Timer> countdown_;
    int counter_ = 0;
    std::shared_ptr<TwoButtonAlertView> rejectAlert_;
    bool rejecting_ = false;
};
