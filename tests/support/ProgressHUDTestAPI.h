#pragma once
#include <memory>

#include "hud/ProgressHUD.h"

// The view a HUD lays over the window or the screen it covers.
class ProgressHUDTestAPI {
public:
    static std::shared_ptr<ui::View> view(const ProgressHUD& hud) { return hud.view_; }
};
