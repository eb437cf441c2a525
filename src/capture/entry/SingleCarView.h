#pragma once
#include <memory>
#include <string>

#include "core/CardView.h"

// Told when the single-car card's button is tapped (optional).
class SingleCarViewDelegate {
public:
    virtual ~SingleCarViewDelegate() = default;
    virtual void singleCarBtnDidClick() {}
    // Whether singleCarBtnDidClick is implemented.
    virtual bool respondsToSingleCarBtnDidClick() const { return false; }
};

// The card "单车事故": the picture "单车" (186.5 x 101.5 pt) and its button.
class SingleCarView : public CardView {
public:
    static constexpr const char* kImageName = "单车";
    static constexpr const char* kButtonTitle = "单车事故";

    SingleCarView();
    std::string className() const override { return "SingleCarView"; }

    std::weak_ptr<SingleCarViewDelegate> delegate;

    std::shared_ptr<ui::ImageView> singleCar() const { return picture(); }
    std::shared_ptr<ui::Button> singleCarBtn() const { return button(); }

private:
    void singleCarBtnClick();
};
