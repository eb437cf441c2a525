#pragma once
#include <memory>

#include "platform/ui/Button.h"
#include "platform/ui/View.h"

// What the vehicle list's footer tells its screen.
class CarListFooterViewDelegate {
public:
    virtual ~CarListFooterViewDelegate() = default;
    virtual void confirmBtnDidClick() = 0;
};

// The vehicle list's section footer: the full-width "确认" button.
class CarListFooterView : public ui::View {
public:
    static constexpr double kHeight = 64;
    static constexpr const char* kConfirmTitle = "确认";

    CarListFooterView();
    ~CarListFooterView() override;
    std::string className() const override { return "CarListFooterView"; }

    std::shared_ptr<ui::Button> confirm() const { return confirm_.lock(); }
    std::shared_ptr<CarListFooterViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<CarListFooterViewDelegate> delegate) { delegate_ = std::move(delegate); }

    // The button's touch-up-inside: tells the delegate, when there is one.
    void confirmBtnClick();

private:
    std::weak_ptr<ui::Button> confirm_;
    std::weak_ptr<CarListFooterViewDelegate> delegate_;
};
