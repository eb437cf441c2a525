#include "capture/vehicle/ChooseInsuranceViewController.h"

#include <cmath>

#include "capture/vehicle/InsurerList.h"
#include "core/AppConfig.h"
#include "core/RequestManager.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
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
    if (fetching_) return;
    fetching_ = true;
    problem_.clear();
    showProblem();
    auto city = UserDateSingleton::shareUserDateInstance().city();
    nlohmann::json params = nlohmann::json::object();
    if (city && !city->empty()) params["areaid"] = *city;
    ProgressHUD::showMessage(kLoadingText);
    std::weak_ptr<ChooseInsuranceViewController> weak = sharedAs<ChooseInsuranceViewController>();
    RequestManager::shareRequestManager().request_insturanceList_WithParams(
        params, [weak](const nlohmann::json& list, const RequestOutcome& outcome) {
            auto self = weak.lock();
            // The spinner goes; a refusal keeps the toast the API client shows.
            ProgressHUD::hideHUD();
            if (!self) return;
            self->fetching_ = false;
            if (outcome.answered()) {
                self->dateSorce_ = companiesFromList(list);
                if (self->dateSorce_->empty()) self->problem_ = kUnusableListText;
            } else if (outcome.failed()) {
                self->problem_ = AppConfig::kNetworkFailureText;
            } else {
                self->problem_ = outcome.resdes.value_or(outcome.describe());
            }
            if (!self->problem_.empty())
                foundation::log("ChooseInsuranceViewController: no insurers: " + outcome.describe());
            if (self->isViewLoaded()) self->tableView()->reloadData();
            self->showProblem();
        });
}

void ChooseInsuranceViewController::showProblem() {
    if (!isViewLoaded()) return;
    auto table = tableView();
    bool empty = !dateSorce_ || dateSorce_->empty();
    if (simulateState != CaseMode::Real || problem_.empty() || !empty || fetching_) {
        if (table->tableFooterView()) table->setTableFooterView(nullptr);
        return;
    }
    constexpr double kMargin = 12.5;
    double width = table->bounds().width();
    auto label = Theme::label(std::string(kListFailedText) + problem_, 15, Theme::hintGrey());
    label->setNumberOfLines(0);
    double textHeight = std::ceil(label->sizeThatFits({width - 2 * kMargin, 1e6}).height);
    label->setFrame({kMargin, kMargin, width - 2 * kMargin, textHeight});
    auto again = Theme::blueButton(kFetchAgainTitle);
    again->setFrame({kMargin, label->frame().maxY() + kMargin, width - 2 * kMargin, 39});
    again->addTarget(foundation::weakBind(this, &ChooseInsuranceViewController::requestInsurers),
                     ui::ControlEvent::TouchUpInside);
    auto footer = std::make_shared<ui::View>(ui::Rect{0, 0, width, again->frame().maxY() + kMargin});
    footer->addSubview(label);
    footer->addSubview(again);
    table->setTableFooterView(footer);
}

void ChooseInsuranceViewController::viewDidLoad() {
    ui::TableViewController::viewDidLoad();
    setTitle(kTitle);
    Theme::addBackItem(*this, foundation::weakBind(this, &ChooseInsuranceViewController::backBtnClick));
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
