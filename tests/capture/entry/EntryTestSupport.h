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
#include "core/FailedImageStore.h"
#include "core/ScreenRegistry.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Dispatch.h"
#include "platform/media/AssetsLibrary.h"
#include "platform/media/CameraSimulation.h"
#include "platform/media/DeviceOrientation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "support/AppTest.h"
#include "tools/server/ServerConfig.h"

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
class EntryTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        FailedImageStore::resetForTesting();
        resetPhone();
        signInDemoUser();
        auto& state = UserDateSingleton::shareUserDateInstance();
        state.setLongitude(std::string("116.397500"));
        state.setLatitude(std::string("39.908700"));
        ASSERT_NO_FATAL_FAILURE(startServer());

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
        showInWindow(home);
    }
    void TearDown() override {
        foundation::dispatch::waitIdle();
        drain();
        closeWindow();
        FailedImageStore::resetForTesting();
        resetPhone();
        AppTest::TearDown();
    }

    void registerSituation() {
        ScreenRegistry::registerFactory(SingleDoubleAccidentViewController::kSituationScreen,
                                        [](const nlohmann::json& arguments) {
                                            return std::make_shared<FlowTestScreen>(
                                                SingleDoubleAccidentViewController::kSituationScreen, arguments);
                                        });
    }

    std::shared_ptr<SingleDoubleAccidentViewController> openAccidentKind(int flag) {
        return open<SingleDoubleAccidentViewController>("SingleDoubleAccidentViewController", {{"simulateNormal", flag}});
    }

    // One shot of the camera on top: the shutter, the pipeline, then the step advance a second later.
    void shoot() {
        auto camera = top<PhotoCapViewController>();
        ASSERT_NE(camera, nullptr) << "top screen is " << navigation->topViewController()->className();
        auto outcome = driver.tap(camera->shutterButton());
        ASSERT_TRUE(outcome) << outcome;
        settle();
        advance(1.0);
        settle();
        finishTransitions();
    }
    // The step codes of the uploads the server received, in arrival order.
    std::vector<std::string> uploadedCodes() const {
        std::vector<std::string> codes;
        for (const auto& request : server.requests("image")) codes.push_back(request.param("imagetype").value_or("?"));
        return codes;
    }

    int clientFormsMade = 0;
};
