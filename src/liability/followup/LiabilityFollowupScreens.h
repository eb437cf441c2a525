#pragma once

// Registers the screens of the insurance report, the claim result and the rating with
// ScreenRegistry (call once at start-up). The arguments each factory reads (anything missing
// or of another kind takes the default shown):
//
//   "ReportViewController":
//       {"simualateState": int (0; 1 = real case, also read from "simulateNormal" when
//                               "simualateState" is absent),
//        "compary": the insurer record as InsuranceCompany::keyValues(), i.e.
//                   {"inscomname", "inscomcode", "insphone", "insreporttel"} (null: an empty record),
//        "isBackBtn": bool (false), "reporTime": string (unset)}
//     e.g. ScreenRegistry::make("ReportViewController",
//                               {{"simualateState", 1}, {"compary", insurer->keyValues()}});
//   "ReportResultViewController":
//       {"simualateState": int (0), "compary": as above, "isBackBtn": bool (false),
//        "curAccidentno": string (unset: the user state's case number)}
//   "PromptResultViewController":
//       {"accidentno": string (""), "isShowBtn": bool (false), "simualateState": int (0),
//        "textValue": string (unset: the screen waits for the result)}
//   "AppraisalViewController":
//       {"accidentno": string (""), "simualateState": int (0), "isBackBtn": bool (false)}
//   "RkTipsViewController": no arguments.
//
// Booleans may also come as integers (non-zero is true).
void registerLiabilityFollowupScreens();
