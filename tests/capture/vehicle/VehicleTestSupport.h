#pragma once
#include <functional>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "capture/entry/CaseFlowScreens.h"
#include "capture/vehicle/CaptureVehicleScreens.h"
#include "capture/vehicle/CarListModel.h"
#include "capture/vehicle/VehicleFormScreen.h"
#include "core/AppConfig.h"
#include "core/BaseViewController.h"
#include "core/CustomNavigationController.h"
#include "core/RequestManager.h"
#include "core/ScreenRegistry.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"
#include "platform/testing/Driver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Window.h"
#include "support/PlatformTest.h"
#include "tools/server/ServerConfig.h"
#include "tools/server/StandInServer.h"

// The parties' form as the vehicle list opens it: keeps what it was handed.
class HandedForm : public BaseViewController, public CaseFlowScreen, public VehicleFormScreen {
public:
    std::string className() const override { return "ClientViewController"; }
    void setSimulateNormal(int value) override { simulateNormal = value; }
    void setCarCount(bool value) override { carCount = value; }
    void setCarlist(std::shared_ptr<CarListModel> value) override {
        carlist = std::move(value);
        carlistSet = true;
    }
    int simulateNormal = -1;
    bool carCount = false;
    bool carlistSet = false;
    std::shared_ptr<CarListModel> carlist;
};

// A plain page under the screens a test pushes.
class RootPage : public BaseViewController {
public:
    std::string className() const override { return "RootPage"; }
};

// The vehicle screens in a key window over the stand-in server, with the signed-in demo user.
class VehicleTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        ProgressHUD::resetForTesting();
        ScreenRegistry::reset();
        ui::Storyboard::reset();
        auto& state = UserDateSingleton::shareUserDateInstance();
        state.reset();
        state.setUserid(std::string(standin::kDemoUserId));
        state.setSn(standin::signatureFor(standin::kDemoUserId));
        state.setPhoneNumber(std::string(standin::kDemoPhone));
        ASSERT_TRUE(server.start());
        AppConfig::setHost("127.0.0.1");
        AppConfig::setPort(server.port());
        registerCaptureVehicleScreens();
        ui::Storyboard::registerFactory("ClientViewController", [this] {
            auto form = std::make_shared<HandedForm>();
            forms.push_back(form);
            return form;
        });
        root = std::make_shared<RootPage>();
        navigation = std::make_shared<CustomNavigationController>(root);
        window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        drain();
    }
    void TearDown() override {
        settleRequests();
        navigation.reset();
        window.reset();
        root.reset();
        forms.clear();
        ProgressHUD::resetForTesting();
        ui::resetForTests();
        ScreenRegistry::reset();
        ui::Storyboard::reset();
        UserDateSingleton::shareUserDateInstance().reset();
        server.stop();
        AppConfig::reset();
        PlatformTest::TearDown();
    }

    // Waits until every request has been answered and its completion has run.
    void settleRequests() {
        auto client = RequestManager::shareRequestManager().client();
        EXPECT_TRUE(runUntil([&] { return client->activeTransfers() == 0; }));
        drain();
        navigation->finishTransition();
        drain();
    }

    // Pushes a screen made through the registry and lets it appear.
    template <class T>
    std::shared_ptr<T> open(const std::string& className, const nlohmann::json& arguments) {
        auto screen = std::dynamic_pointer_cast<T>(ScreenRegistry::make(className, arguments));
        EXPECT_NE(screen, nullptr) << className;
        if (!screen) return nullptr;
        navigation->pushViewController(screen, true);
        finishTransitions();
        return screen;
    }
    void finishTransitions() {
        drain();
        navigation->finishTransition();
        drain();
    }
    std::shared_ptr<ui::ViewController> top() const { return navigation->topViewController(); }

    static std::filesystem::path documentsFile(const char* name) {
        return foundation::Sandbox::current().documents() / name;
    }

    standin::StandInServer server;
    driver::Driver driver;
    std::shared_ptr<RootPage> root;
    std::shared_ptr<CustomNavigationController> navigation;
    std::shared_ptr<ui::Window> window;
    std::vector<std::shared_ptr<HandedForm>> forms;
};
