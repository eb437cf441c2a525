#pragma once
#include <functional>
#include <string>

namespace foundation {

// Work in flight outside the run loop's own queue that someone reading the screen waits for:
// requests on the network, downloads. Each component that starts such work registers one
// probe once (by name: a second registration under a name replaces the first); the test
// driver and the simulator wait until no probe reports work before they read the screen.
void registerActivityProbe(const std::string& name, std::function<bool()> busy);
// True while any probe reports work; `which` (when given) names the first busy one.
bool activityInFlight(std::string* which = nullptr);

}  // namespace foundation
