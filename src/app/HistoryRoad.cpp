#include "app/HistoryRoad.h"

#include "account/QuickInfoViewController.h"
#include "app/FollowupRoad.h"
#include "app/LiabilityRoad.h"
#include "app/MultiCarRoad.h"
#include "app/Navigator.h"
#include "app/SingleCarRoad.h"
#include "core/InsuranceCompany.h"
#include "core/UserDateSingleton.h"
#include "liability/history/StoryCell.h"

namespace HistoryRoad {

namespace {
InsuranceCompany insurerOf(const Story& story) {
    InsuranceCompany insurer;
    insurer.inscomcode = story.inscomcode;
    insurer.inscomname = story.inscomname;
    insurer.insphone = story.instel;
    insurer.insreporttel = story.insreporttel;
    return insurer;
}
}  // namespace

std::shared_ptr<HistoryViewController> makeHistory() {
    auto screen = std::make_shared<HistoryViewController>();
    screen->onDetail = [](const std::shared_ptr<Story>& story) { app::push(makeDetail({*story})); };
    screen->onResume = [](const std::shared_ptr<Story>& story) { resume(*story); };
    return screen;
}

std::shared_ptr<AccidentSearchViewController> makeSearch() { return std::make_shared<AccidentSearchViewController>(); }

std::shared_ptr<HistoryDetailViewController> makeDetail(HistoryDetailViewController::Arguments arguments) {
    auto screen = std::make_shared<HistoryDetailViewController>(std::move(arguments));
    screen->onCars = [](const std::vector<CaseCar>& cars) {
        AccidentViewController::Arguments vehicles;
        for (const auto& car : cars) vehicles.curArray.emplace_back(car);
        app::push(makeCars(std::move(vehicles)));
    };
    screen->onPhotos = [](const std::vector<AccidentPhoto>& photos) { app::push(makePhotos({photos})); };
    screen->onAgreement = [](const std::string& url) { app::push(std::make_shared<QuickInfoViewController>(url)); };
    screen->onClaim = [](const std::string& accidentno, const std::string& textValue) {
        PromptResultViewController::Arguments prompt;
        prompt.accidentno = accidentno;
        prompt.textValue = textValue;
        prompt.isShowBtn = false;
        app::push(FollowupRoad::makePrompt(std::move(prompt)));
    };
    return screen;
}

std::shared_ptr<AccidentViewController> makeCars(AccidentViewController::Arguments arguments) {
    return std::make_shared<AccidentViewController>(std::move(arguments));
}

std::shared_ptr<AccidentPhotoViewController> makePhotos(AccidentPhotoViewController::Arguments arguments) {
    return std::make_shared<AccidentPhotoViewController>(std::move(arguments));
}

void resume(const Story& story) {
    auto state = StoryCell::stateCode(story.state);
    if (!state) return;
    auto& user = UserDateSingleton::shareUserDateInstance();
    switch (*state) {
    case 1: {
        user.setAccidentno(story.accidentno);
        TrafficPoliceViewController::Arguments wait;
        wait.simulateState = CaseMode::Real;
        wait.insurance = insurerOf(story);
        wait.isHistory = true;
        wait.hideBackButton = false;
        app::push(LiabilityRoad::makePoliceWait(std::move(wait)));
        break;
    }
    case 2: {
        user.setAccidentno(story.accidentno);
        ReportViewController::Arguments report;
        report.compary = insurerOf(story);
        report.reporTime = story.reportime;
        report.simualateState = CaseMode::Real;
        report.isBackBtn = true;
        app::push(FollowupRoad::makeReport(std::move(report)));
        break;
    }
    case 3: {
        ReportResultViewController::Arguments result;
        result.curCompary = insurerOf(story);
        result.curAccidentno = story.accidentno.value_or("");
        result.isBackBtn = true;
        result.simualateState = CaseMode::Real;
        app::push(FollowupRoad::makeReportResult(std::move(result)));
        break;
    }
    case 4: {
        AppraisalViewController::Arguments rating;
        rating.accidentno = story.accidentno.value_or("");
        rating.isBackBtn = true;
        rating.simualateState = CaseMode::Real;
        app::push(FollowupRoad::makeAppraisal(std::move(rating)));
        break;
    }
    case 7: {
        user.setAccidentno(story.accidentno);
        // The photo review wait of a case from the list; its "返回" goes back to the list.
        auto road = std::make_shared<MultiCarRoad>(std::make_shared<SingleCarRoad>());
        app::push(road->makePhotoReview(CaseMode::Real, true));
        break;
    }
    default: break;
    }
}

}  // namespace HistoryRoad
