#pragma once
#include <functional>

#include <memory>
#include <string>

#include "core/BaseViewController.h"
#include "core/Output.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

// The first safety tip of the accident entry: keep safe, switch on the hazard lights, set up the
// warning triangle. "我知道了" goes on to the police question.
class DangrousTipViewController : public BaseViewController {
public:
    static constexpr const char* kTitle = "温馨提示";
    static constexpr const char* kTipsText =
        "发生交通事故时,请您务必保证自身安全。并开启危险报警闪光灯,夜间还须开启示廓灯和后位灯,在车辆后方放置警示牌。";
    static constexpr const char* kIknowTitle = "我知道了";

    std::string className() const override { return "DangrousTipViewController"; }

    // "我知道了": the police question.
    Output<void()> onIknow{this, "onIknow"};

    std::shared_ptr<ui::Label> tips() const { return tips_.lock(); }
    std::shared_ptr<ui::Button> iknow() const { return iknow_.lock(); }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Pushes the police question.
    void iknowBtnClick();
    // Pops this screen.
    void backBtnClick();

private:
    void layout();

    std::weak_ptr<ui::Label> tips_;
    std::weak_ptr<ui::Button> iknow_;
};
