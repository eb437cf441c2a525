#include "app/LiabilityRoad.h"

#include "app/FollowupRoad.h"
#include "app/Navigator.h"

namespace LiabilityRoad {

std::shared_ptr<NegotiationDutyViewController> makeNegotiation(NegotiationDutyViewController::Arguments arguments) {
    auto screen = std::make_shared<NegotiationDutyViewController>(std::move(arguments));
    screen->onSign = [](CaseMode mode, DutyModel duty, InsuranceCompany insurance, std::vector<int> selectedBtn) {
        app::push(makeConfirmSign({std::move(duty), std::move(selectedBtn), std::move(insurance), mode}));
    };
    screen->onPolice = [](CaseMode mode, InsuranceCompany insurance) { openPoliceWait(mode, insurance); };
    return screen;
}

std::shared_ptr<ConfirmSignViewController> makeConfirmSign(ConfirmSignViewController::Arguments arguments) {
    auto screen = std::make_shared<ConfirmSignViewController>(std::move(arguments));
    screen->onReport = [](InsuranceCompany compary, CaseMode mode) {
        ReportViewController::Arguments report;
        report.compary = std::move(compary);
        report.simualateState = mode;
        report.isBackBtn = false;
        app::push(FollowupRoad::makeReport(std::move(report)));
    };
    return screen;
}

void openPoliceWait(CaseMode, const InsuranceCompany&) { app::notBuiltYet("the police liability wait"); }

}  // namespace LiabilityRoad
