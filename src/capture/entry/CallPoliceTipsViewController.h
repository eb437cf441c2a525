#pragma once
#include <functional>

#include "core/CaseMode.h"
#include <memory>
#include <string>

#include "core/BaseViewController.h"
#include "core/Output.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

// The police question: a vehicle without plates, a driver without licence or suspected
// drink-driving cannot be settled here. "有，拨打122" dials the traffic police (real case only)
// and leaves the case flow (`onLeaveCase`: a home page pushed on top, or the login page in
// practice without a saved account); "无以上情况" goes on to the steps of the service.
class CallPoliceTipsViewController : public BaseViewController {
public:
    static constexpr const char* kTitle = "温馨提示";
    static constexpr const char* kHeaderText = "事故现场是否有以下情况？";
    static constexpr const char* kMainText =
        "1.任意一方车辆无号牌；\n\n2.任意一方驾驶人无驾驶证；\n\n3.任意一方驾驶人有饮酒嫌疑。";
    static constexpr const char* kConfirmTitle = "无以上情况";
    static constexpr const char* kCallPoliceTitle = "有，拨打122";
    static constexpr const char* kPoliceURL = "telprompt://122";

    struct Arguments {
        GivenCaseMode simulateNormal;
    };
    explicit CallPoliceTipsViewController(Arguments arguments) : simulateNormal(arguments.simulateNormal) {}
    std::string className() const override { return "CallPoliceTipsViewController"; }

    // "无以上情况": the steps of the service.
    Output<void()> onConfirm{this, "onConfirm"};
    // "有，拨打122", after the dial of a real case: the case flow is left for a new home page
    // (`signedIn` false in practice without a saved account: the login page instead).
    Output<void(bool signedIn)> onLeaveCase{this, "onLeaveCase"};

    // The practice flag.
    const CaseMode simulateNormal;

    std::shared_ptr<ui::Label> headerTips() const { return headerTips_.lock(); }
    std::shared_ptr<ui::Button> confirm() const { return confirm_.lock(); }
    std::shared_ptr<ui::Button> callPolice() const { return callPolice_.lock(); }
    std::shared_ptr<ui::Label> mainTips() const { return mainTips_.lock(); }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // "无以上情况": the steps of the service.
    void confirmBtnClick();
    // "有，拨打122": real case, dial 122 and push a home page; practice, push the home page (or
    // the login page without a saved account) and dial nothing.
    void callPoliceBtnClick();
    void backBtnClick();

private:
    void layout();

    std::weak_ptr<ui::Label> headerTips_;
    std::weak_ptr<ui::Button> confirm_;
    std::weak_ptr<ui::Button> callPolice_;
    std::weak_ptr<ui::Label> mainTips_;
};
