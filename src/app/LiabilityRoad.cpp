#include "app/LiabilityRoad.h"

#include "app/FollowupRoad.h"
#include "app/Navigator.h"

namespace LiabilityRoad {

namespace {

void openReport(InsuranceCompany compary, CaseMode mode) {
    ReportViewController::Arguments report;
    report.compary = std::move(compary);
    report.simualateState = mode;
    report.isBackBtn = false;
    app::push(FollowupRoad::makeReport(std::move(report)));
}

}  // namespace

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
    screen->onReport = [](InsuranceCompany compary, CaseMode mode) { openReport(std::move(compary), mode); };
    return screen;
}


void openPoliceWait(CaseMode simulateState, const InsuranceCompany& insurance) {
    TrafficPoliceViewController::Arguments arguments;
    arguments.simulateState = simulateState;
    arguments.insurance = insurance;
    arguments.isHistory = false;
    arguments.hideBackButton = true;
    app::push(makePoliceWait(std::move(arguments)));
}

std::shared_ptr<TrafficPoliceViewController> makePoliceWait(TrafficPoliceViewController::Arguments arguments) {
    auto screen = std::make_shared<TrafficPoliceViewController>(std::move(arguments));
    screen->onDecision = [](CaseMode mode, std::vector<PoliceDutyModel> dateSorce, InsuranceCompany insruance) {
        app::push(makePoliceDuty({mode, std::move(dateSorce), std::move(insruance)}));
    };
    screen->onChat = [](InsuranceCompany insurance) {
        ChatViewController::Arguments chat;
        chat.simulateState = CaseMode::Real;
        chat.insurance = std::move(insurance);
        app::push(makeChat(std::move(chat)));
    };
    return screen;
}

std::shared_ptr<ChatViewController> makeChat(ChatViewController::Arguments arguments) {
    auto screen = std::make_shared<ChatViewController>(std::move(arguments));
    screen->onDecision = [](CaseMode mode, std::vector<PoliceDutyModel> dateSorce, InsuranceCompany insruance) {
        app::push(makePoliceDuty({mode, std::move(dateSorce), std::move(insruance)}));
    };
    return screen;
}

std::shared_ptr<PoliceDutyViewController> makePoliceDuty(PoliceDutyViewController::Arguments arguments) {
    auto screen = std::make_shared<PoliceDutyViewController>(std::move(arguments));
    screen->onAgreement = [](PoliceDutyViewController::Agreement agreement) {
        app::push(makeProtocol({agreement.simulateState, std::move(agreement.dutyModel), std::move(agreement.insurance),
                                std::move(agreement.selfSignImage), std::move(agreement.otherSignImage),
                                std::move(agreement.otherVerfication)}));
    };
    return screen;
}

std::shared_ptr<ProtocolViewController> makeProtocol(ProtocolViewController::Arguments arguments) {
    auto screen = std::make_shared<ProtocolViewController>(std::move(arguments));
    screen->onReport = openReport;
    return screen;
}

}  // namespace LiabilityRoad
