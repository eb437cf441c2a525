#pragma once

// Registers the parties' form as the storyboard "ClientViewController" with ui::Storyboard
// (call once at start-up). Its opener hands it the practice flag, the vehicle count
// (CaseFlowScreen) and the chosen vehicle (VehicleFormScreen).
//
// The form opens, through ScreenRegistry:
//   "ReportViewController": {"compary": InsuranceCompany keyValues, "simualateState": int, "isBackBtn": false}
//   "NegotiationDutyViewController": {"simulateState": int, "duty": DutyModel keyValues,
//                                     "insurance": InsuranceCompany keyValues}
//   (nothing is opened, and the form stays, while a name is not registered).
void registerLiabilityFormScreens();
