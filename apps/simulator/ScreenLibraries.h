#pragma once
#include <string>
#include <vector>

namespace simulator {

// Registers the screens of every screen library linked into the simulator with the
// application's ScreenRegistry (each library's own registration function), then fills the
// names the application opens that no library has registered yet with placeholder screens.
// Returns the names that got a placeholder.
std::vector<std::string> registerApplicationScreens();

// The screen names the application core opens by name (launch choice and push routing).
const std::vector<std::string>& applicationScreenNames();

}  // namespace simulator
