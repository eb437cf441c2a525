#pragma once
#include <functional>
#include <memory>

namespace ui {
class ViewController;
}

// The two pages every screen may leave for, whatever road it is on: a new home page and the
// login page, each as the key window's new root. The application installs how they are made
// at start-up (the screens that make them sit above the core); a leave without them installed
// is logged as an error and changes nothing.
class ApplicationRoutes {
public:
    using Maker = std::function<std::shared_ptr<ui::ViewController>()>;

    static void install(Maker homePage, Maker loginPage);
    static void reset();

    // A new home page (or login page) in a new CustomNavigationController as the key window's
    // root; false (logged) when there is no key window or nothing to make it with.
    static bool leaveForNewHomePage();
    static bool leaveForLoginPage();
    // The way back of a screen a push opened: when it lies over the driver's screen (presented),
    // it closes and leaves the driver where they were; otherwise leaveForNewHomePage.
    static bool closeOrLeaveForNewHomePage(ui::ViewController& screen);
};
