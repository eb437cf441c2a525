#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/AppConfig.h"
#include "core/BaseViewController.h"
#include "core/RequestManager.h"
#include "core/ScreenRegistry.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "app/ApplicationScreens.h"
#include "platform/foundation/Dispatch.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextInput.h"
#include "platform/ui/Window.h"
#include "support/AppTest.h"
#include "support/FollowupTestAPI.h"
#include "support/NamedTestScreen.h"
#include "tools/server/ServerConfig.h"

// The follow-up screens in a key window over the stand-in server: a signed-in demo user with a
// current case at a known position, a home page at the root of the navigation stack.
class FollowupTest : public AppTest {
protected:
    static constexpr const char* kCase = "BJ202612070007";

    void SetUp() override {
        AppTest::SetUp();
        ui::Keyboard::setCurrentInputModeLanguage("en-US");
        signInDemoUser();
        auto& state = UserDateSingleton::shareUserDateInstance();
        state.setPhoneNumber(std::string(standin::kDemoPhone));
        state.setAccidentno(std::string(kCase));
        state.setCarno(std::string("京A12345"));
        state.setLongitude(std::string("116.397500"));
        state.setLatitude(std::string("39.908700"));
        // No claim result unless a test scripts one.
        server.withState([](standin::SimulatedState& s) { s.data["claimResultAfterPolls"] = 1000000; });
        ASSERT_NO_FATAL_FAILURE(startServer());

        registerApplicationScreens();
        showStandInHome();
    }
    void TearDown() override {
        settleRequests();
        ui::AlertView::resetAll();
        AppTest::TearDown();  // the keyboard back to "en-US" with the rest of the interface
    }

    // The insurer record openers pass.
    static nlohmann::json insurer() {
        return {{"inscomname", "中国人民财产保险股份有限公司"},
                {"inscomcode", "PICC"},
                {"insphone", "95518"},
                {"insreporttel", "95518"}};
    }

    // The navigation controller at the key window's root now (a new one after leaving for home).
    std::shared_ptr<ui::NavigationController> rootNavigation() const {
        auto key = ui::Application::shared().keyWindow();
        return key ? std::dynamic_pointer_cast<ui::NavigationController>(key->rootViewController()) : nullptr;
    }
    // The base's helpers (open, top, stackNames, finishTransitions) follow this one, not the first.
    std::shared_ptr<ui::NavigationController> shownNavigation() const override { return rootNavigation(); }
    std::string topName() const {
        auto nav = rootNavigation();
        return nav && nav->topViewController() ? nav->topViewController()->className() : "";
    }
    // The window shows a new home page: a new navigation controller whose only screen is a new
    // home page.
    bool onNewHomePage() const {
        auto nav = rootNavigation();
        return nav && nav != navigation && nav->viewControllers().size() == 1 &&
               nav->topViewController()->className() == "HomeViewController" &&
               nav->topViewController() != home;
    }

    // Waits until every request under way has answered and its completion has run (in place of
    // the base's: here a completion may start another request).
    void settleRequests() {
        // A completion may start another request (a screen it opens polls at once).
        auto client = RequestManager::shareRequestManager().client();
        for (int round = 0; round < 20; ++round) {
            loop().runUntil([&] { return client->activeTransfers() == 0; }, 10);
            drain();
            finishTransitions();
            if (client->activeTransfers() == 0) break;
        }
    }
    // Moves the manual clock in steps of a poll, letting each poll's reply arrive.
    void pollTicks(int ticks, double interval = 5.0) {
        for (int i = 0; i < ticks; ++i) {
            advance(interval);
            settleRequests();
        }
    }

    static std::string toast() {
        auto hud = ProgressHUD::current();
        return hud && hud->isToast() ? hud->text() : "";
    }
};
