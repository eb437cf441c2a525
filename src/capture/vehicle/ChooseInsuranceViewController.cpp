#include "capture/vehicle/ChooseInsuranceViewController.h"

#include "capture/vehicle/InsurerList.h"
#include "core/RequestManager.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "platform/ui/NavigationController.h"

std::vector<std::shared_ptr<InsuranceCompany>> ChooseInsuranceViewController::companiesFromList(const nlohmann::json& list) {
    return InsurerList::companiesFromList(list);
}

const std::vector<std::shared_ptr<InsuranceCompany>>& ChooseInsuranceViewController::dateSorce() {
    if (!dateSorce_) {
        dateSorce_ = InsurerList::stored(kClassName);
        if (dateSorce_->empty()) requestInsurers();
    }
    return *dateSorce_;
}

const std::vector<std::shared_ptr<InsuranceCompany>>& ChooseInsuranceViewController::simulateSorce() {
    if (!simulateSorce_) simulateSorce_ = InsurerList::bundled(kClassName);
    return *simulateSorce_;
}

const std::vector<std::shared_ptr<InsuranceCompany>>& ChooseInsuranceViewController::shownList() {
    return simulateState == CaseMode::Real ? dateSorce() : simulateSorce();
}

void ChooseInsuranceViewController::requestInsurers() {
    auto city = UserDateSingleton::shareUserDateInstance().city();
    nlohmann::json params = nlohmann::json::object();
    if (city && !city->empty()) params["areaid"] = *city;
    std::weak_ptr<ChooseInsuranceViewController> weak = sharedAs<ChooseInsuranceViewController>();
    RequestManager::shareRequestManager().request_insturanceList_WithParams(
        params, [weak](const nlohmann::json& list, const RequestOutcome& outcome) {
            if (outcome.refused()) return;  // the API client showed why; the list stays as it is
            auto self = weak.lock();
            if (!self) return;
            self->dateSorce_ = companiesFromList(list);
            if (self->isViewLoaded()) self->tableView()->reloadData();
        });
}

void ChooseInsuranceViewController::viewDidLoad() {
    ui::TableViewController::viewDidLoad();
    setTitle(kTitle);
    std::weak_ptr<ChooseInsuranceViewController> weak = sharedAs<ChooseInsuranceViewController>();
    Theme::addBackItem(*this, [weak] {
        if (auto self = weak.lock()) self->backBtnClick();
    });
}

void ChooseInsuranceViewController::viewWillAppear(bool animated) {
    ui::TableViewController::viewWillAppear(animated);
    Theme::styleNavigationBar(*this);
}

void ChooseInsuranceViewController::backBtnClick() {
    if (auto navigation = navigationController()) navigation->popViewController(true);
}

int ChooseInsuranceViewController::numberOfRowsInSection(ui::TableView&, int) {
    return static_cast<int>(shownList().size());
}

std::shared_ptr<ui::TableViewCell> ChooseInsuranceViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                         ui::IndexPath indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier(kCellIdentifier);
    if (!cell) cell = std::make_shared<ui::TableViewCell>(ui::TableViewCellStyle::Default, kCellIdentifier);
    const auto& list = shownList();
    std::string name;
    if (indexPath.row >= 0 && indexPath.row < static_cast<int>(list.size()) && list[indexPath.row])
        name = list[indexPath.row]->inscomname.value_or("");
    cell->textLabel()->setText(name);
    return cell;
}

void ChooseInsuranceViewController::didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, false);
    // One answer per chooser: a second tap while the chooser pops does nothing.
    if (returned_) return;
    const auto& list = shownList();
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(list.size())) return;
    auto company = list[indexPath.row];
    returned_ = true;
    // The block may release its opener's last hold on this chooser: keep it alive until popped.
    auto keepAlive = sharedAs<ChooseInsuranceViewController>();
    if (returnBlock_) {
        auto block = returnBlock_;
        block(company);
    }
    if (auto navigation = navigationController()) navigation->popViewController(true);
}
