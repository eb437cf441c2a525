#include "support/PlatformTest.h"

#include "platform/location/PushRegistrar.h"
#include "platform/location/RemoteNotifications.h"
#include "platform/ui/Application.h"

namespace {

struct Delegate : ui::ApplicationDelegate {
    bool didFinishLaunching(const nlohmann::json&) override { return true; }
    void didRegisterForRemoteNotificationsWithDeviceToken(const std::string& token) override { tokens.push_back(token); }
    void didFailToRegisterForRemoteNotificationsWithError(const std::string& error) override { errors.push_back(error); }
    std::vector<std::string> tokens, errors;
};

class PushRegistrarTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        push::RemoteNotifications::reset();
        push::installRemoteNotificationRegistrar();
        ui::Application::shared().setDelegate(delegate);
    }
    void TearDown() override {
        ui::resetForTests();
        push::RemoteNotifications::reset();
        PlatformTest::TearDown();
    }
    std::shared_ptr<Delegate> delegate = std::make_shared<Delegate>();
};

}  // namespace

TEST_F(PushRegistrarTest, TheDelegateReceivesTheDeviceToken) {
    ui::Application::shared().registerForRemoteNotifications();
    ASSERT_TRUE(runUntil([&] { return !delegate->tokens.empty(); }));
    EXPECT_EQ(delegate->tokens, (std::vector<std::string>{push::RemoteNotifications::deviceTokenHex()}));
    EXPECT_TRUE(delegate->errors.empty());
}

TEST_F(PushRegistrarTest, AFailedRegistrationReachesTheDelegate) {
    push::RemoteNotifications::setRegistrationFails(true);
    ui::Application::shared().registerForRemoteNotifications();
    ASSERT_TRUE(runUntil([&] { return !delegate->errors.empty(); }));
    EXPECT_TRUE(delegate->tokens.empty());
}
