#pragma once
#include <memory>

#include "platform/ui/Label.h"
#include "platform/ui/View.h"

// The vehicle list's section header: the hint "请选择我的事故车辆" on the page grey.
class CarListHeaderView : public ui::View {
public:
    static constexpr double kHeight = 45;
    static constexpr const char* kTipText = "请选择我的事故车辆";

    CarListHeaderView();
    std::string className() const override { return "CarListHeaderView"; }

    std::shared_ptr<ui::Label> tip() const { return tip_.lock(); }

private:
    std::weak_ptr<ui::Label> tip_;
};
