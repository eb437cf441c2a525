#pragma once

// Registers the screens of this library with ScreenRegistry:
//   "HomeViewController", "LoginViewController", "NewFeatureController": no arguments;
//   "QuickInfoViewController": {"url": the image URL};
//   "UnderwritInfoViewController": {"jqx": compulsory insurer, "syx": commercial insurer}
//   (texts; missing ones stay unknown).
void registerAccountScreens();
