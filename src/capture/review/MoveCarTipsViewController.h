#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/BaseViewController.h"
#include "core/CaseMode.h"
#include "core/Output.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

class VehicleListCheck;

// "温馨提示" once the photos of a multi-car case are accepted: move the cars out of the traffic
// now. "我知道了" goes on to the vehicle choice (`onCarList`) when the account's vehicles
// arrive ("getusercarlist" answered "200"), otherwise to the parties' form (`onClientForm`),
// both for two vehicles. A real case also fetches the vehicles when the screen loads and keeps
// the whole reply in Documents/Carlist.plist.
//
// Practice (`simulateState`) sends nothing and writes nothing: "我知道了" opens the vehicle choice.
class MoveCarTipsViewController : public BaseViewController {
public:
    static constexpr const char* kTitle = "温馨提示";
    static constexpr const char* kMovedTitle = "我知道了";
    static constexpr const char* kFileName = "Carlist.plist";
    static constexpr const char* kTipText =
        "现场取证照片清晰,请立即将车辆挪至不影响交通的安全地点,双方协商确定事故责任。\n"
        "拍照后不挪车造成交通拥堵的,交管部门将由现场民警或由监控设备非现场予以记录后进行处罚!";

    struct Arguments {
        GivenCaseMode simulateState;
    };
    explicit MoveCarTipsViewController(Arguments arguments);
    std::string className() const override { return "MoveCarTipsViewController"; }

    const CaseMode simulateState;

    // "我知道了": the vehicle choice, or the parties' form, for two vehicles (carCount true).
    Output<void(bool carCount)> onCarList{this, "onCarList"};
    Output<void(bool carCount)> onClientForm{this, "onClientForm"};

    // The notice as runs: grey 25 pt, with the characters 10, 11 ("立即") and 15 ("挪") red 35 pt.
    // Positions count characters, never bytes.
    static std::vector<std::pair<std::string, bool>> tipRuns(const std::string& text,
                                                             const std::vector<std::size_t>& marked);
    // Whether a reply can be kept as a property list (no null anywhere, an object at the top).
    static bool isPropertyList(const nlohmann::json& value);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    void requestCarList();
    void movedBtnClick();

private:
    std::weak_ptr<ui::Label> tip_;
    std::weak_ptr<ui::Button> moved_;
    std::shared_ptr<VehicleListCheck> vehicleCheck_;
};
