#pragma once
#include <functional>

#include <memory>
#include <string>

#include "core/BaseViewController.h"
#include "core/Output.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

// The three stages of the service, one label per third of the view's height (clear background).
class AccidentTreatmentTipsView : public ui::View {
public:
    static constexpr const char* kStep1 = "  1、拍照取证";
    static constexpr const char* kStep2 = "  2、责任认定";
    static constexpr const char* kStep3 = "  3、保险报案";

    AccidentTreatmentTipsView();
    std::string className() const override { return "AccidentTreatmentTipsView"; }

    std::shared_ptr<ui::Label> step1() const { return step1_.lock(); }
    std::shared_ptr<ui::Label> step2() const { return step2_.lock(); }
    std::shared_ptr<ui::Label> step3() const { return step3_.lock(); }

    void layoutSubviews() override;

private:
    std::weak_ptr<ui::Label> step1_, step2_, step3_;
};

// The steps the service guides the driver through, and a reminder to photograph safely.
// "我知道了" opens the accident-kind screen.
class AccidentTreatmentTipsController : public BaseViewController {
public:
    static constexpr const char* kTitle = "温馨提示";
    static constexpr const char* kLabelText = "我们将按照以下步骤引导您处理交通事故。";
    static constexpr const char* kIknowTitle = "我知道了";
    static constexpr const char* kFooterText = "注意:拍照取证时请您在保证安全下拍摄";

    std::string className() const override { return "AccidentTreatmentTipsController"; }

    // "我知道了": the accident-kind screen.
    Output<void()> onIknow{this, "onIknow"};

    std::shared_ptr<ui::Button> iknow() const { return iknow_.lock(); }
    std::shared_ptr<ui::Label> label() const { return label_.lock(); }
    std::shared_ptr<AccidentTreatmentTipsView> stepView() const { return stepView_.lock(); }
    std::shared_ptr<ui::Label> footerTip() const { return footerTip_.lock(); }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Pushes the accident-kind screen.
    void iknowBtnClick();
    void backBtnClick();

private:
    void layout();

    std::weak_ptr<ui::Button> iknow_;
    std::weak_ptr<ui::Label> label_;
    std::weak_ptr<AccidentTreatmentTipsView> stepView_;
    std::weak_ptr<ui::Label> footerTip_;
};
