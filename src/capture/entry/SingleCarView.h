#pragma once
#include <memory>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/View.h"

// Told when the single-car card's button is tapped (optional).
class SingleCarViewDelegate {
public:
    virtual ~SingleCarViewDelegate() = default;
    virtual void singleCarBtnDidClick() {}
    // Whether singleCarBtnDidClick is implemented.
    virtual bool respondsToSingleCarBtnDidClick() const { return false; }
};

// The card "单车事故": the picture "单车" and a button (white background).
class SingleCarView : public ui::View {
public:
    static constexpr const char* kImageName = "单车";
    static constexpr const char* kButtonTitle = "单车事故";

    SingleCarView();
    ~SingleCarView() override;
    std::string className() const override { return "SingleCarView"; }

    std::weak_ptr<SingleCarViewDelegate> delegate;

    std::shared_ptr<ui::ImageView> singleCar() const { return singleCar_.lock(); }
    std::shared_ptr<ui::Button> singleCarBtn() const { return singleCarBtn_.lock(); }

    void layoutSubviews() override;

private:
    void singleCarBtnClick();

    std::weak_ptr<ui::ImageView> singleCar_;
    std::weak_ptr<ui::Button> singleCarBtn_;
};
