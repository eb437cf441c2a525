#include "capture/vehicle/CompanyConfigViewController.h"

#include "capture/vehicle/InsurerList.h"
#include "core/AppConfig.h"
#include "core/CaseInProgress.h"
#include "core/FooterButtonView.h"
#include "core/RequestManager.h"
#include "core/StoreManager.h"
#include "core/StringExtension.h"
#include "core/TextLabelCell.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "input/StringPickerSheet.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/ImageView.h"

namespace {

// The footer under the row: 64 high, the button 10 from the sides, 20 from the top, to the bottom.
constexpr FooterButtonLayout kFooterLayout{64, 10, 20, 44, std::nullopt};

}  // namespace

CompanyConfigViewController::CompanyConfigViewController(Arguments arguments)
    : curCompary(std::move(arguments.curCompary)), simualateState(arguments.simualateState) {}

void CompanyConfigViewController::viewDidLoad() {
    BaseTableViewController::viewDidLoad();
    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItem(sharedAs<CompanyConfigViewController>());
    view()->setBackgroundColor(Theme::pageGrey());
    auto table = tableView();
    Theme::styleContentTable(*table);
    table->registerClass([](const std::string& identifier) {
        return std::make_shared<TextLabelCell>(ui::TableViewCellStyle::Value2, identifier);
    }, "TextLabelCell");

    auto footer = std::make_shared<FooterButtonView>(Theme::blueButton(kConfirmTitle), kFooterLayout);
    footer->onTap = foundation::weakBind(this, &CompanyConfigViewController::clickAction);
    table->setTableFooterView(footer);

    // One row: the insurer.
    setDataSource({std::string()});
    table->reloadData();
}

void CompanyConfigViewController::loadDataSource() {
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto code = StoreManager::shareStoreManager().getCodeWithCity(state.city());
    nlohmann::json params = {{"areaid", code.value_or("0")}};
    // The API client writes the list to Documents/insurance.plist; nothing more to do here.
    RequestManager::shareRequestManager().request_Insurerlist_WithParams(params, [](const auto&, const auto&) {});
}

std::shared_ptr<ui::TableViewCell> CompanyConfigViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                    ui::IndexPath) {
    auto cell = std::dynamic_pointer_cast<TextLabelCell>(tableView.dequeueReusableCellWithIdentifier(kCellIdentifier));
    if (!cell) {
        cell = std::make_shared<TextLabelCell>(ui::TableViewCellStyle::Value2, kCellIdentifier);
        cell->setLabelWidth(kLabelWidth);
        cell->textLabel()->setTextColor(Theme::hintGrey());
        cell->textLabel()->setFont(ui::Font::systemFont(15));
        cell->textLabel()->setTextAlignment(ui::TextAlignment::Left);
        // The insurers' full names are long: they take a second line rather than being cut.
        cell->detailTextLabel()->setFont(ui::Font::systemFont(15));
        cell->detailTextLabel()->setNumberOfLines(2);
        auto mark = std::make_shared<ui::ImageView>(ui::Image::named(kDropDownImage));
        if (!mark->image()) foundation::log("CompanyConfigViewController: the image 下拉选择 is missing");
        mark->setFrame({0, 0, 15, 10});
        cell->setAccessoryView(mark);
    }
    cell->textLabel()->setText(kRowTitle);
    cell->detailTextLabel()->setText(curCompary.inscomname.value_or(""));
    return cell;
}

void CompanyConfigViewController::didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    chooseInsurer();
}

int CompanyConfigViewController::initialPickerRow() const {
    if (simualateState != CaseMode::Real || StringExtension::isValide(curCompary.inscomcode)) return 0;
    for (size_t i = 0; i < comparys.size(); ++i)
        if (comparys[i] && comparys[i]->inscomcode == curCompary.inscomcode) return static_cast<int>(i);
    return 0;
}

void CompanyConfigViewController::chooseInsurer() {
    comparys = simualateState == CaseMode::Real ? InsurerList::stored(kClassName) : InsurerList::bundled(kClassName);
    if (comparys.empty()) {
        ProgressHUD::showError(kChooseInsurerText);
        return;
    }
    nlohmann::json names = nlohmann::json::array();
    for (const auto& company : comparys) names.push_back(company ? company->inscomname.value_or("") : "");
    // The picker chooses from the list it was shown with, even if a later tap refills `comparys`.
    auto shown = comparys;
    auto picked = foundation::weakBind(this, [shown](const auto& self, StringPickerSheet&,
                                                     const std::vector<int>& indexes, const std::vector<std::string>&) {
        if (indexes.empty() || indexes[0] < 0 || indexes[0] >= static_cast<int>(shown.size())) return;
        const auto& chosen = shown[static_cast<size_t>(indexes[0])];
        if (!chosen) return;
        self->curCompary = *chosen;
        self->tableView()->reloadRowsAtIndexPaths({ui::IndexPath::forRow(0, 0)}, ui::TableViewRowAnimation::None);
    });
    StringPickerSheet::showPickerWithTitle(
        kPickerTitle, nlohmann::json::array({names}), nlohmann::json::array({initialPickerRow()}), picked,
        [](StringPickerSheet&) {}, view());
}

std::shared_ptr<CaseInfoRequest> CompanyConfigViewController::makeCaseInfoRequest() const {
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto request = std::make_shared<CaseInfoRequest>();
    request->userid = state.userid();
    request->accidentno = CaseInProgress::number();
    request->caselon = state.longitude();
    request->caselat = state.latitude();
    request->casedate = StringExtension::getCurrentDate();
    request->companycode = curCompary.inscomcode;
    request->reportcall = state.phoneNumber();
    request->appkey = AppConfig::appKey();
    request->sn = state.sn();
    return request;
}

void CompanyConfigViewController::clickAction() {
    if (simualateState != CaseMode::Real) {
        report();
        return;
    }
    if (StringExtension::isValide(curCompary.inscomcode)) {
        ProgressHUD::showError(kChooseInsurerText);
        return;
    }
    if (submitting_) return;
    submitting_ = true;
    beginLoadingWithText(kSubmittingText);
    RequestManager::shareRequestManager().request_Report_WithParams(
        makeCaseInfoRequest()->keyValues(),
        foundation::weakBind(this, [](const auto& self, const nlohmann::json& result, const RequestOutcome&) {
            self->submitting_ = false;
            self->endLoading();
            // A refused or failed report: the API client told the driver why.
            if (result.is_null()) return;
            self->report();
        }));
}

void CompanyConfigViewController::report() { onReportResult(curCompary); }
