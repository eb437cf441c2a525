#pragma once
#include <memory>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/View.h"

// Told when the single-car card's button is tapped (optional).
class DoubleCarViewDelegate {
public:
    virtual ~DoubleCarViewDelegate() = default;
    virtual void doubleCarBtnDidClick() {}
    // Whether doubleCarBtnDidClick is implemented.
    virtual bool respondsToDoubleCarBtnDidClick() const { return false; }
};

// The card "两车及以上事故": the picture "多车" and a button (white background).
class DoubleCarView : public ui::View {
public:
    static constexpr const char* kImageName = "多车";
    static constexpr const char* kButtonTitle = "两车及以上事故";

    DoubleCarView();
    ~DoubleCarView() override;
    std::string className() const override { return "DoubleCarView"; }

    std::weak_ptr<DoubleCarViewDelegate> delegate;

    std::shared_ptr<ui::ImageView> doubleCar() const { return doubleCar_.lock(); }
    std::shared_ptr<ui::Button> doubleCarBtn() const { return doubleCarBtn_.lock(); }

    void layoutSubviews() override;

private:
    void doubleCarBtnClick();

    std::weak_ptr<ui::ImageView> doubleCar_;
    std::weak_ptr<ui::Button> doubleCarBtn_;
};
