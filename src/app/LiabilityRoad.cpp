#include "app/LiabilityRoad.h"

#include "app/FollowupRoad.h"
#include "app/Navigator.h"

namespace LiabilityRoad {

namespace {

void openReport(InsuranceCompany compary, CaseMode mode) {
    app::push(FollowupRoad::makeReport({.compary = std::move(compary), .simualateState = mode, .isBackBtn = false}));
}

}  // namespace

std::shared_ptr<NegotiationDutyViewController> makeNegotiation(NegotiationDutyViewController::Arguments arguments) {
    const CaseMode mode = arguments.simulateState;
    auto screen = std::make_shared<NegotiationDutyViewController>(std::move(arguments));
    screen->onSign = [mode](DutyModel duty, InsuranceCompany insurance, std::vector<int> selectedBtn) {
        app::push(makeConfirmSign({std::move(duty), std::move(selectedBtn), std::move(insurance), mode}));
    };
    screen->onPolice = [mode](InsuranceCompany insurance) { openPoliceWait(mode, insurance); };
    return screen;
}

std::shared_ptr<ConfirmSignViewController> makeConfirmSign(ConfirmSignViewController::Arguments arguments) {
    const CaseMode mode = arguments.simulateState;
    auto screen = std::make_shared<ConfirmSignViewController>(std::move(arguments));
    screen->onReport = [mode](InsuranceCompany compary) { openReport(std::move(compary), mode); };
    return screen;
}


void openPoliceWait(CaseMode simulateState, const InsuranceCompany& insurance) {
    app::push(makePoliceWait(
        {.simulateState = simulateState, .insurance = insurance, .isHistory = false, .hideBackButton = true}));
}

std::shared_ptr<TrafficPoliceViewController> makePoliceWait(TrafficPoliceViewController::Arguments arguments) {
    const CaseMode mode = arguments.simulateState;
    auto screen = std::make_shared<TrafficPoliceViewController>(std::move(arguments));
    screen->onDecision = [mode](std::vector<PoliceDutyModel> dateSorce, InsuranceCompany insruance) {
        app::push(makePoliceDuty({mode, std::move(dateSorce), std::move(insruance)}));
    };
    // The chat is of a real case, practice or not.
    screen->onChat = [](InsuranceCompany insurance) {
        app::push(makeChat({.simulateState = CaseMode::Real, .insurance = std::move(insurance)}));
    };
    return screen;
}

std::shared_ptr<ChatViewController> makeChat(ChatViewController::Arguments arguments) {
    auto screen = std::make_shared<ChatViewController>(std::move(arguments));
    // A decision the chat receives is of a real case.
    screen->onDecision = [](std::vector<PoliceDutyModel> dateSorce, InsuranceCompany insruance) {
        app::push(makePoliceDuty({CaseMode::Real, std::move(dateSorce), std::move(insruance)}));
    };
    return screen;
}

std::shared_ptr<PoliceDutyViewController> makePoliceDuty(PoliceDutyViewController::Arguments arguments) {
    const CaseMode mode = arguments.simulateState;
    auto screen = std::make_shared<PoliceDutyViewController>(std::move(arguments));
    screen->onAgreement = [mode](PoliceDutyViewController::Agreement agreement) {
        app::push(makeProtocol({mode, std::move(agreement.dutyModel), std::move(agreement.insurance),
                                std::move(agreement.selfSignImage), std::move(agreement.otherSignImage),
                                std::move(agreement.otherVerfication)}));
    };
    return screen;
}

std::shared_ptr<ProtocolViewController> makeProtocol(ProtocolViewController::Arguments arguments) {
    const CaseMode mode = arguments.simulateState;
    auto screen = std::make_shared<ProtocolViewController>(std::move(arguments));
    screen->onReport = [mode](InsuranceCompany compary) { openReport(std::move(compary), mode); };
    return screen;
}

}  // namespace LiabilityRoad
