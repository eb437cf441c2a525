#pragma once
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "capture/camera/PhotoCapViewController.h"
#include "app/Navigator.h"
#include "app/CaseRoad.h"
#include "capture/entry/DangrousTipViewController.h"
#include "capture/entry/SingleDoubleAccidentViewController.h"
#include "core/AppConfig.h"
#include "core/BaseViewController.h"
#include "core/FailedImageRetry.h"
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
#include "support/PhotoCapTestAPI.h"
#include "support/NamedTestScreen.h"
#include "tools/server/ServerConfig.h"

// The accident entry in a key window over the stand-in server, with the signed-in demo user at
// a known position. Home, login, vehicle choice and situation are test screens; the parties'
// form is a test storyboard that counts the screens it made.
class EntryTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        FailedImageStore::resetForTesting();
        FailedImageRetry::shared().reset();
        resetPhone();
        signInDemoUser();
        auto& state = UserDateSingleton::shareUserDateInstance();
        state.setLongitude(std::string("116.397500"));
        state.setLatitude(std::string("39.908700"));
        ASSERT_NO_FATAL_FAILURE(startServer());

        for (const char* name : {"DangrousTipViewController", "CallPoliceTipsViewController",
                                 "AccidentTreatmentTipsController", "SingleDoubleAccidentViewController"}) {
            std::string n = name;
            ScreenRegistry::registerFactory(n, [this, n](ScreenArguments& arguments) -> std::shared_ptr<ui::ViewController> {
                if (n == "DangrousTipViewController") return makeRoad(arguments.caseMode("simulateState"))->makeDangrousTip();
                auto road = makeRoad(arguments.caseMode("simulateNormal"));
                if (n == "CallPoliceTipsViewController") return road->makeCallPoliceTips();
                if (n == "AccidentTreatmentTipsController") return road->makeTreatmentTips();
                return road->makeAccidentKind();
            });
        }
        showStandInHome();
    }
    void TearDown() override {
        foundation::dispatch::waitIdle();
        drain();
        closeWindow();
        FailedImageStore::resetForTesting();
        FailedImageRetry::shared().reset();
        resetPhone();
        AppTest::TearDown();
    }

    // The road of a case with stand-ins for the screens of other libraries: the vehicle list,
    // the parties' form and (unless `situationBuilt` is false) the situation choice keep what
    // they were handed.
    std::shared_ptr<CaseRoad> makeRoad(CaseMode mode) {
        auto road = std::make_shared<CaseRoad>(mode);
        const int flag = practiceFlag(mode);
        road->standIns.carList = [flag](bool carCount) {
            return std::make_shared<NamedTestScreen>("CarListViewController",
                                                     nlohmann::json{{"simulateNormal", flag}, {"carCount", carCount}});
        };
        road->standIns.clientForm = [this, flag](bool carCount) {
            ++clientFormsMade;
            return std::make_shared<NamedTestScreen>("ClientViewController",
                                                     nlohmann::json{{"simulateNormal", flag}, {"carCount", carCount}});
        };
        std::weak_ptr<CaseRoad> weakRoad = road;
        road->standIns.situation = [this, flag, weakRoad]() -> std::shared_ptr<ui::ViewController> {
            if (!situationBuilt) {
                auto r = weakRoad.lock();
                return r ? r->makeSituation() : nullptr;
            }
            return std::make_shared<NamedTestScreen>("SituationViewController", nlohmann::json{{"simulateState", flag}});
        };
        return road;
    }

    std::shared_ptr<SingleDoubleAccidentViewController> openAccidentKind(int flag) {
        return open<SingleDoubleAccidentViewController>("SingleDoubleAccidentViewController", {{"simulateNormal", flag}});
    }

    // One shot of the camera on top: the shutter, the pipeline, then the step advance a second later.
    void shoot() {
        auto camera = top<PhotoCapViewController>();
        ASSERT_NE(camera, nullptr) << "top screen is " << navigation->topViewController()->className();
        auto outcome = driver.tap(PhotoCapTestAPI(camera).shutterButton());
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
    bool situationBuilt = true;
};
