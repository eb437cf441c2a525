#include "AppTest.h"

#include "core/AppConfig.h"
#include "core/ApplicationRoutes.h"
#include "core/RequestManager.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Dispatch.h"
#include "platform/media/AssetsLibrary.h"
#include "platform/media/CameraSimulation.h"
#include "platform/media/DeviceOrientation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "support/NamedTestScreen.h"
#include "tools/server/ServerConfig.h"

void AppTest::SetUp() {
    PlatformTest::SetUp();
    ui::resetForTests();
    ProgressHUD::resetForTesting();
    ScreenRegistry::reset();
    UserDateSingleton::shareUserDateInstance().reset();
}

void AppTest::TearDown() {
    closeWindow();
    ApplicationRoutes::reset();
    ProgressHUD::resetForTesting();
    ui::resetForTests();
    ScreenRegistry::reset();
    UserDateSingleton::shareUserDateInstance().reset();
    server.stop();
    AppConfig::reset();
    PlatformTest::TearDown();
}

void AppTest::signInDemoUser() {
    auto& state = UserDateSingleton::shareUserDateInstance();
    state.setUserid(std::string(standin::kDemoUserId));
    state.setSn(standin::signatureFor(standin::kDemoUserId));
}

void AppTest::startServer() {
    ASSERT_TRUE(server.start());
    AppConfig::setHost("127.0.0.1");
    AppConfig::setPort(server.port());
}

void AppTest::showInWindow(std::shared_ptr<ui::ViewController> root, bool settle) {
    navigation = std::make_shared<CustomNavigationController>(std::move(root));
    window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
    window->setRootViewController(navigation);
    window->makeKeyAndVisible();
    if (settle) drain();
}

void AppTest::closeWindow() {
    navigation.reset();
    window.reset();
    home.reset();
}

void AppTest::showStandInHome() {
    for (std::string name : {"HomeViewController", "LoginViewController"}) {
        ScreenRegistry::registerFactory(name, [this, name](ScreenArguments& arguments) {
            ++made[name];
            return std::make_shared<NamedTestScreen>(name, arguments.all());
        });
    }
    ApplicationRoutes::install([] { return ScreenRegistry::make("HomeViewController"); },
                               [] { return ScreenRegistry::make("LoginViewController"); });
    home = ScreenRegistry::make("HomeViewController");
    showInWindow(home);
}

void AppTest::resetPhone() {
    media::resetCameraSimulation();
    media::CameraScene::shared().reset();
    media::setPhotoAlbumSimulation({});
    media::Device::current().setOrientation(media::DeviceOrientation::Portrait);
}

void AppTest::finishTransitions() {
    driver.finishTransitions();
    if (auto nav = shownNavigation()) nav->finishTransition();
    drain();
}

void AppTest::settleRequests() {
    EXPECT_TRUE(driver.settleAll()) << "work still in flight";
    finishTransitions();
}

void AppTest::settle() { driver.settleQueues(); }

std::vector<std::string> AppTest::stackNames() const {
    std::vector<std::string> names;
    if (auto nav = shownNavigation())
        for (const auto& screen : nav->viewControllers()) names.push_back(screen->className());
    return names;
}

void AppTest::tapAndSettle(const std::string& title) {
    auto outcome = driver.tap(title);
    ASSERT_TRUE(outcome) << outcome;
    finishTransitions();
}
