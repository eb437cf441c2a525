#include "app/FollowupRoad.h"

#include "app/Navigator.h"

namespace FollowupRoad {

namespace {
// Pushes `next` on the navigation of `from`, the screen whose output asked for it.
void pushFrom(const std::weak_ptr<BaseViewController>& from, const std::shared_ptr<ui::ViewController>& next) {
    if (auto screen = from.lock()) screen->pushNewViewController(next);
}
}  // namespace

std::shared_ptr<ReportViewController> makeReport(ReportViewController::Arguments arguments) {
    CaseMode mode = arguments.simualateState;
    auto screen = std::make_shared<ReportViewController>(std::move(arguments));
    std::weak_ptr<BaseViewController> weak = screen;
    screen->onReported = [weak, mode](const InsuranceCompany& compary) {
        pushFrom(weak, makeReportResult({.curCompary = compary, .simualateState = mode}));
    };
    return screen;
}

std::shared_ptr<ReportResultViewController> makeReportResult(ReportResultViewController::Arguments arguments) {
    auto screen = std::make_shared<ReportResultViewController>(std::move(arguments));
    std::weak_ptr<BaseViewController> weak = screen;
    screen->onClaimResult = [weak](const std::string& accidentno, std::optional<std::string> result) {
        pushFrom(weak, makePrompt({.accidentno = accidentno,
                                   .textValue = std::move(result),
                                   .isShowBtn = true,
                                   .simualateState = CaseMode::Real}));
    };
    return screen;
}

std::shared_ptr<CompanyConfigViewController> makeCompanyConfig(CompanyConfigViewController::Arguments arguments) {
    const CaseMode mode = arguments.simualateState;
    auto screen = std::make_shared<CompanyConfigViewController>(std::move(arguments));
    screen->onReportResult = [mode](const InsuranceCompany& curCompary) {
        app::push(makeReportResult({.curCompary = curCompary, .simualateState = mode}));
    };
    return screen;
}

std::shared_ptr<PromptResultViewController> makePrompt(PromptResultViewController::Arguments arguments) {
    const CaseMode mode = arguments.simualateState;
    auto screen = std::make_shared<PromptResultViewController>(std::move(arguments));
    std::weak_ptr<PromptResultViewController> weak = screen;
    screen->onRating = [weak, mode] {
        auto prompt = weak.lock();
        if (!prompt) return;
        prompt->pushNewViewController(makeAppraisal({.accidentno = prompt->accidentno, .simualateState = mode}));
    };
    return screen;
}

std::shared_ptr<AppraisalViewController> makeAppraisal(AppraisalViewController::Arguments arguments) {
    return std::make_shared<AppraisalViewController>(std::move(arguments));
}

std::shared_ptr<NotificationInfoViewController> makeNotice(NotificationInfoViewController::Arguments arguments) {
    auto notice = std::make_shared<NotificationInfoViewController>(std::move(arguments));
    notice->onAppraisal = [](const std::string& accidentno) {
        app::push(makeAppraisal({.accidentno = accidentno, .simualateState = CaseMode::Real}));
    };
    return notice;
}

}  // namespace FollowupRoad
