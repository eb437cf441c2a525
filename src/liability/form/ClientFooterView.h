#pragma once
#include <memory>

#include "core/FooterButtonView.h"

// What the parties' form footer tells its screen.
class ClientFooterViewDelegate {
public:
    virtual ~ClientFooterViewDelegate() = default;
    virtual void confirmBtnDidClick() = 0;
};

// The parties' form footer: the full-width blue "下一步" button.
class ClientFooterView : public FooterButtonView {
public:
    static constexpr double kHeight = 64;
    static constexpr const char* kConfirmTitle = "下一步";

    ClientFooterView();
    std::string className() const override { return "ClientFooterView"; }

    std::shared_ptr<ClientFooterViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<ClientFooterViewDelegate> delegate) { delegate_ = std::move(delegate); }

    // The button's touch-up-inside: tells the delegate, when there is one.
    void confirmBtnClick();

private:
    std::weak_ptr<ClientFooterViewDelegate> delegate_;
};
