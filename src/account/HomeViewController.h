#pragma once
#include <functional>

#include "core/CaseMode.h"
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "account/ServiceAreaButton.h"
#include "core/BaseViewController.h"
#include "core/Output.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"

// The home page: the accident entry, the case history entry and the service-area entry.
// When it loads it refreshes the insurer list ("insurance.plist") and the accident situations
// ("situation.plist") in the documents directory.
//
// What its entries open is the application's business: the outputs below.
class HomeViewController : public BaseViewController {
public:
    static constexpr const char* kAccidentTitle = "事故处理";
    static constexpr const char* kHistoryTitle = "历史记录";
    static constexpr const char* kAreaTitle = ServiceAreaButton::kTitle;
    static constexpr const char* kNoLocationText = "无法获取定位信息";
    static constexpr const char* kConfirmTitle = "确定";

    std::string className() const override { return "HomeViewController"; }

    // The accident entry with a known position: the safety tips of a real case.
    Output<void()> onAccident{this, "onAccident"};
    // The history and service-area entries.
    Output<void()> onHistory{this, "onHistory"};
    Output<void()> onAreas{this, "onAreas"};
    // "确定" of the missing-position warning: ask for a new fix.
    Output<void()> onRequestLocation{this, "onRequestLocation"};

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // The accident entry: the safety tips of a real case when a position is known, else the
    // warning whose "确定" asks for a new position.
    void accidentBtnClick();
    void historyBtnClick();
    void areaImageBtnClick();

    // "insurerlist" with "areaid" = the user state's city (left out while unknown); the list
    // replaces Documents/insurance.plist.
    void requestInsurance();
    // "getdictionary" with "type" = "accidentdes"; the list replaces Documents/situation.plist.
    void requestSituation();

    // Lists as the files keep them, or nullopt when the reply's list is not usable (then the
    // old file stays). Entries must be dictionaries; the named text fields of an entry that
    // come as numbers are kept as their decimal text, other non-text values are left out.
    // Situations need "name" and "code" in every entry. An empty list is written like any other.
    static std::optional<nlohmann::json> insuranceListForFile(const nlohmann::json& list);
    static std::optional<nlohmann::json> situationListForFile(const nlohmann::json& list);

private:
    void layout();

    std::shared_ptr<ui::ImageView> banner_;
    std::shared_ptr<ui::Button> accidentButton_;
    std::shared_ptr<ui::Button> historyButton_;
    std::shared_ptr<ui::Button> areaImageBtn_;
};
