#include "liability/history/HistoryDetailViewController.h"

#include "core/AppConfig.h"
#include "core/RequestManager.h"
#include "core/StoreManager.h"
#include "core/StringExtension.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/graphics/Font.h"

HistoryDetailViewController::HistoryDetailViewController(Arguments arguments)
    : accidentno(arguments.story.accidentno.value_or("")), curStory(std::move(arguments.story)) {}

void HistoryDetailViewController::viewDidLoad() {
    BaseTableViewController::viewDidLoad();
    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItem(sharedAs<ui::ViewController>());
    view()->setBackgroundColor(Theme::pageGrey());
    tableView()->setBackgroundColor(Theme::pageGrey());
    DataSource rows;
    for (const auto& label : StoreManager::shareStoreManager().getHistoryDetailConfigureArray()) rows.emplace_back(label);
    setDataSource(std::move(rows));
    tableView()->reloadData();
    loadDataSource();
}

void HistoryDetailViewController::loadDataSource() {
    if (loading_) return;
    loading_ = true;
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto params = UserDateSingleton::params({{"userid", state.userid()},
                                             {"casenumber", curStory.casenumber.value_or("")},
                                             {"telephone", state.phoneNumber()},
                                             {"appkey", AppConfig::appKey()},
                                             {"sn", state.sn()}});
    beginLoadingWithText(kLoadingText);
    RequestManager::shareRequestManager().request_History_Detail_WithParams(
        params,
        foundation::weakBind(this, [](const auto& self, const std::shared_ptr<Story>& result, const RequestOutcome&) {
            self->loading_ = false;
            self->endLoading();
            if (!result) return;  // the list's record stays; the client has said why
            self->loaded_ = true;
            self->curStory = *result;
            self->curStory.accidentno = self->accidentno;
            self->tableView()->reloadData();
        }));
}

std::shared_ptr<ui::TableViewCell> HistoryDetailViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                    ui::IndexPath indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("UITableViewCell");
    if (!cell) cell = std::make_shared<ui::TableViewCell>(ui::TableViewCellStyle::Default, "UITableViewCell");
    cell->textLabel()->setFont(ui::Font::systemFont(15));
    cell->textLabel()->setTextColor(ui::Color::gray());
    const auto* label = entry<std::string>(static_cast<size_t>(indexPath.row));
    std::string text = label ? *label : "";
    switch (indexPath.row) {
    case 0: text += StoreManager::shareStoreManager().getCaseTypeWithCode(curStory.casetype).value_or(""); break;
    case 1: text += curStory.reportime.value_or(""); break;
    case 2: text += curStory.caseaddress.value_or(""); break;
    default: break;
    }
    cell->textLabel()->setText(text);
    cell->setAccessoryType(indexPath.row >= 3 ? ui::TableViewCellAccessoryType::DisclosureIndicator
                                              : ui::TableViewCellAccessoryType::None);
    return cell;
}

void HistoryDetailViewController::didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, true);
    const bool vehiclesListed = curStory.casecarlist && !curStory.casecarlist->empty();
    const bool agreementListed = curStory.resbookimgurl && !curStory.resbookimgurl->empty();
    const bool missing = (indexPath.row == 3 && !vehiclesListed) || indexPath.row == 4 ||
                         (indexPath.row == 5 && !agreementListed) || indexPath.row == 6;
    if (!loaded_ && missing) {
        if (!loading_) ProgressHUD::showError(kNotLoadedText);
        return;
    }
    switch (indexPath.row) {
    case 3: {
        std::vector<CaseCar> cars;
        for (const auto& car : curStory.casecarlist.value_or(std::vector<std::shared_ptr<CaseCar>>{}))
            if (car) cars.push_back(*car);
        onCars(cars);
        break;
    }
    case 4: {
        std::vector<AccidentPhoto> photos;
        for (const auto& photo : curStory.accidentimageList.value_or(std::vector<std::shared_ptr<AccidentPhoto>>{}))
            if (photo) photos.push_back(*photo);
        onPhotos(photos);
        break;
    }
    case 5: onAgreement(curStory.resbookimgurl.value_or("")); break;
    case 6: {
        // isValide answers whether the text is absent or empty.
        std::string text = StringExtension::isValide(curStory.cpsmoney) ? std::string(kNoClaimText) : *curStory.cpsmoney;
        onClaim(accidentno, text);
        break;
    }
    default: break;
    }
}
