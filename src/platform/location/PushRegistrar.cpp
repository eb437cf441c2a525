#include "platform/location/PushRegistrar.h"

#include "platform/location/RemoteNotifications.h"
#include "platform/ui/Application.h"

namespace push {

void installRemoteNotificationRegistrar() {
    ui::Application::shared().setRemoteNotificationRegistrar([](ui::Application&) {
        RemoteNotifications::registerForRemoteNotificationTypes(
            Badge | Sound | Alert, [](std::optional<std::string> token, std::optional<location::Error> error) {
                auto& app = ui::Application::shared();
                if (token) {
                    app.deliverDeviceToken(RemoteNotifications::deviceTokenHex());
                } else {
                    app.deliverRegistrationError(error ? error->localizedDescription : std::string("registration failed"));
                }
            });
    });
}

}  // namespace push
