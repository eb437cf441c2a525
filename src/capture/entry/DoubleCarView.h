#pragma once
#include <memory>
#include <string>

#include "core/CardView.h"

// Told when the two-car card's button is tapped (optional).
class DoubleCarViewDelegate {
public:
    virtual ~DoubleCarViewDelegate() = default;
    virtual void doubleCarBtnDidClick() {}
    // Whether doubleCarBtnDidClick is implemented.
    virtual bool respondsToDoubleCarBtnDidClick() const { return false; }
};

// The card "两车及以上事故": the picture "多车" (269 x 76 pt) and its button.
class DoubleCarView : public CardView {
public:
    static constexpr const char* kImageName = "多车";
    static constexpr const char* kButtonTitle = "两车及以上事故";

    DoubleCarView();
    std::string className() const override { return "DoubleCarView"; }

    std::weak_ptr<DoubleCarViewDelegate> delegate;

    std::shared_ptr<ui::ImageView> doubleCar() const { return picture(); }
    std::shared_ptr<ui::Button> doubleCarBtn() const { return button(); }

private:
    void doubleCarBtnClick();
};
