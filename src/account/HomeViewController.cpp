#include "account/HomeViewController.h"

#include <algorithm>

#include "core/KeyValue.h"
#include "core/RequestManager.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"

namespace {

bool nonEmpty(const std::optional<std::string>& text) { return text && !text->empty(); }

// The entries of a list as dictionaries of texts; nullopt when some entry is no dictionary.
// An empty list is a list like any other (the area has no entries).
std::optional<nlohmann::json> textEntries(const nlohmann::json& list, const std::vector<std::string>& keys) {
    if (!list.is_array()) return std::nullopt;
    nlohmann::json out = nlohmann::json::array();
    for (const auto& entry : list) {
        if (!entry.is_object()) return std::nullopt;
        nlohmann::json clean = nlohmann::json::object();
        for (const auto& [key, value] : entry.items()) {
            bool named = std::find(keys.begin(), keys.end(), key) != keys.end();
            if (value.is_string())
                clean[key] = value;
            else if (named && value.is_number())
                clean[key] = *keyvalue::stringFromJson(value);
            else if (!named && !value.is_null())
                clean[key] = value;
        }
        out.push_back(std::move(clean));
    }
    return out;
}

void writeList(const char* fileName, const std::optional<nlohmann::json>& list) {
    if (!list) {
        foundation::log(std::string("HomeViewController: no usable list for ") + fileName + "; the old file stays");
        return;
    }
    auto path = foundation::Sandbox::current().documents() / fileName;
    if (!foundation::plist::write(path, *list)) foundation::log(std::string("HomeViewController: cannot write ") + fileName);
}

}  // namespace

std::optional<nlohmann::json> HomeViewController::insuranceListForFile(const nlohmann::json& list) {
    return textEntries(list, {"inscomname", "inscomcode", "insphone", "insreporttel"});
}

std::optional<nlohmann::json> HomeViewController::situationListForFile(const nlohmann::json& list) {
    auto entries = textEntries(list, {"name", "code"});
    if (!entries) return std::nullopt;
    for (const auto& entry : *entries) {
        if (!entry.contains("name") || !entry.contains("code")) return std::nullopt;
    }
    return entries;
}

void HomeViewController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    setTitle("首页");
    Theme::applyPageBackground(*this);
    auto root = view();

    banner_ = std::make_shared<ui::ImageView>(ui::Image::named("home_banner"));
    banner_->setContentMode(ui::ContentMode::ScaleAspectFill);
    banner_->setClipsToBounds(true);
    root->addSubview(banner_);

    accidentButton_ = Theme::blueButton(kAccidentTitle);
    accidentButton_->addTarget(foundation::weakBind(this, &HomeViewController::accidentBtnClick),
                               ui::ControlEvent::TouchUpInside);
    root->addSubview(accidentButton_);

    historyButton_ = Theme::blueButton(kHistoryTitle);
    historyButton_->addTarget(foundation::weakBind(this, &HomeViewController::historyBtnClick),
                              ui::ControlEvent::TouchUpInside);
    root->addSubview(historyButton_);

    areaImageBtn_ = ServiceAreaButton::make(foundation::weakBind(this, &HomeViewController::areaImageBtnClick));
    root->addSubview(areaImageBtn_);

    layout();
    requestInsurance();
    requestSituation();
}

void HomeViewController::viewWillAppear(bool animated) {
    BaseViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false);
    layout();
}

void HomeViewController::layout() {
    if (!accidentButton_) return;
    double width = view()->bounds().width();
    const double margin = 12.5;
    banner_->setFrame({0, 0, width, width * 150 / 320});
    double y = banner_->frame().maxY() + 25;
    accidentButton_->setFrame({margin, y, width - 2 * margin, 44});
    historyButton_->setFrame({margin, accidentButton_->frame().maxY() + margin, width - 2 * margin, 44});
    areaImageBtn_->setFrame({margin, historyButton_->frame().maxY() + 25, width - 2 * margin, 40});
}

void HomeViewController::accidentBtnClick() {
    auto& state = UserDateSingleton::shareUserDateInstance();
    if (nonEmpty(state.longitude()) && nonEmpty(state.latitude())) {
        onAccident();
        return;
    }
    auto alert = std::make_shared<ui::AlertView>(kNoLocationText, "", std::weak_ptr<ui::AlertViewDelegate>(),
                                                 kConfirmTitle);
    std::weak_ptr<ui::AlertView> weakAlert = alert;
    std::weak_ptr<HomeViewController> weak = sharedAs<HomeViewController>();
    alert->setClickedBlock([weakAlert, weak](int index) {
        auto shown = weakAlert.lock();
        if (!shown || shown->buttonTitleAtIndex(index) != kConfirmTitle) return;
        // A new fix goes into the user state through the application's location refresh.
        if (auto self = weak.lock()) self->onRequestLocation();
    });
    alert->show();
}

void HomeViewController::historyBtnClick() { onHistory(); }

void HomeViewController::areaImageBtnClick() { onAreas(); }

void HomeViewController::requestInsurance() {
    auto city = UserDateSingleton::shareUserDateInstance().city();
    nlohmann::json params = nlohmann::json::object();
    if (nonEmpty(city)) params["areaid"] = *city;
    RequestManager::shareRequestManager().request_insturanceList_WithParams(
        params, [](const nlohmann::json& list, const RequestOutcome& outcome) {
            if (!outcome.answered()) {
                // A refusal was shown as a toast by the API client.
                if (outcome.failed()) foundation::log("HomeViewController: insurer list not fetched: " + outcome.describe());
                return;
            }
            writeList("insurance.plist", insuranceListForFile(list));
        });
}

void HomeViewController::requestSituation() {
    RequestManager::shareRequestManager().request_situation_WithParams(
        {{"type", "accidentdes"}}, [](const nlohmann::json& list, const RequestOutcome& outcome) {
            if (!outcome.answered()) {
                if (outcome.failed()) foundation::log("HomeViewController: situation list not fetched: " + outcome.describe());
                return;
            }
            writeList("situation.plist", situationListForFile(list));
        });
}
