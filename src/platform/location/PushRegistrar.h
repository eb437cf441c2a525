#pragma once

namespace push {

// Answers ui::Application::registerForRemoteNotifications() with the fixed device token
// (its 64-digit lower-case hexadecimal text) through the application delegate, on the main
// loop; when failing is switched on, with the registration error. The testing driver and
// the simulator call it at start (and again after ui::resetForTests()).
void installRemoteNotificationRegistrar();

}  // namespace push
