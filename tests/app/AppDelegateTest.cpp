#include <gtest/gtest.h>

#include <atomic>

#include "app/AppDelegate.h"
#include "app/ApplicationScreens.h"
#include "app/TestScreens.h"
#include "core/AccountTool.h"
#include "core/AppConfig.h"
#include "core/CustomNavigationController.h"
#include "core/FailedImageRetry.h"
#include "core/FailedImageStore.h"
#include "core/RequestManager.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "liability/chat/ChatLog.h"
#include "liability/followup/PromptResultViewController.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/location/LocationManager.h"
#include "platform/location/PushRegistrar.h"
#include "platform/location/RemoteNotifications.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "support/HeldReply.h"
#include "support/PlatformTest.h"
#include "tools/server/StandInServer.h"

using nlohmann::json;

namespace {

json uploadRecord(const std::string& name) {
    return {{"userid", "10001"},     {"sn", standin::signatureFor("10001")}, {"appkey", "1039485726"},
            {"accidentno", "BJ202612070001"}, {"imagename", name}, {"contentdata", "%2F9j%2F4AAQ"},
            {"imagetype", "1"},      {"imagelon", "116.397500"}, {"imagelat", "39.908700"},
            {"imagedate", "2026-12-7 10:0:0"}, {"size", "30"}, {"flowtype", "0"}};
}

class AppDelegateTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        push::RemoteNotifications::reset();
        push::installRemoteNotificationRegistrar();
        ProgressHUD::resetForTesting();
        FailedImageStore::resetForTesting();
        FailedImageRetry::shared().reset();
        UserDateSingleton::shareUserDateInstance().reset();
        ScreenRegistry::reset();
        registerTestScreens();
        ASSERT_TRUE(server.start());
        AppConfig::setHost("127.0.0.1");
        AppConfig::setPort(server.port());
    }
    void TearDown() override {
        delegate.reset();
        ProgressHUD::resetForTesting();
        ui::resetForTests();
        ScreenRegistry::reset();
        UserDateSingleton::shareUserDateInstance().reset();
        FailedImageStore::resetForTesting();
        FailedImageRetry::shared().reset();
        server.stop();
        AppConfig::reset();
        PlatformTest::TearDown();
    }

    // Launches as a returning user (the guide seen) with or without a saved login.
    void launch(bool loggedIn = true, bool guideSeen = true) {
        if (guideSeen) foundation::UserDefaults::standard().setObject("version", AppDelegate::kBundleVersion);
        if (loggedIn) {
            AccountModel account;
            account.userid = "10001";
            account.sn = standin::signatureFor("10001");
            account.phoneNumber = "13800138000";
            ASSERT_TRUE(AccountTool::saveAccount(account));
        }
        delegate = std::make_shared<AppDelegate>();
        ui::Application::shared().setDelegate(delegate);
        ASSERT_TRUE(ui::Application::shared().launch());
    }

    std::shared_ptr<ui::ViewController> root() const { return ui::Application::shared().keyWindow()->rootViewController(); }
    std::shared_ptr<ui::NavigationController> rootNavigation() const {
        return std::dynamic_pointer_cast<ui::NavigationController>(root());
    }
    std::shared_ptr<ui::ViewController> topScreen() const {
        auto nav = rootNavigation();
        return nav ? nav->viewControllers().back() : root();
    }
    // The top screen when it is one of the named test screens.
    std::shared_ptr<NamedTestScreen> top() const { return std::dynamic_pointer_cast<NamedTestScreen>(topScreen()); }
    static json push(const json& key, const json& content) { return {{"aps", {{"key", key}, {"content", content}, {"badge", 1}}}}; }
    json failedFile() const { return json(FailedImageStore::records()); }

    standin::StandInServer server;
    std::shared_ptr<AppDelegate> delegate;
};

TEST_F(AppDelegateTest, FirstLaunchShowsTheGuideAndStoresTheVersion) {
    ui::Application::shared().setApplicationIconBadgeNumber(3);
    launch(false, false);
    auto& app = ui::Application::shared();
    auto window = app.keyWindow();
    ASSERT_EQ(window, delegate->window());
    EXPECT_FALSE(window->isHidden());
    EXPECT_EQ(window->backgroundColor(), ui::Color::grey(248.0 / 255));
    EXPECT_EQ(root()->className(), "NewFeatureController");
    EXPECT_EQ(foundation::UserDefaults::standard().stringForKey("version"), AppDelegate::kBundleVersion);
    EXPECT_EQ(app.applicationIconBadgeNumber(), 0);
    EXPECT_EQ(app.statusBarStyle(), ui::StatusBarStyle::LightContent);
    EXPECT_EQ(app.remoteRegistrationCount(), 1);
    // The device token arrives through the delegate.
    ASSERT_TRUE(runUntil([] { return UserDateSingleton::shareUserDateInstance().deviceToken().has_value(); }));
    EXPECT_EQ(UserDateSingleton::shareUserDateInstance().deviceToken(), push::RemoteNotifications::deviceTokenHex());
}

TEST_F(AppDelegateTest, ReturningUsersGetTheHomePageOrTheLoginScreen) {
    launch(true);
    auto nav = std::dynamic_pointer_cast<CustomNavigationController>(root());
    ASSERT_NE(nav, nullptr);
    EXPECT_EQ(topScreen()->className(), "HomeViewController");
    auto& state = UserDateSingleton::shareUserDateInstance();
    EXPECT_EQ(state.userid(), "10001");
    EXPECT_EQ(state.sn(), standin::signatureFor("10001"));
    EXPECT_EQ(state.phoneNumber(), "13800138000");

    ui::resetForTests();
    AccountTool::removeAccount();
    state.reset();
    launch(false);
    ASSERT_NE(std::dynamic_pointer_cast<CustomNavigationController>(root()), nullptr);
    EXPECT_EQ(topScreen()->className(), "LoginViewController");
    EXPECT_FALSE(state.userid().has_value());
}

TEST_F(AppDelegateTest, LaunchFixesThePositionAndRefreshesIt) {
    launch();
    auto& state = UserDateSingleton::shareUserDateInstance();
    EXPECT_FALSE(state.city().has_value());
    advance(location::locationSimulation().fixDelay);
    ASSERT_TRUE(runUntil([&] { return state.city().has_value(); }));
    EXPECT_EQ(state.longitude(), "116.397500");
    EXPECT_EQ(state.latitude(), "39.908700");
    EXPECT_EQ(state.city(), "北京市");
    EXPECT_TRUE(state.address().has_value());

    auto moved = location::locationSimulation();
    moved.coordinate = {39.95, 116.30};
    location::setLocationSimulation(moved);
    advance(AppDelegate::kLocationInterval + moved.fixDelay);
    ASSERT_TRUE(runUntil([&] { return state.latitude() == "39.950000"; }));
    EXPECT_EQ(state.longitude(), "116.300000");
}

TEST_F(AppDelegateTest, RetryKeepsFailingRecordsDropsSentOnesAndKeepsNewOnes) {
    ASSERT_TRUE(FailedImageStore::addRecord(uploadRecord("a.jpg")));
    ASSERT_TRUE(FailedImageStore::addRecord(uploadRecord("b.jpg")));
    // "a" goes through at once; "b" is lost in transport the first time, then accepted late.
    std::atomic<int> bTries{0};
    HeldReply late;
    server.scriptHandler("image", [&](const standin::RecordedRequest& request) {
        if (request.param("imagename") == "a.jpg") return standin::Reply::rescode("200", "成功");
        if (++bTries == 1) return standin::Reply::dropped();
        return late(standin::Reply::rescode("200", "成功"));
    });
    launch();
    advance(AppDelegate::kFailedImageFirstDelay - 0.1);
    EXPECT_EQ(server.count("image"), 0u);
    advance(0.1);
    // One at a time: "b" goes out once "a" is answered.
    ASSERT_TRUE(runUntil([&] { return server.count("image") == 2; }));
    ASSERT_TRUE(runUntil([&] { return failedFile() == json::array({uploadRecord("b.jpg")}); }));
    // Every field of the record went out as it was stored.
    const json expected = uploadRecord("b.jpg");
    for (const auto& request : server.requests("image")) {
        if (request.param("imagename") != "b.jpg") continue;
        EXPECT_EQ(request.method, "POST");
        for (const auto& [key, value] : expected.items()) {
            EXPECT_EQ(request.param(key), value.get<std::string>()) << key;
        }
    }
    ASSERT_NE(delegate->failedImageTimer(), nullptr);
    ASSERT_TRUE(runUntil([] { return !FailedImageRetry::shared().roundUnderWay(); }));

    // Second round, 120 s later: while "b" waits for its answer a new failure is stored.
    advance(AppDelegate::kFailedImageInterval);
    ASSERT_TRUE(server.waitForRequests("image", 3));
    ASSERT_TRUE(FailedImageStore::addRecord(uploadRecord("c.jpg")));
    late.release();
    ASSERT_TRUE(runUntil([&] { return failedFile() == json::array({uploadRecord("c.jpg")}); }));
}

TEST_F(AppDelegateTest, RefusedRecordsWaitLongerAfterEachRefusalAndLeaveOnlyOnAnAnswer) {
    ASSERT_TRUE(FailedImageStore::addRecord(uploadRecord("a.jpg")));
    server.script("image", standin::Reply::rescode("201", "上传失败"));
    launch();
    // Turns the clock and waits until the round it started has had its answers.
    auto imagesAfter = [&](double seconds) {
        advance(seconds);
        EXPECT_TRUE(runUntil([] { return !FailedImageRetry::shared().roundUnderWay(); }));
        drain();
        return server.count("image");
    };
    EXPECT_EQ(imagesAfter(AppDelegate::kFailedImageFirstDelay), 1u);  // refused at 10 s: waits 2 minutes
    std::vector<size_t> seen;
    for (int round = 0; round < 7; ++round) seen.push_back(imagesAfter(AppDelegate::kFailedImageInterval));
    // Rounds at 130 (sent, refused again: 4 minutes), 250, 370 (sent: 8 minutes), 490, 610, 730, 850 (sent).
    EXPECT_EQ(seen, (std::vector<size_t>{2, 2, 3, 3, 3, 3, 4}));
    EXPECT_EQ(failedFile(), json::array({uploadRecord("a.jpg")}));

    // Accepted after the next wait (16 minutes), then never sent again.
    server.script("image", standin::Reply::rescode("200", "成功"));
    size_t count = 0;
    for (int round = 0; round < 8; ++round) count = imagesAfter(AppDelegate::kFailedImageInterval);
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(failedFile(), json::array());
    EXPECT_EQ(imagesAfter(10 * AppDelegate::kFailedImageInterval), 5u);
}

TEST_F(AppDelegateTest, ClaimResultOpensThePromptInANewNavigationRoot) {
    launch();
    ui::Application::shared().setApplicationIconBadgeNumber(4);
    ui::Application::shared().receiveRemoteNotification(push("ClAIMRESULT", {{"accidentno", "BJ202612070001"}}));
    EXPECT_EQ(ui::Application::shared().applicationIconBadgeNumber(), 0);
    ASSERT_NE(std::dynamic_pointer_cast<CustomNavigationController>(root()), nullptr);
    ASSERT_EQ(rootNavigation()->viewControllers().size(), 1u);
    auto prompt = std::dynamic_pointer_cast<PromptResultViewController>(topScreen());
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->accidentno, "BJ202612070001");
    EXPECT_TRUE(prompt->isShowBtn);
    EXPECT_EQ(prompt->simualateState, CaseMode::Real);
}

TEST_F(AppDelegateTest, MessagesGoToTheChatOrAreKeptForIt) {
    ChatLog::shared().reset();
    launch();
    json message = {{"msgtype", "0"}, {"content", "请稍候"}, {"accidentno", "BJ1"}};

    // On the home page: kept for the chat of its case.
    ui::Application::shared().receiveRemoteNotification(push("MSG", message));
    EXPECT_EQ(ChatLog::shared().rows("BJ1").size(), 1u);

    // On the police wait: a chat is pushed with the message.
    auto nav = rootNavigation();
    nav->pushViewController(ScreenRegistry::make("TrafficPoliceViewController"), false);
    ui::Application::shared().receiveRemoteNotification(push("MSG", message));
    nav->finishTransition();
    ASSERT_EQ(top()->className(), "ChatViewController");
    EXPECT_EQ(top()->arguments, (json{{"dict", message}}));

    // In the chat: kept for it, which shows it at once.
    ui::Application::shared().receiveRemoteNotification(push("MSG", message));
    EXPECT_EQ(ChatLog::shared().rows("BJ1").size(), 2u);
    EXPECT_EQ(nav->viewControllers().size(), 3u);
    ChatLog::shared().reset();
}

TEST_F(AppDelegateTest, OtherKeysOpenTheNoticeAndSomeDoNothing) {
    launch();
    auto home = root();
    for (const char* key : {"HANDLEPAPER", "PHOTORESULT"}) {
        ui::Application::shared().receiveRemoteNotification(push(key, {{"accidentno", "BJ1"}}));
        EXPECT_EQ(root(), home) << key;
    }
    json content = {{"accidentno", "BJ1"}, {"content", "您的案件已撤销"}};
    ui::Application::shared().receiveRemoteNotification(push("CANCELCASE", content));
    ASSERT_NE(root(), home);
    EXPECT_EQ(top()->className(), "NotificationInfoViewController");
    EXPECT_EQ(top()->arguments, (json{{"type", "CANCELCASE"}, {"content", content}}));
}

TEST_F(AppDelegateTest, PayloadsOfTheWrongShapeAreIgnored) {
    launch();
    auto home = root();
    std::vector<json> hostile = {
        json(), json::array({1, 2}), json{{"aps", "text"}}, json{{"aps", {{"content", {{"accidentno", "1"}}}}}},
        push(42, {{"accidentno", "1"}}), push(json::array(), json::object()),
        push("ClAIMRESULT", "BJ1"), push("ClAIMRESULT", json::object()), push("ClAIMRESULT", {{"accidentno", json::array()}}),
        push("MSG", json::array({"x"})), push("CANCELCASE", 17), push("CANCELCASE", nullptr)};
    ChatLog::shared().reset();
    for (const auto& payload : hostile) {
        ui::Application::shared().receiveRemoteNotification(payload);
        EXPECT_EQ(root(), home) << payload.dump();
    }
    EXPECT_TRUE(ChatLog::shared().rows("").empty());
    // A screen no library registered is not opened either.
    ScreenRegistry::unregisterFactory("NotificationInfoViewController");
    ui::Application::shared().receiveRemoteNotification(push("CANCELCASE", {{"accidentno", "BJ1"}}));
    EXPECT_EQ(root(), home);
}

TEST_F(AppDelegateTest, BackgroundStopsWaitingScreensAndForegroundRestartsThem) {
    launch();
    auto nav = rootNavigation();
    auto waiting = std::dynamic_pointer_cast<PollingTestScreen>(ScreenRegistry::make("WaitTipViewController"));
    nav->pushViewController(waiting, false);
    waiting->startPolling();
    advance(2.0);
    EXPECT_EQ(waiting->ticks, 1);
    ASSERT_NE(delegate->locationTimer(), nullptr);

    int restarts = 0;
    foundation::NotificationCenter::defaultCenter().addObserver(
        "STARTTIMER", [&](const foundation::Notification& n) {
            ++restarts;
            EXPECT_EQ(n.object, nullptr);
        }, this);
    ui::Application::shared().enterBackground();
    EXPECT_EQ(waiting->timer(), nullptr);
    EXPECT_EQ(delegate->locationTimer(), nullptr);
    advance(10);
    EXPECT_EQ(waiting->ticks, 1);

    ui::Application::shared().enterForeground();
    EXPECT_EQ(restarts, 1);
    ASSERT_NE(delegate->locationTimer(), nullptr);
    EXPECT_TRUE(delegate->locationTimer()->isValid());
    foundation::NotificationCenter::defaultCenter().removeObserver(this);

    // Another screen on top keeps its timer.
    auto police = std::dynamic_pointer_cast<PollingTestScreen>(ScreenRegistry::make("TrafficPoliceViewController"));
    nav->pushViewController(police, false);
    police->startPolling();
    nav->pushViewController(ScreenRegistry::make("ChatViewController"), false);
    ui::Application::shared().enterBackground();
    EXPECT_NE(police->timer(), nullptr);
}

TEST_F(AppDelegateTest, ForegroundRegistersForPushOnlyWithoutAToken) {
    push::RemoteNotifications::setRegistrationFails(true);
    launch();
    drain();  // the refusal of the registration
    EXPECT_FALSE(UserDateSingleton::shareUserDateInstance().deviceToken().has_value());
    int before = ui::Application::shared().remoteRegistrationCount();
    ui::Application::shared().enterBackground();
    ui::Application::shared().enterForeground();
    EXPECT_EQ(ui::Application::shared().remoteRegistrationCount(), before + 1);

    push::RemoteNotifications::setRegistrationFails(false);
    ui::Application::shared().enterBackground();
    ui::Application::shared().enterForeground();
    ASSERT_TRUE(runUntil([] { return UserDateSingleton::shareUserDateInstance().deviceToken().has_value(); }));
    ui::Application::shared().enterBackground();
    ui::Application::shared().enterForeground();
    EXPECT_EQ(ui::Application::shared().remoteRegistrationCount(), before + 2);
}

}  // namespace
