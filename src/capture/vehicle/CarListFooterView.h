#pragma once
#include <memory>

#include "core/FooterButtonView.h"

// What the vehicle list's footer tells its screen.
class CarListFooterViewDelegate {
public:
    virtual ~CarListFooterViewDelegate() = default;
    virtual void confirmBtnDidClick() = 0;
};

// The vehicle list's section footer on the page grey: the full-width blue "确认" button.
class CarListFooterView : public FooterButtonView {
public:
    static constexpr double kHeight = 64;
    static constexpr const char* kConfirmTitle = "确认";

    CarListFooterView();
    std::string className() const override { return "CarListFooterView"; }

    std::shared_ptr<ui::Button> confirm() const { return button(); }
    std::shared_ptr<CarListFooterViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<CarListFooterViewDelegate> delegate) { delegate_ = std::move(delegate); }

    // The button's touch-up-inside: tells the delegate, when there is one.
    void confirmBtnClick();

private:
    std::weak_ptr<CarListFooterViewDelegate> delegate_;
};
