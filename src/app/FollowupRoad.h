#pragma once
#include <memory>

#include "capture/vehicle/CompanyConfigViewController.h"
#include "liability/followup/AppraisalViewController.h"
#include "liability/followup/PromptResultViewController.h"
#include "liability/followup/ReportResultViewController.h"
#include "liability/followup/ReportViewController.h"
#include "liability/notices/NotificationInfoViewController.h"

// The end of every case: the insurance report, the claim result, its prompt, the rating and the
// notices a push brings about a case.
// Each screen is made here with what it shows, and each of its outputs wired to the next: the
// report goes on to the report result, the report result to the claim result prompt, the prompt
// to the rating. The roads and the push router come in here.
namespace FollowupRoad {

std::shared_ptr<ReportViewController> makeReport(ReportViewController::Arguments arguments);
std::shared_ptr<ReportResultViewController> makeReportResult(ReportResultViewController::Arguments arguments);
// The insurer confirmation, whose report goes on to the report result with the confirmed insurer.
std::shared_ptr<CompanyConfigViewController> makeCompanyConfig(CompanyConfigViewController::Arguments arguments);
std::shared_ptr<PromptResultViewController> makePrompt(PromptResultViewController::Arguments arguments);
std::shared_ptr<AppraisalViewController> makeAppraisal(AppraisalViewController::Arguments arguments);
// A notice whose rating button opens the rating of its case as a real case.
std::shared_ptr<NotificationInfoViewController> makeNotice(NotificationInfoViewController::Arguments arguments);

}  // namespace FollowupRoad
