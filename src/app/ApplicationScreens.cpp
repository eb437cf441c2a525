#include "app/ApplicationScreens.h"

#include "account/GuidePages.h"
#include "account/HomeViewController.h"
#include "account/LoginViewController.h"
#include "account/NewFeatureController.h"
#include "account/QuickInfoViewController.h"
#include "account/UnderwritInfoViewController.h"
#include "app/CaseRoad.h"
#include "app/FollowupRoad.h"
#include "app/HistoryRoad.h"
#include "app/HomeRoad.h"
#include "app/LiabilityRoad.h"
#include "capture/entry/DangrousTipViewController.h"
#include "capture/entry/SingleDoubleAccidentViewController.h"
#include "capture/vehicle/CarListModel.h"
#include "capture/vehicle/ChooseInsuranceViewController.h"
#include "core/ApplicationRoutes.h"
#include "core/ScreenRegistry.h"
#include "liability/followup/RkTipsViewController.h"
#include "liability/form/ClientViewController.h"

namespace {

InsuranceCompany insurerArgument(const ScreenArguments& arguments) {
    auto dictionary = arguments.dictionary("compary", false);
    if (dictionary.is_null()) return InsuranceCompany();
    return *InsuranceCompany::objectWithKeyValues(dictionary);
}

// A new case of the mode the arguments give under `key`.
std::shared_ptr<CaseRoad> newCase(ScreenArguments& arguments, const char* key) {
    return std::make_shared<CaseRoad>(arguments.caseMode(key));
}

// A notice: as a push brings it ({"type", "content"}), or set up directly by its kind.
std::shared_ptr<ui::ViewController> makeNotice(ScreenArguments& arguments) {
    using Notice = NotificationInfoViewController;
    if (!arguments.any("type").is_null())
        return FollowupRoad::makeNotice(
            Notice::Arguments::forNotice(arguments.text("type"), arguments.dictionary("content", true)));
    auto kind = arguments.any("notiType");
    if (!kind.is_number_integer() || kind.get<long long>() < 0 || kind.get<long long>() > 3)
        throw ScreenArgumentError("NotificationInfoViewController: \"notiType\" must be a number from 0 to 3");
    auto a = Notice::Arguments::forKind(static_cast<int>(kind.get<long long>()),
                                        arguments.optionalText("accidentno").value_or(""));
    if (auto text = arguments.optionalText("text")) a.text = *text;
    if (auto title = arguments.optionalText("btnTitle")) a.btnTitle = *title;
    if (auto image = arguments.optionalText("btnImage")) a.btnImage = *image;
    if (auto image = arguments.optionalText("btnHightImage")) a.btnHightImage = *image;
    a.isButton = arguments.flag("isButton", a.isButton);
    a.isBarItem = arguments.flag("isBarItem", a.isBarItem);
    return FollowupRoad::makeNotice(std::move(a));
}

}  // namespace

void registerApplicationScreens() {
    ApplicationRoutes::install([] { return app::makeHomePage(); }, [] { return app::makeLoginPage(); });

    NewFeatureController::registerPage("AccidentTreatmentView", [] { return std::make_shared<AccidentTreatmentView>(); });
    NewFeatureController::registerPage("SettlementView", [] { return std::make_shared<SettlementView>(); });
    NewFeatureController::registerPage("QuikeHandleView", [] { return std::make_shared<QuikeHandleView>(); });
    ScreenRegistry::registerFactory("NewFeatureController", [](ScreenArguments&) { return app::makeNewFeature(); });
    ScreenRegistry::registerFactory("AreaImageViewController", [](ScreenArguments&) { return app::makeAreas(); });
    ScreenRegistry::registerFactory("HomeViewController", [](ScreenArguments&) { return app::makeHomePage(); });
    ScreenRegistry::registerFactory("LoginViewController", [](ScreenArguments&) { return app::makeLoginPage(); });
    ScreenRegistry::registerFactory("QuickInfoViewController", [](ScreenArguments& arguments) {
        return std::make_shared<QuickInfoViewController>(arguments.text("url"));
    });
    ScreenRegistry::registerFactory("UnderwritInfoViewController", [](ScreenArguments& arguments) {
        auto screen = std::make_shared<UnderwritInfoViewController>();
        screen->jqx = arguments.optionalText("jqx");
        screen->syx = arguments.optionalText("syx");
        return screen;
    });

    ScreenRegistry::registerFactory("DangrousTipViewController", [](ScreenArguments& arguments) {
        return newCase(arguments, "simulateState")->makeDangrousTip();
    });
    ScreenRegistry::registerFactory("CallPoliceTipsViewController", [](ScreenArguments& arguments) {
        return newCase(arguments, "simulateNormal")->makeCallPoliceTips();
    });
    ScreenRegistry::registerFactory("AccidentTreatmentTipsController", [](ScreenArguments& arguments) {
        return newCase(arguments, "simulateNormal")->makeTreatmentTips();
    });
    ScreenRegistry::registerFactory("SingleDoubleAccidentViewController", [](ScreenArguments& arguments) {
        return newCase(arguments, "simulateNormal")->makeAccidentKind();
    });
    ScreenRegistry::registerFactory("AccidentSituationViewController", [](ScreenArguments& arguments) {
        return newCase(arguments, "simulateState")->makeSituation();
    });
    ScreenRegistry::registerFactory("WaitTipViewController", [](ScreenArguments& arguments) {
        const bool isHistory = arguments.flag("isHistory", false);
        return newCase(arguments, "simulateState")->makePhotoReview(isHistory);
    });
    ScreenRegistry::registerFactory("MoveCarTipsViewController", [](ScreenArguments& arguments) {
        return newCase(arguments, "simulateState")->makeMoveCarTips();
    });
    ScreenRegistry::registerFactory("CarListViewController", [](ScreenArguments& arguments) {
        const bool carCount = arguments.flag("carCount");
        return newCase(arguments, "simulateNormal")->makeCarList(carCount);
    });
    ScreenRegistry::registerFactory("ChooseInsuranceViewController", [](ScreenArguments& arguments) {
        return std::make_shared<ChooseInsuranceViewController>(
            ChooseInsuranceViewController::Arguments{arguments.caseMode("simulateState")});
    });
    ScreenRegistry::registerFactory("ClientViewController", [](ScreenArguments& arguments) {
        auto vehicle = arguments.dictionary("carlist", false);
        std::shared_ptr<CarListModel> carlist = vehicle.is_null() ? nullptr : CarListModel::objectWithKeyValues(vehicle);
        const bool carCount = arguments.flag("carCount");
        return newCase(arguments, "simulateNormal")->makeClientForm(carCount, carlist);
    });

    ScreenRegistry::registerFactory("ReportViewController", [](ScreenArguments& arguments) {
        auto compary = insurerArgument(arguments);
        auto mode = arguments.caseMode("simualateState");
        auto isBackBtn = arguments.flag("isBackBtn", false);
        return FollowupRoad::makeReport({.compary = std::move(compary),
                                         .simualateState = mode,
                                         .isBackBtn = isBackBtn,
                                         .reporTime = arguments.optionalText("reporTime")});
    });
    ScreenRegistry::registerFactory("ReportResultViewController", [](ScreenArguments& arguments) {
        auto compary = insurerArgument(arguments);
        auto mode = arguments.caseMode("simualateState");
        auto isBackBtn = arguments.flag("isBackBtn", false);
        return FollowupRoad::makeReportResult({.curCompary = std::move(compary),
                                               .simualateState = mode,
                                               .isBackBtn = isBackBtn});
    });
    ScreenRegistry::registerFactory("CompanyConfigViewController", [](ScreenArguments& arguments) {
        auto compary = insurerArgument(arguments);
        return FollowupRoad::makeCompanyConfig(
            {.curCompary = std::move(compary), .simualateState = arguments.caseMode("simualateState")});
    });
    ScreenRegistry::registerFactory("AccidentSearchViewController",
                                    [](ScreenArguments&) { return HistoryRoad::makeSearch(); });
    ScreenRegistry::registerFactory("PromptResultViewController", [](ScreenArguments& arguments) {
        auto accidentno = arguments.text("accidentno");
        auto mode = arguments.caseMode("simualateState");
        auto isShowBtn = arguments.flag("isShowBtn", false);
        return FollowupRoad::makePrompt({.accidentno = std::move(accidentno),
                                         .textValue = arguments.optionalText("textValue"),
                                         .isShowBtn = isShowBtn,
                                         .simualateState = mode});
    });
    ScreenRegistry::registerFactory("AppraisalViewController", [](ScreenArguments& arguments) {
        auto accidentno = arguments.text("accidentno");
        auto mode = arguments.caseMode("simualateState");
        return FollowupRoad::makeAppraisal(
            {.accidentno = std::move(accidentno), .simualateState = mode, .isBackBtn = arguments.flag("isBackBtn", false)});
    });
    ScreenRegistry::registerFactory("NotificationInfoViewController", makeNotice);
    // The police liability wait: the push router routes chat messages over it, the case history
    // reopens it.
    ScreenRegistry::registerFactory("ChatViewController", [](ScreenArguments& arguments) {
        ChatViewController::Arguments a{.simulateState = arguments.caseMode("simulateState", CaseMode::Real)};
        auto insurer = arguments.dictionary("insurance", false);
        if (!insurer.is_null()) a.insurance = *InsuranceCompany::objectWithKeyValues(insurer);
        auto dict = arguments.dictionary("dict", false);
        if (!dict.is_null()) a.dict = OtherMessages::fromPush(dict);
        return LiabilityRoad::makeChat(std::move(a));
    });
    ScreenRegistry::registerFactory("TrafficPoliceViewController", [](ScreenArguments& arguments) {
        TrafficPoliceViewController::Arguments a{.simulateState = arguments.caseMode("simulateState")};
        auto insurer = arguments.dictionary("insurance", false);
        if (!insurer.is_null()) a.insurance = *InsuranceCompany::objectWithKeyValues(insurer);
        a.isHistory = arguments.flag("isHistory", false);
        a.hideBackButton = arguments.flag("hideBackButton", true);
        return LiabilityRoad::makePoliceWait(std::move(a));
    });
    ScreenRegistry::registerFactory("RkTipsViewController",
                                    [](ScreenArguments&) { return std::make_shared<RkTipsViewController>(); });
}
