#include "app/MultiCarRoad.h"

#include "app/LiabilityRoad.h"
#include "app/Navigator.h"
#include "app/SingleCarRoad.h"
#include "capture/camera/PhotoCapViewController.h"
#include "capture/entry/AccidentSituationViewController.h"

MultiCarRoad::MultiCarRoad(std::shared_ptr<SingleCarRoad> singleCarRoad) : singleCarRoad_(std::move(singleCarRoad)) {}

std::shared_ptr<ui::ViewController> MultiCarRoad::makeSituation(CaseMode simulateState) {
    auto screen = std::make_shared<AccidentSituationViewController>(AccidentSituationViewController::Arguments{simulateState});
    auto road = shared_from_this();
    screen->onCapture = [road](AccidentSituationViewController::CaptureRequest request) {
        auto camera = std::make_shared<PhotoCapViewController>(std::move(request.steps), true);
        camera->setCarType(request.carType);
        camera->setSavePhotoBlock(std::move(request.savePhotoBlock));
        camera->setViewControllerBlock(std::move(request.viewControllerBlock));
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

void MultiCarRoad::openPhotoReview(CaseMode) { app::notBuiltYet("the photo review wait"); }

void MultiCarRoad::openNegotiation(CaseMode simulateState, const std::shared_ptr<DutyModel>& duty,
                                   const std::shared_ptr<InsuranceCompany>& insurance) {
    NegotiationDutyViewController::Arguments arguments;
    arguments.simulateState = simulateState;
    if (duty) arguments.duty = *duty;
    if (insurance) arguments.insurance = *insurance;
    app::push(LiabilityRoad::makeNegotiation(std::move(arguments)));
}
