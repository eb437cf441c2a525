#pragma once
#include <memory>
#include <vector>

#include "account/GuidePages.h"

// The guide pages' layers, which the pages hold only through their subviews.
class GuidePagesTestAPI {
public:
    static std::shared_ptr<ui::ImageView> blueCar(const AccidentTreatmentView& page) { return page.blueCar.lock(); }
    static std::vector<std::shared_ptr<ui::ImageView>> layers(const AccidentTreatmentView& page) {
        return {page.backgroundView.lock(), page.sunBgView3.lock(), page.sunBgView2.lock(),
                page.sunImage.lock(),       page.blueCar.lock(),    page.people.lock(),
                page.yellowCar.lock(),      page.cloud.lock(),      page.word.lock()};
    }
    static std::shared_ptr<ui::ImageView> image(const SettlementView& page) { return page.image.lock(); }
    static std::shared_ptr<ui::ImageView> backImage(const QuikeHandleView& page) { return page.backImage.lock(); }
    static std::shared_ptr<ui::Button> pushBtn(const QuikeHandleView& page) { return page.pushBtn.lock(); }
};
