#include "liability/followup/ReportViewController.h"


#include "core/AppConfig.h"
#include "core/ButtonCell.h"
#include "core/CaseInProgress.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/TelephoneNumber.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"

namespace {

struct ReportRow {
    const char* title;
    const char* image;
};

constexpr ReportRow kRows[] = {
    {ReportViewController::kAppReportTitle, Theme::kBlueImage},
    {ReportViewController::kTelReportTitle, Theme::kGreyImage},
    {ReportViewController::kNoReportTitle, Theme::kGreyImage},
    {ReportViewController::kHomeTitle, Theme::kGreyImage},
};

}  // namespace

ReportViewController::ReportViewController(Arguments arguments)
    : compary(std::make_shared<InsuranceCompany>(arguments.compary)),
      reporTime(std::move(arguments.reporTime)),
      simualateState(arguments.simualateState),
      isBackBtn(arguments.isBackBtn) {}

void ReportViewController::viewDidLoad() {
    BaseTableViewController::viewDidLoad();
    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItemOrNone(*this, isBackBtn, foundation::weakBind(this, &ReportViewController::backItemClick));
    view()->setBackgroundColor(Theme::pageGrey());
    auto table = tableView();
    Theme::styleContentTable(*table);
    table->registerClass([](const std::string& identifier) {
        return std::make_shared<ButtonCell>(ui::TableViewCellStyle::Default, identifier);
    }, "ButtonCell");
    loadDataSource();
    table->reloadData();
}

void ReportViewController::loadDataSource() {
    DataSource rows;
    for (const auto& row : kRows) rows.emplace_back(std::string(row.title));
    setDataSource(std::move(rows));
}

double ReportViewController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath) { return kRowHeight; }

std::shared_ptr<ui::TableViewCell> ReportViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                             ui::IndexPath indexPath) {
    auto cell = std::dynamic_pointer_cast<ButtonCell>(tableView.dequeueReusableCellWithIdentifier("ButtonCell", indexPath));
    if (!cell) {
        foundation::log("ReportViewController: the table gave no button cell");
        return std::make_shared<ui::TableViewCell>();
    }
    int row = indexPath.row;
    cell->setTag(row);
    cell->setBackgroundColor(ui::Color::clear());
    const auto* text = entry<std::string>(static_cast<size_t>(row));
    cell->button()->setTitle(text ? *text : "");
    if (row >= 0 && row < static_cast<int>(std::size(kRows))) cell->setBackImage(kRows[row].image);
    cell->setBtnClick(foundation::weakBind(this, [row](const auto& self) {
        switch (row) {
        case 0: self->reportInApplication(); break;
        case 1: self->reportByTelephone(); break;
        default: self->backToHomePage(); break;
        }
    }));
    return cell;
}

std::shared_ptr<CaseInfoRequest> ReportViewController::makeCaseInfoRequest(const std::string& reportype) const {
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto request = std::make_shared<CaseInfoRequest>();
    request->userid = state.userid();
    request->appkey = AppConfig::appKey();
    request->sn = state.sn();
    request->accidentno = CaseInProgress::number();
    request->caselon = state.longitude();
    request->caselat = state.latitude();
    request->casedate = StringExtension::isValide(reporTime) ? StringExtension::getCurrentDate() : *reporTime;
    request->companycode = compary->inscomcode;
    request->reportcall = state.phoneNumber();
    request->reportype = reportype;
    return request;
}

std::optional<std::string> ReportViewController::reportTelephone() const {
    if (!compary->insreporttel) return std::nullopt;
    return TelephoneNumber::dialable(*compary->insreporttel);
}

void ReportViewController::reportInApplication() {
    if (simualateState != CaseMode::Real) {
        onReported(*compary);
        return;
    }
    submitReport("0");
}

void ReportViewController::reportByTelephone() {
    if (simualateState != CaseMode::Real) return;
    if (!reportTelephone()) {
        ProgressHUD::showError(kNoReportTelText);
        return;
    }
    submitReport("1");
}

void ReportViewController::submitReport(const std::string& reportype) {
    if (submitting_) return;
    submitting_ = true;
    beginLoadingWithText(kSubmittingText);
    RequestManager::shareRequestManager().request_Report_WithParams(
        makeCaseInfoRequest(reportype)->keyValues(),
        foundation::weakBind(this, [reportype](const auto& self, const nlohmann::json& result, const auto&) {
            self->submitting_ = false;
            self->endLoading();
            if (result.is_null()) return;
            if (reportype == "0") {
                self->onReported(*self->compary);
                return;
            }
            // The number may have changed while the report travelled.
            auto number = self->reportTelephone();
            if (!number) {
                ProgressHUD::showError(kNoReportTelText);
                return;
            }
            if (!ui::Application::shared().openURL("telprompt://" + *number))
                foundation::log("ReportViewController: the phone cannot dial " + *number);
        }));
}

void ReportViewController::backToHomePage() {
    if (auto navigation = navigationController()) navigation->popToRootViewController(true);
}

void ReportViewController::backItemClick() {
    if (auto navigation = navigationController()) navigation->popViewController(true);
}
