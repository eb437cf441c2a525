#include "app/CaseRoad.h"

#include <array>

#include "app/FollowupRoad.h"
#include "app/LiabilityRoad.h"
#include "app/Navigator.h"
#include "capture/camera/PhotoCapViewController.h"
#include "capture/entry/AccidentSituationViewController.h"
#include "capture/entry/AccidentTreatmentTipsController.h"
#include "capture/entry/CallPoliceTipsViewController.h"
#include "capture/entry/CaptureRequest.h"
#include "capture/entry/DangrousTipViewController.h"
#include "capture/entry/SingleDoubleAccidentViewController.h"
#include "capture/review/MoveCarTipsViewController.h"
#include "capture/review/WaitTipViewController.h"
#include "capture/vehicle/CarListViewController.h"
#include "capture/vehicle/ChooseInsuranceViewController.h"
#include "core/CaseInProgress.h"
#include "core/ScreenRegistry.h"
#include "liability/form/ClientViewController.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

std::shared_ptr<ui::ViewController> CaseRoad::start(CaseMode mode) {
    return std::make_shared<CaseRoad>(mode)->makeDangrousTip();
}

bool CaseRoad::isOnScreen(const std::shared_ptr<ui::Window>& in) {
    if (!CaseInProgress::accidentno()) return false;
    auto window = in ? in : ui::Application::shared().keyWindow();
    auto navigation =
        window ? std::dynamic_pointer_cast<ui::NavigationController>(window->rootViewController()) : nullptr;
    if (!navigation || navigation->viewControllers().size() < 2) return false;
    // The case history and its search list past cases; the case in progress is not theirs.
    static const std::array<std::string, 3> history = {"HistoryViewController", "HistoryDetailViewController",
                                                       "AccidentSearchViewController"};
    const std::string top = navigation->viewControllers().back()->className();
    for (const auto& name : history)
        if (top == name) return false;
    return true;
}

void CaseRoad::keepAccidentno(const std::optional<std::string>& accidentno) {
    accidentno_ = accidentno;
    CaseInProgress::keep(accidentno);
}

std::shared_ptr<DangrousTipViewController> CaseRoad::makeDangrousTip() {
    auto screen = std::make_shared<DangrousTipViewController>();
    auto road = shared_from_this();
    screen->onIknow = [road] { app::push(road->makeCallPoliceTips()); };
    return screen;
}

std::shared_ptr<ui::ViewController> CaseRoad::makeCallPoliceTips() {
    auto screen = std::make_shared<CallPoliceTipsViewController>(CallPoliceTipsViewController::Arguments{mode_});
    auto road = shared_from_this();
    screen->onConfirm = [road] { app::push(road->makeTreatmentTips()); };
    // The case is left for a home page pushed over the tips (or the login page without an account).
    screen->onLeaveCase = [](bool signedIn) {
        app::push(ScreenRegistry::make(signedIn ? "HomeViewController" : "LoginViewController"));
    };
    return screen;
}

std::shared_ptr<ui::ViewController> CaseRoad::makeTreatmentTips() {
    auto screen = std::make_shared<AccidentTreatmentTipsController>();
    auto road = shared_from_this();
    screen->onIknow = [road] { app::push(road->makeAccidentKind()); };
    return screen;
}

std::shared_ptr<SingleDoubleAccidentViewController> CaseRoad::makeAccidentKind() {
    auto screen = std::make_shared<SingleDoubleAccidentViewController>(SingleDoubleAccidentViewController::Arguments{mode_});
    accidentKind_ = screen;
    auto road = shared_from_this();
    screen->onCaseNumber = [road](const std::string& accidentno) { road->keepAccidentno(accidentno); };
    screen->onSituation = [road] { road->openSituation(); };
    screen->onCapture = [road](CaptureRequest request) { road->openCamera(std::move(request)); };
    screen->onCarList = [road] { road->openCarList(false); };
    screen->onClientForm = [road] { road->openClientForm(false, nullptr); };
    return screen;
}

std::shared_ptr<ui::ViewController> CaseRoad::makeCarList(bool carCount) {
    auto screen = std::make_shared<CarListViewController>(CarListViewController::Arguments{mode_, carCount});
    auto road = shared_from_this();
    screen->onConfirm = [road](bool count, std::shared_ptr<CarListModel> carlist) {
        road->openClientForm(count, std::move(carlist));
    };
    return screen;
}

std::shared_ptr<ui::ViewController> CaseRoad::makeClientForm(bool carCount, std::shared_ptr<CarListModel> carlist) {
    auto screen = std::make_shared<ClientViewController>(ClientViewController::Arguments{mode_, carCount, std::move(carlist)});
    const CaseMode mode = mode_;
    screen->onChooseInsurance = [mode](bool otherParty, ClientViewController::InsuranceReturnBlock returnBlock) {
        // The other party always gets the bundle's list: its insurer need not be a local one.
        auto chooser = std::make_shared<ChooseInsuranceViewController>(
            ChooseInsuranceViewController::Arguments{otherParty ? CaseMode::Practice : mode});
        chooser->returnBlock(std::move(returnBlock));
        app::push(chooser);
    };
    screen->onReport = [mode](std::shared_ptr<InsuranceCompany> compary) {
        ReportViewController::Arguments arguments{.simualateState = mode};
        if (compary) arguments.compary = *compary;
        arguments.isBackBtn = false;
        app::push(FollowupRoad::makeReport(std::move(arguments)));
    };
    screen->onNegotiation = [mode](std::shared_ptr<DutyModel> duty, std::shared_ptr<InsuranceCompany> insurance) {
        NegotiationDutyViewController::Arguments arguments{.simulateState = mode};
        if (duty) arguments.duty = *duty;
        if (insurance) arguments.insurance = *insurance;
        app::push(LiabilityRoad::makeNegotiation(std::move(arguments)));
    };
    return screen;
}

std::shared_ptr<ui::ViewController> CaseRoad::makeSituation() {
    auto screen = std::make_shared<AccidentSituationViewController>(AccidentSituationViewController::Arguments{mode_});
    auto road = shared_from_this();
    screen->onCapture = [road](CaptureRequest request) { road->openCamera(std::move(request)); };
    screen->onPhotoReview = [road] { road->openPhotoReview(); };
    return screen;
}

std::shared_ptr<ui::ViewController> CaseRoad::makePhotoReview(bool isHistory) {
    auto screen = std::make_shared<WaitTipViewController>(WaitTipViewController::Arguments{mode_, isHistory});
    auto road = shared_from_this();
    screen->onMoveCar = [road] { app::push(road->makeMoveCarTips()); };
    std::weak_ptr<CaseRoad> weakRoad = road;
    screen->accidentKindScreen = [weakRoad]() -> std::shared_ptr<ui::ViewController> {
        auto r = weakRoad.lock();
        return r ? r->accidentKind_.lock() : nullptr;
    };
    return screen;
}

std::shared_ptr<ui::ViewController> CaseRoad::makeMoveCarTips() {
    auto screen = std::make_shared<MoveCarTipsViewController>(MoveCarTipsViewController::Arguments{mode_});
    auto road = shared_from_this();
    screen->onCarList = [road](bool carCount) { road->openCarList(carCount); };
    screen->onClientForm = [road](bool carCount) { road->openClientForm(carCount, nullptr); };
    return screen;
}

void CaseRoad::openCarList(bool carCount) {
    app::push(standIns.carList ? standIns.carList(carCount) : makeCarList(carCount));
}

void CaseRoad::openClientForm(bool carCount, std::shared_ptr<CarListModel> carlist) {
    app::push(standIns.clientForm ? standIns.clientForm(carCount) : makeClientForm(carCount, std::move(carlist)));
}

void CaseRoad::openSituation() { app::push(standIns.situation ? standIns.situation() : makeSituation()); }

void CaseRoad::openPhotoReview() {
    app::push(standIns.photoReview ? standIns.photoReview() : makePhotoReview(false));
}

void CaseRoad::openCamera(CaptureRequest request) {
    auto camera = std::make_shared<PhotoCapViewController>(std::move(request.steps), true);
    camera->setCarType(request.carType);
    camera->setSavePhotoBlock(std::move(request.savePhotoBlock));
    camera->setViewControllerBlock(std::move(request.viewControllerBlock));
    camera->setEndAgainTitle(std::move(request.endAgainTitle));
    // "返回" gives up the capture and goes back to the accident kind (past the situation choice).
    std::weak_ptr<CaseRoad> weakRoad = shared_from_this();
    camera->accidentKindScreen = [weakRoad]() -> std::shared_ptr<ui::ViewController> {
        auto r = weakRoad.lock();
        return r ? r->accidentKind_.lock() : nullptr;
    };
    app::push(camera);
}
