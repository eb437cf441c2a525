#pragma once
#include <memory>

#include "hud/TwoButtonAlertView.h"

// What the tests reach inside the confirmation dialog: its labels, its buttons (the left one
// null when there is none) and the dimmed background it lays behind itself while shown.
class TwoButtonAlertViewTestAPI {
public:
    static std::shared_ptr<ui::Label> titleLabel(const TwoButtonAlertView& alert) { return alert.titleLabel_; }
    static std::shared_ptr<ui::Label> contentLabel(const TwoButtonAlertView& alert) { return alert.contentLabel_; }
    static std::shared_ptr<ui::Button> leftButton(const TwoButtonAlertView& alert) { return alert.leftButton_; }
    static std::shared_ptr<ui::Button> rightButton(const TwoButtonAlertView& alert) { return alert.rightButton_; }
    static std::shared_ptr<ui::View> backgroundView(const TwoButtonAlertView& alert) { return alert.background_; }
};
