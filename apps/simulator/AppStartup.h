#pragma once
#include <optional>
#include <string>

#include "core/ServerAddress.h"

namespace simulator {

// What the simulator prepared before the application starts: the sandbox, the clock, the
// camera, microphone and position are set up already; this says where the server is and
// which account the installation has.
struct StartupContext {
    ServerAddress server;                       // http://127.0.0.1:PORT for the built-in stand-in server
    std::optional<std::string> accountUserId;   // none: the demonstration account
    std::optional<std::string> accountPhone;
    bool noAccount = false;
    bool firstLaunch = false;
    // Only the placeholder screen, not the application (walks of the simulator itself).
    bool placeholderOnly = false;
};

// Starts the application on the shared ui::Application: installs its delegate and launches
// it, so that a key window with the root screen shows. The one place that knows how the
// application starts. False (and `error`) when it could not.
bool startApplication(const StartupContext& context, std::string& error);

}  // namespace simulator
