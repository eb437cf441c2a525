#include "app/MultiCarRoad.h"

#include "app/LiabilityRoad.h"
#include "app/Navigator.h"

void MultiCarRoad::openSituation(CaseMode) { app::notBuiltYet("the situation choice of a multi-car case"); }

void MultiCarRoad::openNegotiation(CaseMode simulateState, const std::shared_ptr<DutyModel>& duty,
                                   const std::shared_ptr<InsuranceCompany>& insurance) {
    NegotiationDutyViewController::Arguments arguments;
    arguments.simulateState = simulateState;
    if (duty) arguments.duty = *duty;
    if (insurance) arguments.insurance = *insurance;
    app::push(LiabilityRoad::makeNegotiation(std::move(arguments)));
}
