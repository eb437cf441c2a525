#pragma once
#include <memory>

#include "core/CaseMode.h"
#include "core/InsuranceCompany.h"
#include "liability/form/DutyModel.h"
#include "liability/negotiation/ConfirmSignViewController.h"
#include "liability/negotiation/NegotiationDutyViewController.h"

// The liability part of a two-vehicle case, after the parties' form: the negotiated liability,
// then either the drivers' signing and the insurance report, or the police liability wait.
namespace LiabilityRoad {

std::shared_ptr<NegotiationDutyViewController> makeNegotiation(NegotiationDutyViewController::Arguments arguments);
std::shared_ptr<ConfirmSignViewController> makeConfirmSign(ConfirmSignViewController::Arguments arguments);
// The police liability wait of a new police case (not reopened from the history; no back button).
void openPoliceWait(CaseMode simulateState, const InsuranceCompany& insurance);

}  // namespace LiabilityRoad
