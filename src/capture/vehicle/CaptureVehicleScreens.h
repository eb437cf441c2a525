#pragma once

// Registers the vehicle and insurer choice with ScreenRegistry (call once at start-up):
//   "CarListViewController": {"simulateNormal": int, "carCount": bool};
//   "ChooseInsuranceViewController": {"simulateState": int}.
// A missing or mistyped value is 0 (practice) or NO.
void registerCaptureVehicleScreens();
