#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/ViewController.h"

namespace ui {

// Named storyboards: a screen that the application builds "from a storyboard" registers a
// factory under the storyboard's name (and, optionally, further screens under identifiers).
// Registration is explicit (call it from the screen library's registration function at
// start-up): static registration objects in static libraries are dropped by the linker.
class Storyboard {
public:
    using Factory = std::function<std::shared_ptr<ViewController>()>;

    static void registerFactory(const std::string& storyboardName, Factory initial);
    static void registerFactory(const std::string& storyboardName, const std::string& identifier, Factory factory);
    static bool isRegistered(const std::string& storyboardName);
    // Null (and logged) when nothing is registered under the name.
    static std::shared_ptr<Storyboard> storyboardWithName(const std::string& name);
    static void reset();

    const std::string& name() const { return name_; }
    // A new screen from the initial factory (null when there is none).
    std::shared_ptr<ViewController> instantiateInitialViewController() const;
    std::shared_ptr<ViewController> instantiateViewControllerWithIdentifier(const std::string& identifier) const;

    explicit Storyboard(std::string name) : name_(std::move(name)) {}

private:
    std::string name_;
};

}  // namespace ui
