#pragma once
#include <functional>
#include <memory>

#include "platform/ui/Button.h"

// The "服务网点" entry that the home page and the login page both show: the map-pin image beside
// the title, grey, 15 pt. A tap calls `tapped`.
namespace ServiceAreaButton {

inline constexpr const char* kTitle = "服务网点";

std::shared_ptr<ui::Button> make(std::function<void()> tapped);

}  // namespace ServiceAreaButton
