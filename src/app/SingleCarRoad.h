#pragma once
#include <memory>

#include "core/CaseMode.h"

#include "capture/entry/DangrousTipViewController.h"
#include "capture/entry/SingleDoubleAccidentViewController.h"
#include "capture/vehicle/CarListModel.h"
#include "liability/form/ClientViewController.h"

// The road of a case from the accident entry: the three safety tips, the accident kind, and
// for a single vehicle the guided camera, the vehicle choice, the parties' form with the
// insurer chooser, and the insurance report (the follow-up screens go on from there). The
// two-vehicle card hands over to MultiCarRoad.
//
// One road per case: each screen it makes holds the road through its outputs, and the road
// keeps the accident-kind screen weakly, so that the camera's "返回" goes back to that very
// screen.
class SingleCarRoad : public std::enable_shared_from_this<SingleCarRoad> {
public:
    // A new case from the home page: the first safety tip.
    static std::shared_ptr<DangrousTipViewController> start(CaseMode simulateState);

    // Each screen of the road, made with its arguments and wired to the next one.
    std::shared_ptr<DangrousTipViewController> makeDangrousTip(CaseMode simulateState);
    std::shared_ptr<ui::ViewController> makeCallPoliceTips(CaseMode simulateNormal);
    std::shared_ptr<ui::ViewController> makeTreatmentTips(CaseMode simulateNormal);
    std::shared_ptr<SingleDoubleAccidentViewController> makeAccidentKind(CaseMode simulateNormal);
    virtual std::shared_ptr<ui::ViewController> makeCarList(CaseMode simulateNormal, bool carCount);
    virtual std::shared_ptr<ui::ViewController> makeClientForm(CaseMode simulateNormal, bool carCount,
                                                               std::shared_ptr<CarListModel> carlist);
    // The two-vehicle card: the multi-car road takes over.
    virtual void openSituation(CaseMode simulateState);
    // The accident-kind screen of this case while it lives.
    std::shared_ptr<SingleDoubleAccidentViewController> accidentKindScreen() const { return accidentKind_.lock(); }

    virtual ~SingleCarRoad() = default;

private:
    std::weak_ptr<SingleDoubleAccidentViewController> accidentKind_;
};
