#pragma once
#include <memory>

#include "platform/ui/Button.h"
#include "platform/ui/View.h"

// What the signing footer tells its screen; the sign taps come with the tapped button.
class ConfirmSignFooterViewDelegate {
public:
    virtual ~ConfirmSignFooterViewDelegate() = default;
    virtual void sign1BtnDidClick(const std::shared_ptr<ui::Button>& button) = 0;
    virtual void sign2BtnDidClick(const std::shared_ptr<ui::Button>& button) = 0;
    virtual void confirmBtnDidClick() = 0;
};

// The signing footer: "本方驾驶员签字" and "对方驾驶员签字" side by side, "完成" below them.
// A signed party's button shows the signature instead of its title.
class ConfirmSignFooterView : public ui::View {
public:
    static constexpr double kHeight = 115;
    static constexpr const char* kSign1Title = "本方驾驶员签字";
    static constexpr const char* kSign2Title = "对方驾驶员签字";
    static constexpr const char* kConfirmTitle = "完成";
    static constexpr const char* kOrangeImage = "签字橘";
    static constexpr const char* kOrangePressedImage = "签字橘-按下";
    static constexpr const char* kGreenImage = "签字绿";
    static constexpr const char* kGreenPressedImage = "签字绿-按下";

    ConfirmSignFooterView();
    ~ConfirmSignFooterView() override;
    std::string className() const override { return "ConfirmSignFooterView"; }

    std::shared_ptr<ui::Button> sign1() const { return sign1_.lock(); }
    std::shared_ptr<ui::Button> sign2() const { return sign2_.lock(); }
    std::shared_ptr<ui::Button> confirm() const { return confirm_.lock(); }
    void setDelegate(std::weak_ptr<ConfirmSignFooterViewDelegate> delegate) { delegate_ = std::move(delegate); }

private:
    std::weak_ptr<ConfirmSignFooterViewDelegate> delegate_;
    std::weak_ptr<ui::Button> sign1_, sign2_, confirm_;
};
