#include "app/ApplicationScreens.h"

#include "account/GuidePages.h"
#include "account/HomeViewController.h"
#include "account/LoginViewController.h"
#include "account/NewFeatureController.h"
#include "account/QuickInfoViewController.h"
#include "account/UnderwritInfoViewController.h"
#include "app/FollowupRoad.h"
#include "app/HistoryRoad.h"
#include "app/HomeRoad.h"
#include "app/MultiCarRoad.h"
#include "app/LiabilityRoad.h"
#include "app/SingleCarRoad.h"
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

std::shared_ptr<SingleCarRoad> newRoad() { return std::make_shared<SingleCarRoad>(); }

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
        return newRoad()->makeDangrousTip(arguments.caseMode("simulateState"));
    });
    ScreenRegistry::registerFactory("CallPoliceTipsViewController", [](ScreenArguments& arguments) {
        return newRoad()->makeCallPoliceTips(arguments.caseMode("simulateNormal"));
    });
    ScreenRegistry::registerFactory("AccidentTreatmentTipsController", [](ScreenArguments& arguments) {
        return newRoad()->makeTreatmentTips(arguments.caseMode("simulateNormal"));
    });
    ScreenRegistry::registerFactory("SingleDoubleAccidentViewController", [](ScreenArguments& arguments) {
        return newRoad()->makeAccidentKind(arguments.caseMode("simulateNormal"));
    });
    ScreenRegistry::registerFactory("AccidentSituationViewController", [](ScreenArguments& arguments) {
        return std::make_shared<MultiCarRoad>(newRoad())->makeSituation(arguments.caseMode("simulateState"));
    });
    ScreenRegistry::registerFactory("WaitTipViewController", [](ScreenArguments& arguments) {
        return std::make_shared<MultiCarRoad>(newRoad())->makePhotoReview(arguments.caseMode("simulateState"),
                                                                           arguments.flag("isHistory", false));
    });
    ScreenRegistry::registerFactory("MoveCarTipsViewController", [](ScreenArguments& arguments) {
        return std::make_shared<MultiCarRoad>(newRoad())->makeMoveCarTips(arguments.caseMode("simulateState"));
    });
    ScreenRegistry::registerFactory("CarListViewController", [](ScreenArguments& arguments) {
        return newRoad()->makeCarList(arguments.caseMode("simulateNormal"), arguments.flag("carCount"));
    });
    ScreenRegistry::registerFactory("ChooseInsuranceViewController", [](ScreenArguments& arguments) {
        return std::make_shared<ChooseInsuranceViewController>(
            ChooseInsuranceViewController::Arguments{arguments.caseMode("simulateState")});
    });
    ScreenRegistry::registerFactory("ClientViewController", [](ScreenArguments& arguments) {
        auto vehicle = arguments.dictionary("carlist", false);
        std::shared_ptr<CarListModel> carlist = vehicle.is_null() ? nullptr : CarListModel::objectWithKeyValues(vehicle);
        return newRoad()->makeClientForm(arguments.caseMode("simulateNormal"), arguments.flag("carCount"), carlist);
    });

    ScreenRegistry::registerFactory("ReportViewController", [](ScreenArguments& arguments) {
        ReportViewController::Arguments a;
        a.compary = insurerArgument(arguments);
        a.simualateState = arguments.caseMode("simualateState");
        a.isBackBtn = arguments.flag("isBackBtn", false);
        a.reporTime = arguments.optionalText("reporTime");
        return FollowupRoad::makeReport(std::move(a));
    });
    ScreenRegistry::registerFactory("ReportResultViewController", [](ScreenArguments& arguments) {
        ReportResultViewController::Arguments a;
        a.curCompary = insurerArgument(arguments);
        a.simualateState = arguments.caseMode("simualateState");
        a.isBackBtn = arguments.flag("isBackBtn", false);
        a.curAccidentno = arguments.optionalText("curAccidentno");
        return FollowupRoad::makeReportResult(std::move(a));
    });
    ScreenRegistry::registerFactory("CompanyConfigViewController", [](ScreenArguments& arguments) {
        CompanyConfigViewController::Arguments a;
        a.curCompary = insurerArgument(arguments);
        a.simualateState = arguments.caseMode("simualateState");
        return FollowupRoad::makeCompanyConfig(std::move(a));
    });
    ScreenRegistry::registerFactory("AccidentSearchViewController",
                                    [](ScreenArguments&) { return HistoryRoad::makeSearch(); });
    ScreenRegistry::registerFactory("PromptResultViewController", [](ScreenArguments& arguments) {
        PromptResultViewController::Arguments a;
        a.accidentno = arguments.text("accidentno");
        a.simualateState = arguments.caseMode("simualateState");
        a.isShowBtn = arguments.flag("isShowBtn", false);
        a.textValue = arguments.optionalText("textValue");
        return FollowupRoad::makePrompt(std::move(a));
    });
    ScreenRegistry::registerFactory("AppraisalViewController", [](ScreenArguments& arguments) {
        AppraisalViewController::Arguments a;
        a.accidentno = arguments.text("accidentno");
        a.simualateState = arguments.caseMode("simualateState");
        a.isBackBtn = arguments.flag("isBackBtn", false);
        return FollowupRoad::makeAppraisal(std::move(a));
    });
    ScreenRegistry::registerFactory("NotificationInfoViewController", makeNotice);
    // The police liability wait: the push router routes chat messages over it, the case history
    // reopens it.
    ScreenRegistry::registerFactory("ChatViewController", [](ScreenArguments& arguments) {
        ChatViewController::Arguments a;
        a.simulateState = arguments.caseMode("simulateState", CaseMode::Real);
        auto insurer = arguments.dictionary("insurance", false);
        if (!insurer.is_null()) a.insurance = *InsuranceCompany::objectWithKeyValues(insurer);
        auto dict = arguments.dictionary("dict", false);
        if (!dict.is_null()) a.dict = OtherMessages::fromPush(dict);
        return LiabilityRoad::makeChat(std::move(a));
    });
    ScreenRegistry::registerFactory("TrafficPoliceViewController", [](ScreenArguments& arguments) {
        TrafficPoliceViewController::Arguments a;
        a.simulateState = arguments.caseMode("simulateState");
        auto insurer = arguments.dictionary("insurance", false);
        if (!insurer.is_null()) a.insurance = *InsuranceCompany::objectWithKeyValues(insurer);
        a.isHistory = arguments.flag("isHistory", false);
        a.hideBackButton = arguments.flag("hideBackButton", true);
        return LiabilityRoad::makePoliceWait(std::move(a));
    });
    ScreenRegistry::registerFactory("RkTipsViewController",
                                    [](ScreenArguments&) { return std::make_shared<RkTipsViewController>(); });
}
