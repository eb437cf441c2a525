#pragma once

// Registers the screens of the accident entry with ScreenRegistry (call once at start-up):
//   "DangrousTipViewController": {"simulateState": int};
//   "CallPoliceTipsViewController", "AccidentTreatmentTipsController",
//   "SingleDoubleAccidentViewController": {"simulateNormal": int}.
// A missing or non-integer flag is 0 (practice).
void registerCaptureEntryScreens();
