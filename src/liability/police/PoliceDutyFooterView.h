#pragma once
#include <memory>

#include "core/FooterButtonView.h"
#include "liability/parties/SignButtonPair.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TextField.h"

// What the police confirmation footer tells its screen (every message optional).
class PoliceDutyFooterViewDelegate {
public:
    virtual ~PoliceDutyFooterViewDelegate() = default;
    virtual void confirmBtnDidClick() {}
    virtual void sign1BtnDidClick(const std::shared_ptr<ui::Button>& button) { (void)button; }
    virtual void sign2BtnDidClick(const std::shared_ptr<ui::Button>& button) { (void)button; }
    virtual void cancelBtnDidClick() {}
    virtual void getCodeBtnDidClick() {}
};

// The police confirmation footer: the other driver's SMS code field in its box beside
// "重新获取验证码", the two sign buttons, the footer's own full-width "确认生成事故责任协议书" and
// the small "不认可,报交警".
class PoliceDutyFooterView : public FooterButtonView {
public:
    static constexpr double kHeight = 217;
    static constexpr const char* kGetCodeTitle = "重新获取验证码";
    static constexpr const char* kCodePlaceholder = "请输入对方验证码";
    static constexpr const char* kConfirmTitle = "确认生成事故责任协议书";
    static constexpr const char* kCancelTitle = "不认可,报交警";
    static constexpr int kCodeTag = 1;
    static constexpr size_t kCodeLength = 6;

    PoliceDutyFooterView();
    ~PoliceDutyFooterView() override;
    std::string className() const override { return "PoliceDutyFooterView"; }

    void setDelegate(std::weak_ptr<PoliceDutyFooterViewDelegate> delegate) { delegate_ = std::move(delegate); }

    std::shared_ptr<ui::Button> sign1() const { return signs_.sign1(); }
    std::shared_ptr<ui::Button> sign2() const { return signs_.sign2(); }
    std::shared_ptr<ui::Button> confirm() const { return button(); }
    std::shared_ptr<ui::Button> cancel() const { return cancel_.lock(); }
    std::shared_ptr<ui::Button> getCode() const { return getCode_.lock(); }
    std::shared_ptr<ui::ImageView> box2() const { return box2_.lock(); }
    std::shared_ptr<ui::TextField> code2() const { return code2_.lock(); }

private:
    std::weak_ptr<PoliceDutyFooterViewDelegate> delegate_;
    SignButtonPair signs_;
    std::weak_ptr<ui::Button> cancel_, getCode_;
    std::weak_ptr<ui::ImageView> box2_;
    std::weak_ptr<ui::TextField> code2_;
};
