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
#include "core/RequestManager.h"
#include "core/ScreenRegistry.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "support/AppTest.h"
#include "tools/server/ServerConfig.h"

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
class VehicleTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        signInDemoUser();
        UserDateSingleton::shareUserDateInstance().setPhoneNumber(std::string(standin::kDemoPhone));
        ASSERT_NO_FATAL_FAILURE(startServer());
        registerCaptureVehicleScreens();
        ui::Storyboard::registerFactory("ClientViewController", [this] {
            auto form = std::make_shared<HandedForm>();
            forms.push_back(form);
            return form;
        });
        root = std::make_shared<RootPage>();
        showInWindow(root);
    }
    void TearDown() override {
        settleRequests();
        closeWindow();
        root.reset();
        forms.clear();
        AppTest::TearDown();
    }

    static std::filesystem::path documentsFile(const char* name) {
        return foundation::Sandbox::current().documents() / name;
    }

    std::shared_ptr<RootPage> root;
    std::vector<std::shared_ptr<HandedForm>> forms;
};
