#pragma once
#include <memory>

#include "core/FooterButtonView.h"
#include "liability/parties/SignButtonPair.h"

// What the signing footer tells its screen; the sign taps come with the tapped button.
class ConfirmSignFooterViewDelegate {
public:
    virtual ~ConfirmSignFooterViewDelegate() = default;
    virtual void sign1BtnDidClick(const std::shared_ptr<ui::Button>& button) = 0;
    virtual void sign2BtnDidClick(const std::shared_ptr<ui::Button>& button) = 0;
    virtual void confirmBtnDidClick() = 0;
};

// The signing footer: "本方驾驶员签字" and "对方驾驶员签字" side by side, the footer's own
// full-width blue "完成" below them. A signed party's button shows the signature instead of its
// title.
class ConfirmSignFooterView : public FooterButtonView {
public:
    static constexpr double kHeight = 115;
    static constexpr const char* kConfirmTitle = "完成";

    ConfirmSignFooterView();
    std::string className() const override { return "ConfirmSignFooterView"; }

    std::shared_ptr<ui::Button> sign1() const { return signs_.sign1(); }
    std::shared_ptr<ui::Button> sign2() const { return signs_.sign2(); }
    std::shared_ptr<ui::Button> confirm() const { return button(); }
    void setDelegate(std::weak_ptr<ConfirmSignFooterViewDelegate> delegate) { delegate_ = std::move(delegate); }

private:
    std::weak_ptr<ConfirmSignFooterViewDelegate> delegate_;
    SignButtonPair signs_;
};
