#include "capture/viewers/AccidentViewController.h"

#include "core/StoreManager.h"
#include "core/TelephoneNumber.h"
#include "core/Theme.h"
#include "hud/ProgressHUD.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Image.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageView.h"

std::optional<std::string> AccidentViewController::dialURL(const std::optional<std::string>& phone) {
    if (!phone) return std::nullopt;
    auto number = TelephoneNumber::dialable(*phone);
    if (!number) return std::nullopt;
    return "telprompt:" + *number;
}

void AccidentViewController::viewDidLoad() {
    MultipleSectionTableViewController::viewDidLoad();
    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItem(sharedAs<ui::ViewController>());
    view()->setBackgroundColor(Theme::pageGrey());
    tableView()->setBackgroundColor(Theme::pageGrey());
}

void AccidentViewController::loadDataSource() {
    DataSource rows;
    for (const auto& label : StoreManager::shareStoreManager().getAccidentConfigureArray()) rows.emplace_back(label);
    setDataSource(std::move(rows));
    initNoDataView(curArray, 0);
}

std::optional<std::string> AccidentViewController::field(size_t vehicle, const char* key) const {
    if (vehicle >= curArray.size()) return std::nullopt;
    return std::visit(
        [key](const auto& entry) -> std::optional<std::string> {
            using T = std::decay_t<decltype(entry)>;
            if constexpr (std::is_same_v<T, CaseCar>) {
                std::string k = key;
                if (k == "casecarno") return entry.casecarno;
                if (k == "carownname") return entry.carownname;
                return entry.carownphone;
            } else {
                if (!entry.is_object()) return std::nullopt;
                auto it = entry.find(key);
                if (it == entry.end()) return std::nullopt;
                if (it->is_string()) return it->template get<std::string>();
                if (it->is_number()) return it->dump();
                return std::nullopt;
            }
        },
        curArray[vehicle]);
}

int AccidentViewController::numberOfSectionsInTableView(ui::TableView&) { return static_cast<int>(curArray.size()); }

int AccidentViewController::numberOfRowsInSection(ui::TableView&, int) { return static_cast<int>(dataSource().size()); }

double AccidentViewController::heightForHeaderInSection(ui::TableView&, int) { return 20; }
double AccidentViewController::heightForFooterInSection(ui::TableView&, int) { return 1; }

std::shared_ptr<ui::TableViewCell> AccidentViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                               ui::IndexPath indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("UITableViewCell");
    if (!cell) cell = std::make_shared<ui::TableViewCell>(ui::TableViewCellStyle::Default, "UITableViewCell");
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    cell->textLabel()->setFont(ui::Font::systemFont(15));
    cell->textLabel()->setTextColor(ui::Color::gray());
    static const char* keys[] = {"casecarno", "carownname", "carownphone"};
    const auto* label = entry<std::string>(static_cast<size_t>(indexPath.row));
    std::string text = label ? *label : "";
    if (indexPath.row >= 0 && indexPath.row < 3)
        text += field(static_cast<size_t>(indexPath.section), keys[indexPath.row]).value_or("");
    cell->textLabel()->setText(text);
    if (indexPath.row == 2)
        cell->setAccessoryView(std::make_shared<ui::ImageView>(graphics::Image::named(kPhoneImage)));
    else
        cell->setAccessoryView(nullptr);
    return cell;
}

void AccidentViewController::didSelectRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) {
    if (indexPath.row != 2) return;
    auto phone = field(static_cast<size_t>(indexPath.section), "carownphone");
    if (auto url = dialURL(phone))
        ui::Application::shared().openURL(*url);
    else if (phone && !phone->empty())
        ProgressHUD::showError(TelephoneNumber::unreachableMessage(*phone));
}
