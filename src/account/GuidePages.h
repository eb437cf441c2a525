#pragma once
#include <memory>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/View.h"

// The three pages of the first-launch pager (NewFeatureController), each as large as the screen.

// Page 1: a still picture of nine layers, bottom to top: the background, the sun's three discs,
// the blue car, the person, the yellow car, the clouds and the words. The smaller layers sit at
// points of a 320 × 568 screen scaled to the real one; their sizes are fixed.
class AccidentTreatmentView : public ui::View {
public:
    AccidentTreatmentView();
    std::string className() const override { return "AccidentTreatmentView"; }
    void layoutSubviews() override;

private:
    friend class GuidePagesTestAPI;
    void setUpSubviews();
    void setUpBackgroundFrame();
    void setUpSunFrame();
    void setUpCarAndPeopleFrame();
    void setUpCloudAndWordFrame();

    std::weak_ptr<ui::ImageView> backgroundView, sunBgView3, sunBgView2, sunImage, blueCar, people, yellowCar, cloud, word;
};

// Page 2: the settlement picture, always filling the page.
class SettlementView : public ui::View {
public:
    static constexpr const char* kImage = "在线理赔@1x";
    SettlementView();
    std::string className() const override { return "SettlementView"; }
    void layoutSubviews() override;

private:
    friend class GuidePagesTestAPI;
    void setUpSubviews();
    std::weak_ptr<ui::ImageView> image;
};

// Page 3: the picture "快处" filling the page and the button "立即体验", centred near the
// bottom, which leaves the pager for the login screen (whatever account is stored).
class QuikeHandleView : public ui::View {
public:
    static constexpr const char* kImage = "快处";
    static constexpr const char* kButtonImage = "立即体验";
    QuikeHandleView();
    std::string className() const override { return "QuikeHandleView"; }
    void layoutSubviews() override;
    void pushBtnClick();

private:
    friend class GuidePagesTestAPI;
    void setUpSubview();
    void setUpSubviewFrame();
    std::weak_ptr<ui::ImageView> backImage;
    std::weak_ptr<ui::Button> pushBtn;
};
