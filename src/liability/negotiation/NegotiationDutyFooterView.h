#pragma once
#include <memory>

#include "platform/ui/Button.h"
#include "platform/ui/View.h"

// What the negotiation footer tells its screen.
class NegotiationDutyFooterViewDelegate {
public:
    virtual ~NegotiationDutyFooterViewDelegate() = default;
    virtual void confirmBtnDidClick() = 0;
    virtual void needPoliceBtnDidClick() = 0;
};

// The negotiation footer: two blue buttons side by side, "自行协商定责" and "交警远程定责".
class NegotiationDutyFooterView : public ui::View {
public:
    static constexpr double kHeight = 64;
    static constexpr const char* kConfirmTitle = "自行协商定责";
    static constexpr const char* kNeedPoliceTitle = "交警远程定责";

    NegotiationDutyFooterView();
    ~NegotiationDutyFooterView() override;
    std::string className() const override { return "NegotiationDutyFooterView"; }

    std::shared_ptr<ui::Button> confirm() const { return confirm_.lock(); }
    std::shared_ptr<ui::Button> needPolice() const { return needPolice_.lock(); }
    void setDelegate(std::weak_ptr<NegotiationDutyFooterViewDelegate> delegate) { delegate_ = std::move(delegate); }

private:
    std::weak_ptr<NegotiationDutyFooterViewDelegate> delegate_;
    std::weak_ptr<ui::Button> confirm_, needPolice_;
};
