#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/CustomNavigationController.h"
#include "core/ScreenRegistry.h"
#include "platform/testing/Driver.h"
#include "platform/ui/Window.h"
#include "support/PlatformTest.h"
#include "tools/server/StandInServer.h"

// The base of the screen tests: the application's shared state as a fresh launch has it.
// SetUp clears windows, alerts, storyboards and the keyboard, the HUDs, the screen registry
// and the user state. Pieces a fixture takes as it needs: the demo account signed in, the
// stand-in server started with AppConfig pointing at it, a key window over a navigation
// controller. TearDown closes the window, clears the same state again, stops the server and
// puts AppConfig back.
class AppTest : public PlatformTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The demo account's id and signature in the user state.
    static void signInDemoUser();
    // Starts the stand-in server and points AppConfig at it (a fatal failure if it cannot listen).
    void startServer();
    // `root` at the bottom of a new navigation controller in a new key window; the main queue
    // drained afterwards unless `settle` is false.
    void showInWindow(std::shared_ptr<ui::ViewController> root, bool settle = true);
    // Lets go of the window, its navigation controller and the home page.
    void closeWindow();
    // The home and login pages as stand-ins (NamedTestScreen keeping the arguments they were
    // opened with), counted in `made` as the registry makes them; the ways home and to the login
    // page go through the registry; `home` such a page at the bottom of a new key window.
    void showStandInHome();
    // The stand-in phone's camera, album and orientation back to their defaults.
    static void resetPhone();

    // The navigation controller the helpers below work on: `navigation` unless a fixture says otherwise.
    virtual std::shared_ptr<ui::NavigationController> shownNavigation() const { return navigation; }
    // Ends a running push or pop and lets the work it posted run.
    virtual void finishTransitions();
    // Waits until every request has been answered and its completion has run.
    void settleRequests();
    // Lets the dispatch queues finish and the main queue run, twice, without moving the clock.
    void settle();

    // Pushes a screen made through the registry and lets it appear.
    template <class T>
    std::shared_ptr<T> open(const std::string& className, const nlohmann::json& arguments) {
        auto screen = std::dynamic_pointer_cast<T>(ScreenRegistry::make(className, arguments));
        EXPECT_NE(screen, nullptr) << className;
        if (!screen) return nullptr;
        navigation->pushViewController(screen, true);
        finishTransitions();
        return screen;
    }
    template <class T = ui::ViewController>
    std::shared_ptr<T> top() const {
        auto nav = shownNavigation();
        return nav ? std::dynamic_pointer_cast<T>(nav->topViewController()) : nullptr;
    }
    std::vector<std::string> stackNames() const;

    // Taps a control by its title and lets the push it starts finish.
    void tapAndSettle(const std::string& title);
    // Turns the run loop until the condition holds (replies arrive from the network thread).
    bool waitFor(const std::function<bool()>& condition) { return driver.waitUntil(condition, 10); }

    standin::StandInServer server;
    driver::Driver driver;
    std::shared_ptr<ui::ViewController> home;
    std::shared_ptr<CustomNavigationController> navigation;
    std::shared_ptr<ui::Window> window;
    std::map<std::string, int> made;
};
