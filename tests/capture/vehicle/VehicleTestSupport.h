#pragma once
#include <functional>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "capture/vehicle/CarListModel.h"
#include "capture/vehicle/CarListViewController.h"
#include "capture/vehicle/ChooseInsuranceViewController.h"
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
#include "support/NamedTestScreen.h"
#include "support/RootPage.h"
#include "tools/server/ServerConfig.h"

// The vehicle screens in a key window over the stand-in server, with the signed-in demo user.
class VehicleTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        signInDemoUser();
        UserDateSingleton::shareUserDateInstance().setPhoneNumber(std::string(standin::kDemoPhone));
        ASSERT_NO_FATAL_FAILURE(startServer());
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

    // The vehicle list as the road opens it, with "确认" handing over to a stand-in form.
    std::shared_ptr<CarListViewController> makeCarList(int flag, bool carCount) {
        auto screen = std::make_shared<CarListViewController>(
            CarListViewController::Arguments{flag == 1 ? CaseMode::Real : CaseMode::Practice, carCount});
        screen->onConfirm = [this, mode = screen->simulateNormal](bool count, std::shared_ptr<CarListModel> carlist) {
            auto form = std::make_shared<NamedTestScreen>(
                "ClientViewController", nlohmann::json{{"simulateNormal", practiceFlag(mode)}, {"carCount", count}});
            form->objects["carlist"] = std::move(carlist);
            forms.push_back(form);
            navigation->pushViewController(form, true);
        };
        return screen;
    }

    static std::filesystem::path documentsFile(const char* name) {
        return foundation::Sandbox::current().documents() / name;
    }

    std::shared_ptr<RootPage> root;
    std::vector<std::shared_ptr<NamedTestScreen>> forms;
};
