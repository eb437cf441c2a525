#pragma once

// Fills the open-by-name registry (ScreenRegistry) with every screen of the application, each
// made through its road with strictly read arguments, and installs the ways home and to the
// login page (ApplicationRoutes). The program calls it once before the launch.
//
// Names and arguments (a practice flag is the number 1 or 0; texts are texts; flags are true
// or false; anything else, a missing required argument or an unknown one is an error):
//   "NewFeatureController", "HomeViewController", "LoginViewController", "RkTipsViewController",
//   "AreaImageViewController", "AccidentSearchViewController": none
// It also gives the first-launch pager its three guide pages.
//   "DangrousTipViewController": {"simulateState"}
//   "CallPoliceTipsViewController", "AccidentTreatmentTipsController",
//   "SingleDoubleAccidentViewController": {"simulateNormal"}
//   "AccidentSituationViewController", "MoveCarTipsViewController": {"simulateState"}
//   "WaitTipViewController": {"simulateState", "isHistory"?: bool}
//   "CarListViewController": {"simulateNormal", "carCount": bool}
//   "ChooseInsuranceViewController": {"simulateState"}
//   "ClientViewController": {"simulateNormal", "carCount": bool, "carlist"?: vehicle dictionary}
//   "ReportViewController": {"compary"?: insurer dictionary, "simualateState", "isBackBtn"?: bool, "reporTime"?: text}
//   "ReportResultViewController": {"compary"?, "simualateState", "isBackBtn"?}
//   "CompanyConfigViewController": {"compary"?: insurer dictionary (the insurer shown), "simualateState"}
//   "PromptResultViewController": {"accidentno": text, "simualateState", "isShowBtn"?: bool, "textValue"?: text}
//   "AppraisalViewController": {"accidentno": text, "simualateState", "isBackBtn"?: bool}
//   "NotificationInfoViewController": as the push router opens it, {"type": text, "content":
//       dictionary}; or set up by kind, {"notiType": 0 to 3, "accidentno"?: text, "text"?: text,
//       "btnTitle"?: text, "isButton"?: bool, "btnImage"?: text, "btnHightImage"?: text,
//       "isBarItem"?: bool}, where what is left out is the kind's own (its text, button, bar item)
//   "TrafficPoliceViewController": {"simulateState", "insurance"?: insurer dictionary, "isHistory"?: bool,
//                                   "hideBackButton"?: bool (default true)}
//   "ChatViewController": {"dict"?: dictionary (the pushed message record), "simulateState"?,
//                          "insurance"?: insurer dictionary}
//   "QuickInfoViewController": {"url": text}
//   "UnderwritInfoViewController": {"jqx"?: text, "syx"?: text}
void registerApplicationScreens();
