#pragma once
#include <memory>

#include "core/CaseMode.h"
#include "core/InsuranceCompany.h"
#include "liability/form/DutyModel.h"

// The road of a case with two or more vehicles. The situation choice and the photo review
// wait are not built yet: the hand-over into them says so on the screen and the driver stays
// where they are. After the parties' form, LiabilityRoad takes over.
class MultiCarRoad {
public:
    // The two-vehicle card, once the case is open: the situation choice.
    static void openSituation(CaseMode simulateState);
    // The parties' form of two vehicles, once submitted: the negotiated liability.
    static void openNegotiation(CaseMode simulateState, const std::shared_ptr<DutyModel>& duty,
                                const std::shared_ptr<InsuranceCompany>& insurance);
};
