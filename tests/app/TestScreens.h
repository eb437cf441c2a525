#pragma once
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "core/BaseViewController.h"
#include "support/NamedTestScreen.h"
#include "core/ScreenRegistry.h"
#include "platform/foundation/RunLoop.h"


// A waiting screen that polls on a timer.
class PollingTestScreen : public NamedTestScreen, public TimerHoldingScreen {
public:
    using NamedTestScreen::NamedTestScreen;
    std::shared_ptr<foundation::Timer>& timer() override { return timer_; }
    void startPolling() {
        timer_ = foundation::RunLoop::main().scheduleTimer(2.0, true, [this](foundation::Timer&) { ++ticks; });
    }
    int ticks = 0;

private:
    std::shared_ptr<foundation::Timer> timer_;
};

// Registers a test screen under each name the application core opens.
inline void registerTestScreens() {
    for (const char* name : {"NewFeatureController", "HomeViewController", "LoginViewController",
                             "PromptResultViewController", "ChatViewController", "NotificationInfoViewController"}) {
        std::string n = name;
        ScreenRegistry::registerFactory(n, [n](ScreenArguments& arguments) {
            return std::make_shared<NamedTestScreen>(n, arguments.all());
        });
    }
    for (const char* name : {"TrafficPoliceViewController", "WaitTipViewController"}) {
        std::string n = name;
        ScreenRegistry::registerFactory(n, [n](ScreenArguments& arguments) {
            return std::make_shared<PollingTestScreen>(n, arguments.all());
        });
    }
}
