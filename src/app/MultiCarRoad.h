#pragma once
#include <memory>

#include "core/CaseMode.h"
#include "core/InsuranceCompany.h"
#include "liability/form/DutyModel.h"

namespace ui {
class ViewController;
}
class SingleCarRoad;

// The road of a case with two or more vehicles, from the two-vehicle card of the accident kind:
// the situation choice, the guided camera on the multi-car steps, the photo review wait with the
// re-take of rejected photos, the move-car tips. The
// vehicle choice and the parties' form come from the single-car road of the same case, which
// also keeps the accident-kind screen that the camera's "返回" goes back to. After the parties'
// form, LiabilityRoad takes over.
class MultiCarRoad : public std::enable_shared_from_this<MultiCarRoad> {
public:
    explicit MultiCarRoad(std::shared_ptr<SingleCarRoad> singleCarRoad);
    virtual ~MultiCarRoad() = default;

    // The situation choice of a case just opened.
    std::shared_ptr<ui::ViewController> makeSituation(CaseMode simulateState);
    // The photo review wait, once the photos are reported (from the history: `isHistory`).
    virtual void openPhotoReview(CaseMode simulateState);
    std::shared_ptr<ui::ViewController> makePhotoReview(CaseMode simulateState, bool isHistory);
    // The move-car tips, once the photos are accepted; "我知道了" goes on to the vehicle choice
    // or the parties' form of two vehicles.
    std::shared_ptr<ui::ViewController> makeMoveCarTips(CaseMode simulateState);

    // The parties' form of two vehicles, once submitted: the negotiated liability.
    static void openNegotiation(CaseMode simulateState, const std::shared_ptr<DutyModel>& duty,
                                const std::shared_ptr<InsuranceCompany>& insurance);

protected:
    std::shared_ptr<SingleCarRoad> singleCarRoad_;
};
