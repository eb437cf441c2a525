#include "app/FollowupRoad.h"

#include "app/Navigator.h"

namespace FollowupRoad {

std::shared_ptr<ReportViewController> makeReport(ReportViewController::Arguments arguments) {
    return std::make_shared<ReportViewController>(std::move(arguments));
}

std::shared_ptr<ReportResultViewController> makeReportResult(ReportResultViewController::Arguments arguments) {
    return std::make_shared<ReportResultViewController>(std::move(arguments));
}

std::shared_ptr<CompanyConfigViewController> makeCompanyConfig(CompanyConfigViewController::Arguments arguments) {
    auto screen = std::make_shared<CompanyConfigViewController>(std::move(arguments));
    screen->onReportResult = [](const InsuranceCompany& curCompary, CaseMode simualateState) {
        ReportResultViewController::Arguments result;
        result.curCompary = curCompary;
        result.simualateState = simualateState;
        app::push(makeReportResult(std::move(result)));
    };
    return screen;
}

std::shared_ptr<PromptResultViewController> makePrompt(PromptResultViewController::Arguments arguments) {
    return std::make_shared<PromptResultViewController>(std::move(arguments));
}

std::shared_ptr<AppraisalViewController> makeAppraisal(AppraisalViewController::Arguments arguments) {
    return std::make_shared<AppraisalViewController>(std::move(arguments));
}

std::shared_ptr<NotificationInfoViewController> makeNotice(NotificationInfoViewController::Arguments arguments) {
    auto notice = std::make_shared<NotificationInfoViewController>(std::move(arguments));
    notice->onAppraisal = [](const std::string& accidentno) {
        AppraisalViewController::Arguments rating;
        rating.accidentno = accidentno;
        rating.simualateState = CaseMode::Real;
        app::push(makeAppraisal(std::move(rating)));
    };
    return notice;
}

}  // namespace FollowupRoad
