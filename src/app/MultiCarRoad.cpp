#include "app/MultiCarRoad.h"

#include "app/LiabilityRoad.h"
#include "app/Navigator.h"
#include "app/SingleCarRoad.h"
#include "capture/camera/PhotoCapViewController.h"
#include "capture/entry/AccidentSituationViewController.h"
#include "capture/review/MoveCarTipsViewController.h"
#include "capture/review/WaitTipViewController.h"

MultiCarRoad::MultiCarRoad(std::shared_ptr<SingleCarRoad> singleCarRoad) : singleCarRoad_(std::move(singleCarRoad)) {}

std::shared_ptr<ui::ViewController> MultiCarRoad::makeSituation(CaseMode simulateState) {
    auto screen = std::make_shared<AccidentSituationViewController>(AccidentSituationViewController::Arguments{simulateState});
    auto road = shared_from_this();
    screen->onCapture = [road](AccidentSituationViewController::CaptureRequest request) {
        auto camera = std::make_shared<PhotoCapViewController>(std::move(request.steps), true);
        camera->setCarType(request.carType);
        camera->setSavePhotoBlock(std::move(request.savePhotoBlock));
        camera->setViewControllerBlock(std::move(request.viewControllerBlock));
        camera->setEndAgainTitle(std::move(request.endAgainTitle));
        // "返回" gives up the capture and goes back past the situation choice to the accident kind.
        std::weak_ptr<SingleCarRoad> weakRoad = road->singleCarRoad_;
        camera->accidentKindScreen = [weakRoad]() -> std::shared_ptr<ui::ViewController> {
            auto r = weakRoad.lock();
            return r ? r->accidentKindScreen() : nullptr;
        };
        app::push(camera);
    };
    screen->onPhotoReview = [road](CaseMode mode) { road->openPhotoReview(mode); };
    return screen;
}

void MultiCarRoad::openPhotoReview(CaseMode simulateState) { app::push(makePhotoReview(simulateState, false)); }

std::shared_ptr<ui::ViewController> MultiCarRoad::makePhotoReview(CaseMode simulateState, bool isHistory) {
    auto screen = std::make_shared<WaitTipViewController>(WaitTipViewController::Arguments{simulateState, isHistory});
    auto road = shared_from_this();
    screen->onMoveCar = [road](CaseMode mode) { app::push(road->makeMoveCarTips(mode)); };
    std::weak_ptr<SingleCarRoad> weakRoad = singleCarRoad_;
    screen->accidentKindScreen = [weakRoad]() -> std::shared_ptr<ui::ViewController> {
        auto r = weakRoad.lock();
        return r ? r->accidentKindScreen() : nullptr;
    };
    return screen;
}

std::shared_ptr<ui::ViewController> MultiCarRoad::makeMoveCarTips(CaseMode simulateState) {
    auto screen = std::make_shared<MoveCarTipsViewController>(MoveCarTipsViewController::Arguments{simulateState});
    auto road = shared_from_this();
    screen->onCarList = [road](CaseMode mode, bool carCount) {
        app::push(road->singleCarRoad_->makeCarList(mode, carCount));
    };
    screen->onClientForm = [road](CaseMode mode, bool carCount) {
        app::push(road->singleCarRoad_->makeClientForm(mode, carCount, nullptr));
    };
    return screen;
}

void MultiCarRoad::openNegotiation(CaseMode simulateState, const std::shared_ptr<DutyModel>& duty,
                                   const std::shared_ptr<InsuranceCompany>& insurance) {
    NegotiationDutyViewController::Arguments arguments;
    arguments.simulateState = simulateState;
    if (duty) arguments.duty = *duty;
    if (insurance) arguments.insurance = *insurance;
    app::push(LiabilityRoad::makeNegotiation(std::move(arguments)));
}
