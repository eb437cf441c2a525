#pragma once
#include <memory>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

namespace simulator {

// Stands in for a screen of the application that is not built yet: it names the screen it
// stands for, and has a field, a button and a label to try the simulator's commands on
// (typing into "备注" and tapping "确定" shows "备注: TEXT"; a push shows "推送: KEY").
class PlaceholderScreen : public ui::ViewController {
public:
    explicit PlaceholderScreen(std::string standsFor);
    std::string className() const override { return "PlaceholderScreen"; }

    const std::string& standsFor() const { return standsFor_; }
    void viewDidLoad() override;
    // Shows what a push carried.
    void showPush(const std::string& key);

    std::shared_ptr<ui::TextField> noteField() const { return field_; }
    std::shared_ptr<ui::Label> echoLabel() const { return echo_; }

private:
    std::string standsFor_;
    std::shared_ptr<ui::Label> name_, notice_, echo_, push_;
    std::shared_ptr<ui::TextField> field_;
    std::shared_ptr<ui::Button> button_;
};

}  // namespace simulator
