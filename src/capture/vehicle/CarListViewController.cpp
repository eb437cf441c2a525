#include "capture/vehicle/CarListViewController.h"

#include "capture/common/TickRowCell.h"
#include "capture/vehicle/CarListHeaderView.h"
#include "core/AppConfig.h"
#include "core/RequestManager.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"

namespace {

std::shared_ptr<CarListModel> sampleVehicle(const char* carno, const char* owner, const char* engine,
                                            const char* jqxcode, const char* jqxname, const char* jqpaperno,
                                            const char* syxcode, const char* syxname, const char* sypaperno,
                                            const char* photo) {
    return CarListModel::objectWithKeyValues({{"carno", carno},
                                              {"ownername", owner},
                                              {"engineno", engine},
                                              {"insureperson", owner},
                                              {"jqxcode", jqxcode},
                                              {"jqxname", jqxname},
                                              {"jqpaperno", jqpaperno},
                                              {"jqxstart", "2026-01-01"},
                                              {"jqxend", "2026-12-31"},
                                              {"syxcode", syxcode},
                                              {"syxname", syxname},
                                              {"sypaperno", sypaperno},
                                              {"syxstart", "2026-01-01"},
                                              {"syxend", "2026-12-31"},
                                              {"drivinglicense", {{"url", photo}}}});
}

}  // namespace

std::vector<std::shared_ptr<CarListModel>>& CarListViewController::simulateCarList() {
    if (!simulateCarList_) {
        simulateCarList_ = std::vector<std::shared_ptr<CarListModel>>{
            sampleVehicle("京A88888", "张三", "EN0001234", "PICC", "中国人民财产保险股份有限公司",
                          "PDZA2026000001", "PICC", "中国人民财产保险股份有限公司", "PDAA2026000001",
                          "http://127.0.0.1/sample/license-1.jpg"),
            sampleVehicle("京B66666", "张三", "EN0005678", "PAIC", "中国平安财产保险股份有限公司",
                          "1210300000000001", "CPIC", "中国太平洋财产保险股份有限公司", "ABEJ2026000002",
                          "http://127.0.0.1/sample/license-2.jpg"),
        };
    }
    return *simulateCarList_;
}

const std::vector<std::shared_ptr<CarListModel>>& CarListViewController::shownList() {
    return simulateNormal == CaseMode::Real ? carList_ : simulateCarList();
}

std::vector<std::shared_ptr<CarListModel>> CarListViewController::listFromReply(const nlohmann::json& reply) {
    if (!reply.is_object()) return {};
    auto it = reply.find("list");
    if (it == reply.end()) return {};
    if (!it->is_array()) {
        foundation::log("CarListViewController: the vehicle list is not an array");
        return {};
    }
    // A malformed entry is skipped on its own; the other vehicles and "其他" still show.
    std::vector<std::shared_ptr<CarListModel>> list;
    for (const auto& entry : *it) {
        if (!entry.is_object()) {
            foundation::log("CarListViewController: skipped a vehicle list entry that is not a dictionary");
            continue;
        }
        auto record = CarListModel::objectWithKeyValues(entry);
        if (!record->carno || record->carno->empty()) {
            foundation::log("CarListViewController: skipped a vehicle list entry without a plate");
            continue;
        }
        list.push_back(std::move(record));
    }
    auto other = std::make_shared<CarListModel>();
    other->carno = kOtherCarno;
    list.push_back(other);
    return list;
}

void CarListViewController::viewDidLoad() {
    ui::TableViewController::viewDidLoad();
    view()->setBackgroundColor(Theme::pageGrey());
    tableView()->setBackgroundColor(Theme::pageGrey());
    setTitle(kTitle);
    navigationItem()->setHidesBackButton(true);
    styleNavigation();
    if (simulateNormal == CaseMode::Real) loadNewCarList();
}

void CarListViewController::viewWillAppear(bool animated) {
    ui::TableViewController::viewWillAppear(animated);
    styleNavigation();
}

void CarListViewController::styleNavigation() {
    if (auto navigation = navigationController()) {
        Theme::styleNavigationBar(*navigation->navigationBar());
        navigation->setNavigationBarHidden(false);
    }
}

void CarListViewController::loadNewCarList() {
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto params =
        UserDateSingleton::params({{"userid", state.userid()}, {"sn", state.sn()}, {"appkey", AppConfig::appKey()}});
    RequestManager::shareRequestManager().request_carList_WithParams(
        params, foundation::weakBind(this, [](const auto& self, const nlohmann::json& reply, const RequestOutcome&) {
            self->carList_ = listFromReply(reply);
            // The rows are new: a mark of the old list means nothing now.
            self->markedRow_.reset();
            self->selectedCarlist_.reset();
            self->tableView()->reloadData();
        }));
}

int CarListViewController::numberOfRowsInSection(ui::TableView&, int) {
    return static_cast<int>(shownList().size());
}

std::shared_ptr<ui::TableViewCell> CarListViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                 ui::IndexPath indexPath) {
    auto cell = TickRowCell::cellWithTableview(tableView);
    const auto& list = shownList();
    const auto& record = indexPath.row >= 0 && indexPath.row < static_cast<int>(list.size()) ? list[indexPath.row] : nullptr;
    if (auto label = cell->rowLabel()) label->setText(record ? record->carno.value_or("") : "");
    if (auto icon = cell->iconView()) icon->setSelected(markedRow_ == indexPath.row);
    return cell;
}

double CarListViewController::heightForHeaderInSection(ui::TableView&, int) { return CarListHeaderView::kHeight; }

double CarListViewController::heightForFooterInSection(ui::TableView&, int) { return CarListFooterView::kHeight; }

std::shared_ptr<ui::View> CarListViewController::viewForHeaderInSection(ui::TableView&, int) {
    if (!header_) header_ = std::make_shared<CarListHeaderView>();
    return header_;
}

std::shared_ptr<ui::View> CarListViewController::viewForFooterInSection(ui::TableView&, int) {
    if (!footer_) {
        auto footer = std::make_shared<CarListFooterView>();
        footer->setDelegate(sharedAs<CarListViewController>());
        footer_ = footer;
    }
    return footer_;
}

void CarListViewController::didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, false);
    const auto& list = shownList();
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(list.size())) return;
    markedRow_ = markedRow_ == indexPath.row ? std::nullopt : std::optional<int>(indexPath.row);
    selectedCarlist_ = list[indexPath.row];
    refreshMarks();
}

void CarListViewController::refreshMarks() {
    auto table = tableView();
    for (const auto& indexPath : table->indexPathsForVisibleRows()) {
        auto cell = std::dynamic_pointer_cast<TickRowCell>(table->cellForRowAtIndexPath(indexPath));
        if (!cell) continue;
        if (auto icon = cell->iconView()) icon->setSelected(markedRow_ == indexPath.row);
    }
}

void CarListViewController::confirmBtnDidClick() { onConfirm(carCount, selectedCarlist_); }
