#pragma once

namespace followupstyle {

// Replaces the key window's root by a new home page in a new CustomNavigationController (the
// home page comes from ScreenRegistry, "HomeViewController"). False (logged) when there is no
// key window or no home page.
bool leaveForNewHomePage();

}  // namespace followupstyle
