#include "app/SingleCarRoad.h"

#include "app/FollowupRoad.h"
#include "app/HomeRoad.h"
#include "app/MultiCarRoad.h"
#include "app/Navigator.h"
#include "capture/camera/PhotoCapViewController.h"
#include "capture/entry/AccidentTreatmentTipsController.h"
#include "capture/entry/CallPoliceTipsViewController.h"
#include "capture/entry/DangrousTipViewController.h"
#include "capture/entry/SingleDoubleAccidentViewController.h"
#include "capture/vehicle/CarListViewController.h"
#include "capture/vehicle/ChooseInsuranceViewController.h"
#include "liability/form/ClientViewController.h"
#include "account/LoginViewController.h"
#include "account/HomeViewController.h"

std::shared_ptr<DangrousTipViewController> SingleCarRoad::start(CaseMode simulateState) {
    return std::make_shared<SingleCarRoad>()->makeDangrousTip(simulateState);
}

std::shared_ptr<DangrousTipViewController> SingleCarRoad::makeDangrousTip(CaseMode simulateState) {
    auto screen = std::make_shared<DangrousTipViewController>(DangrousTipViewController::Arguments{simulateState});
    auto road = shared_from_this();
    screen->onIknow = [road](CaseMode mode) { app::push(road->makeCallPoliceTips(mode)); };
    return screen;
}

std::shared_ptr<ui::ViewController> SingleCarRoad::makeCallPoliceTips(CaseMode simulateNormal) {
    auto screen = std::make_shared<CallPoliceTipsViewController>(CallPoliceTipsViewController::Arguments{simulateNormal});
    auto road = shared_from_this();
    screen->onConfirm = [road](CaseMode mode) { app::push(road->makeTreatmentTips(mode)); };
    // The case is left for a home page pushed over the tips (or the login page without an account).
    screen->onLeaveCase = [](bool signedIn) {
        if (signedIn)
            app::push(app::makeHomePage());
        else
            app::push(app::makeLoginPage());
    };
    return screen;
}

std::shared_ptr<ui::ViewController> SingleCarRoad::makeTreatmentTips(CaseMode simulateNormal) {
    auto screen =
        std::make_shared<AccidentTreatmentTipsController>(AccidentTreatmentTipsController::Arguments{simulateNormal});
    auto road = shared_from_this();
    screen->onIknow = [road](CaseMode mode) { app::push(road->makeAccidentKind(mode)); };
    return screen;
}

std::shared_ptr<SingleDoubleAccidentViewController> SingleCarRoad::makeAccidentKind(CaseMode simulateNormal) {
    auto screen =
        std::make_shared<SingleDoubleAccidentViewController>(SingleDoubleAccidentViewController::Arguments{simulateNormal});
    accidentKind_ = screen;
    auto road = shared_from_this();
    screen->onSituation = [road](CaseMode mode) { road->openSituation(mode); };
    screen->onCapture = [road](SingleDoubleAccidentViewController::CaptureRequest request) {
        auto camera = std::make_shared<PhotoCapViewController>(std::move(request.steps), true);
        camera->setCarType(request.carType);
        camera->setSavePhotoBlock(std::move(request.savePhotoBlock));
        camera->setViewControllerBlock(std::move(request.viewControllerBlock));
        std::weak_ptr<SingleCarRoad> weakRoad = road;
        camera->accidentKindScreen = [weakRoad]() -> std::shared_ptr<ui::ViewController> {
            auto r = weakRoad.lock();
            return r ? r->accidentKind_.lock() : nullptr;
        };
        app::push(camera);
    };
    screen->onCarList = [road](CaseMode mode) { app::push(road->makeCarList(mode, false)); };
    screen->onClientForm = [road](CaseMode mode) { app::push(road->makeClientForm(mode, false, nullptr)); };
    return screen;
}

std::shared_ptr<ui::ViewController> SingleCarRoad::makeCarList(CaseMode simulateNormal, bool carCount) {
    auto screen = std::make_shared<CarListViewController>(CarListViewController::Arguments{simulateNormal, carCount});
    auto road = shared_from_this();
    screen->onConfirm = [road](CaseMode mode, bool count, std::shared_ptr<CarListModel> carlist) {
        app::push(road->makeClientForm(mode, count, std::move(carlist)));
    };
    return screen;
}

void SingleCarRoad::openSituation(CaseMode simulateState) {
    app::push(std::make_shared<MultiCarRoad>(shared_from_this())->makeSituation(simulateState));
}

std::shared_ptr<ui::ViewController> SingleCarRoad::makeClientForm(CaseMode simulateNormal, bool carCount,
                                                                  std::shared_ptr<CarListModel> carlist) {
    auto screen =
        std::make_shared<ClientViewController>(ClientViewController::Arguments{simulateNormal, carCount, std::move(carlist)});
    screen->onChooseInsurance = [](CaseMode mode, ClientViewController::InsuranceReturnBlock returnBlock) {
        auto chooser = std::make_shared<ChooseInsuranceViewController>(ChooseInsuranceViewController::Arguments{mode});
        chooser->returnBlock(std::move(returnBlock));
        app::push(chooser);
    };
    screen->onReport = [](std::shared_ptr<InsuranceCompany> compary, CaseMode mode) {
        ReportViewController::Arguments arguments;
        if (compary) arguments.compary = *compary;
        arguments.simualateState = mode;
        arguments.isBackBtn = false;
        app::push(FollowupRoad::makeReport(std::move(arguments)));
    };
    screen->onNegotiation = [](CaseMode mode, std::shared_ptr<DutyModel> duty, std::shared_ptr<InsuranceCompany> insurance) {
        MultiCarRoad::openNegotiation(mode, duty, insurance);
    };
    return screen;
}
