#include "app/HistoryRoad.h"

#include <algorithm>
#include <array>

#include "account/QuickInfoViewController.h"
#include "app/CaseRoad.h"
#include "app/FollowupRoad.h"
#include "app/LiabilityRoad.h"
#include "app/Navigator.h"
#include "core/InsuranceCompany.h"
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
        // A past case's result, without the rating button.
        app::push(FollowupRoad::makePrompt(
            {.accidentno = accidentno, .textValue = textValue, .isShowBtn = false, .simualateState = CaseMode::Real}));
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
    static constexpr std::array<int, 5> resumable = {1, 2, 3, 4, 7};
    if (std::ranges::find(resumable, *state) == resumable.end()) return;
    // Every case reopened here is a real one, and goes on as the case in progress: its road keeps
    // its number, which the screens of the case read.
    auto road = std::make_shared<CaseRoad>(CaseMode::Real);
    road->keepAccidentno(story.accidentno);
    switch (*state) {
    case 1:
        app::push(LiabilityRoad::makePoliceWait({.simulateState = CaseMode::Real,
                                                 .insurance = insurerOf(story),
                                                 .isHistory = true,
                                                 .hideBackButton = false}));
        break;
    case 2:
        app::push(FollowupRoad::makeReport({.compary = insurerOf(story),
                                            .simualateState = CaseMode::Real,
                                            .isBackBtn = true,
                                            .reporTime = story.reportime}));
        break;
    case 3:
        app::push(FollowupRoad::makeReportResult(
            {.curCompary = insurerOf(story), .simualateState = CaseMode::Real, .isBackBtn = true}));
        break;
    case 4:
        // The rating is of the case its arguments name, here the case the road keeps.
        app::push(FollowupRoad::makeAppraisal(
            {.accidentno = road->accidentno().value_or(""), .simualateState = CaseMode::Real, .isBackBtn = true}));
        break;
    case 7:
        // The photo review wait of a case from the list; its "返回" goes back to the list.
        app::push(road->makePhotoReview(true));
        break;
    }
}

}  // namespace HistoryRoad
