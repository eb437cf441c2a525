#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace foundation {
class Timer;
}
namespace ui {
class ViewController;
}

// Screens the application core opens by class name without linking the libraries that hold
// them (the launch choice, the push router). Each screen library registers its factories from
// an explicit registration function that the program calls at start-up.
//
// The arguments each name receives:
//   "NewFeatureController", "HomeViewController", "LoginViewController": none (null).
//   "PromptResultViewController": {"accidentno": string or null, "isShowBtn": bool, "simualateState": int}
//   "ChatViewController": {"dict": the push content (any JSON)}
//   "NotificationInfoViewController": {"type": the push key (string), "content": the push content (any JSON)}
class ScreenRegistry {
public:
    using Factory = std::function<std::shared_ptr<ui::ViewController>(const nlohmann::json& arguments)>;

    // Replaces an earlier factory of the same name.
    static void registerFactory(const std::string& className, Factory factory);
    static void unregisterFactory(const std::string& className);
    static bool isRegistered(const std::string& className);
    // A new screen of that class, or null (logged) when none is registered or the factory fails.
    static std::shared_ptr<ui::ViewController> make(const std::string& className,
                                                    const nlohmann::json& arguments = nullptr);
    static std::vector<std::string> registeredNames();
    // Forgets every factory (tests).
    static void reset();
};

// A screen that polls on a repeating timer kept in `timer`: the application stops that timer
// when it goes to the background with the screen on top.
class TimerHoldingScreen {
public:
    virtual ~TimerHoldingScreen() = default;
    virtual std::shared_ptr<foundation::Timer>& timer() = 0;
};
