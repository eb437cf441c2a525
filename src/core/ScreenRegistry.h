#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/CaseMode.h"

namespace foundation {
class Timer;
}
namespace ui {
class ViewController;
}

// A wrong argument of a screen opened by name.
class ScreenArgumentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The arguments of a screen opened by name, read strictly: a missing required argument, one
// of the wrong type or a name the screen does not know is an error (ScreenArgumentError),
// never a default.
class ScreenArguments {
public:
    // One argument a factory reads, as a listing records it.
    struct Described {
        std::string key;
        std::string kind;  // "text", "flag", "practice flag", "dictionary" or "any"
        bool required = false;
        std::string fallback;  // what an absent optional argument means ("" when nothing)
    };

    // `arguments` must be null (no arguments) or a dictionary.
    ScreenArguments(std::string screen, const nlohmann::json& arguments);
    // A listing: every accessor records what it reads and answers a harmless value instead of
    // failing, so that a factory run with it tells which arguments the screen takes.
    static ScreenArguments listing(std::string screen);
    const std::vector<Described>& described() const { return described_; }

    // A required text.
    std::string text(const std::string& key) const;
    // A text that may be absent or null.
    std::optional<std::string> optionalText(const std::string& key) const;
    // A true/false value; absent gives `fallback` when there is one, else it is an error.
    bool flag(const std::string& key, std::optional<bool> fallback = std::nullopt) const;
    // The practice flag: the number 1 (a real case) or 0 (practice); absent gives `fallback`
    // when there is one.
    CaseMode caseMode(const std::string& key, std::optional<CaseMode> fallback = std::nullopt) const;
    // A dictionary; absent or null gives null when not required.
    nlohmann::json dictionary(const std::string& key, bool required) const;
    // Any value (absent gives null).
    nlohmann::json any(const std::string& key) const;
    // Every argument as given, all of them counted as read (stand-in screens of tests).
    nlohmann::json all() const;
    // Fails on any argument that no accessor above has read (a misspelt name).
    void finish() const;

    const std::string& screen() const { return screen_; }

private:
    const nlohmann::json* find(const std::string& key) const;
    [[noreturn]] void fail(const std::string& what) const;

    void describe(const std::string& key, const char* kind, bool required, std::string fallback = "") const;

    std::string screen_;
    nlohmann::json arguments_;
    mutable std::set<std::string> read_;
    bool listing_ = false;
    mutable std::vector<Described> described_;
};

// Screens opened by their class name: the launch choice, the push router and the simulator's
// `open` command. The application fills it in one place at start-up; nothing else registers.
// A factory reads its arguments through ScreenArguments; every failure (an unknown name, a bad
// argument, a factory that throws or makes nothing) is logged as an error and gives null.
class ScreenRegistry {
public:
    using Factory = std::function<std::shared_ptr<ui::ViewController>(ScreenArguments& arguments)>;

    // Replaces an earlier factory of the same name.
    static void registerFactory(const std::string& className, Factory factory);
    static void unregisterFactory(const std::string& className);
    static bool isRegistered(const std::string& className);
    static std::shared_ptr<ui::ViewController> make(const std::string& className,
                                                    const nlohmann::json& arguments = nullptr);
    static std::vector<std::string> registeredNames();
    // The arguments the screen's factory reads, in the order it reads them (empty for an unknown
    // name or a screen that takes none).
    static std::vector<ScreenArguments::Described> argumentsOf(const std::string& className);
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
