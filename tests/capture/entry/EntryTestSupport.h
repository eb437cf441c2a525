#pragma once
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "capture/camera/PhotoCapViewController.h"
#include "capture/entry/CaptureEntryScreens.h"
#include "capture/entry/CaseFlowScreens.h"
#include "capture/entry/SingleDoubleAccidentViewController.h"
#include "core/AppConfig.h"
#include "core/BaseViewController.h"
#include "core/CustomNavigationController.h"
#include "core/FailedImageStore.h"
#include "core/ScreenRegistry.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Dispatch.h"
#include "platform/media/AssetsLibrary.h"
#include "platform/media/CameraSimulation.h"
#include "platform/media/DeviceOrientation.h"
#include "platform/testing/Driver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "support/PlatformTest.h"
#include "tools/server/ServerConfig.h"
#include "tools/server/StandInServer.h"

// A screen of another library, made under its class name; it keeps what its opener handed it.
class FlowTestScreen : public BaseViewController, public CaseFlowScreen {
public:
    FlowTestScreen(std::string name, nlohmann::json arguments) : arguments(std::move(arguments)), name_(std::move(name)) {}
    std::string className() const override { return name_; }
    void setSimulateNormal(int value) override { simulateNormal = value; }
    void setCarCount(bool value) override { carCount = value; }

    nlohmann::json arguments;
    int simulateNormal = -1;
    bool carCount = true;

private:
    std::string name_;
};

// The accident entry in a key window over the stand-in server, with the signed-in demo user at
// a known position. Home, login, vehicle choice and situation are test screens; the parties'
// form is a test storyboard that counts the screens it made.
class EntryTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        ProgressHUD::resetForTesting();
        FailedImageStore::resetForTesting();
        ScreenRegistry::reset();
        resetPhone();
        auto& state = UserDateSingleton::shareUserDateInstance();
        state.reset();
        state.setUserid(std::string(standin::kDemoUserId));
        state.setSn(standin::signatureFor(standin::kDemoUserId));
        state.setLongitude(std::string("116.397500"));
        state.setLatitude(std::string("39.908700"));
        ASSERT_TRUE(server.start());
        AppConfig::setHost("127.0.0.1");
        AppConfig::setPort(server.port());

        registerCaptureEntryScreens();
        for (const char* name : {"HomeViewController", "LoginViewController", caseflow::kCarListScreen}) {
            std::string n = name;
            ScreenRegistry::registerFactory(n, [n](const nlohmann::json& arguments) {
                return std::make_shared<FlowTestScreen>(n, arguments);
            });
        }
        registerSituation();
        ui::Storyboard::registerFactory(caseflow::kClientStoryboard, [this] {
            ++clientFormsMade;
            return std::make_shared<FlowTestScreen>(caseflow::kClientStoryboard, nullptr);
        });

        home = ScreenRegistry::make("HomeViewController");
        navigation = std::make_shared<CustomNavigationController>(home);
        window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        drain();
    }
    void TearDown() override {
        foundation::dispatch::waitIdle();
        drain();
        navigation.reset();
        window.reset();
        home.reset();
        ProgressHUD::resetForTesting();
        ui::resetForTests();
        ScreenRegistry::reset();
        FailedImageStore::resetForTesting();
        UserDateSingleton::shareUserDateInstance().reset();
        resetPhone();
        server.stop();
        AppConfig::reset();
        PlatformTest::TearDown();
    }

    static void resetPhone() {
        media::resetCameraSimulation();
        media::CameraScene::shared().reset();
        media::setPhotoAlbumSimulation({});
        media::Device::current().setOrientation(media::DeviceOrientation::Portrait);
    }

    void registerSituation() {
        ScreenRegistry::registerFactory(SingleDoubleAccidentViewController::kSituationScreen,
                                        [](const nlohmann::json& arguments) {
                                            return std::make_shared<FlowTestScreen>(
                                                SingleDoubleAccidentViewController::kSituationScreen, arguments);
                                        });
    }

    // Pushes a screen made through the registry on the home page and lets it appear.
    template <class T>
    std::shared_ptr<T> open(const std::string& className, const nlohmann::json& arguments) {
        auto screen = std::dynamic_pointer_cast<T>(ScreenRegistry::make(className, arguments));
        EXPECT_NE(screen, nullptr) << className;
        if (!screen) return nullptr;
        navigation->pushViewController(screen, true);
        finishTransitions();
        return screen;
    }
    std::shared_ptr<SingleDoubleAccidentViewController> openAccidentKind(int flag) {
        return open<SingleDoubleAccidentViewController>("SingleDoubleAccidentViewController", {{"simulateNormal", flag}});
    }

    // Ends a running push or pop and lets the work it posted run.
    void finishTransitions() {
        drain();
        navigation->finishTransition();
        drain();
    }
    std::vector<std::string> stackNames() const {
        std::vector<std::string> names;
        for (const auto& screen : navigation->viewControllers()) names.push_back(screen->className());
        return names;
    }
    template <class T>
    std::shared_ptr<T> top() const {
        return std::dynamic_pointer_cast<T>(navigation->topViewController());
    }

    // Taps a control by its title and lets the push it starts finish.
    void tapAndSettle(const std::string& title) {
        auto outcome = driver.tap(title);
        ASSERT_TRUE(outcome) << outcome;
        finishTransitions();
    }
    // Turns the run loop until the condition holds (replies arrive from the network thread).
    bool waitFor(const std::function<bool()>& condition) { return driver.waitUntil(condition, 10); }

    // Lets the camera's shot pipeline and hand-back finish and the main queue run.
    void settleShots() {
        foundation::dispatch::waitIdle();
        drain();
        foundation::dispatch::waitIdle();
        drain();
    }
    // One shot of the camera on top: the shutter, the pipeline, then the step advance a second later.
    void shoot() {
        auto camera = top<PhotoCapViewController>();
        ASSERT_NE(camera, nullptr) << "top screen is " << navigation->topViewController()->className();
        auto outcome = driver.tap(camera->shutterButton());
        ASSERT_TRUE(outcome) << outcome;
        settleShots();
        advance(1.0);
        settleShots();
        finishTransitions();
    }
    // The step codes of the uploads the server received, in arrival order.
    std::vector<std::string> uploadedCodes() const {
        std::vector<std::string> codes;
        for (const auto& request : server.requests("image")) codes.push_back(request.param("imagetype").value_or("?"));
        return codes;
    }

    standin::StandInServer server;
    driver::Driver driver;
    std::shared_ptr<ui::ViewController> home;
    std::shared_ptr<CustomNavigationController> navigation;
    std::shared_ptr<ui::Window> window;
    int clientFormsMade = 0;
};
