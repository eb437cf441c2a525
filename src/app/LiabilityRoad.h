#pragma once
#include <memory>

#include "core/CaseMode.h"
#include "core/InsuranceCompany.h"
#include "liability/chat/ChatViewController.h"
#include "liability/form/DutyModel.h"
#include "liability/negotiation/ConfirmSignViewController.h"
#include "liability/negotiation/NegotiationDutyViewController.h"
#include "liability/police/PoliceDutyViewController.h"
#include "liability/police/ProtocolViewController.h"
#include "liability/police/TrafficPoliceViewController.h"

// The liability part of a two-vehicle case, after the parties' form: the negotiated liability,
// then either the drivers' signing, or the police road (the wait for the police decision, its
// confirmation with both signatures and the SMS code, the agreement); both end at the
// insurance report.
namespace LiabilityRoad {

std::shared_ptr<NegotiationDutyViewController> makeNegotiation(NegotiationDutyViewController::Arguments arguments);
std::shared_ptr<ConfirmSignViewController> makeConfirmSign(ConfirmSignViewController::Arguments arguments);
// The police liability wait of a new police case (not reopened from the history; no back button).
void openPoliceWait(CaseMode simulateState, const InsuranceCompany& insurance);
// The police road: the wait, the confirmation of the decision and the agreement.
std::shared_ptr<TrafficPoliceViewController> makePoliceWait(TrafficPoliceViewController::Arguments arguments);
// The case chat, from the wait's "联系交警" or a pushed message; the decision it receives opens
// the confirmation.
std::shared_ptr<ChatViewController> makeChat(ChatViewController::Arguments arguments);
std::shared_ptr<PoliceDutyViewController> makePoliceDuty(PoliceDutyViewController::Arguments arguments);
std::shared_ptr<ProtocolViewController> makeProtocol(ProtocolViewController::Arguments arguments);

}  // namespace LiabilityRoad
