#pragma once
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/BaseTableViewController.h"
#include "core/CaseCar.h"

// "事故车辆": one section per vehicle of a case, three rows each (plate, driver, telephone);
// a tap on the telephone row dials the driver after the system asks.
class AccidentViewController : public MultipleSectionTableViewController {
public:
    static constexpr const char* kTitle = "事故车辆";
    static constexpr const char* kPhoneImage = "电话";

    // A vehicle as a record, or as the plain dictionary of a list reply (read by the same keys).
    using Vehicle = std::variant<CaseCar, nlohmann::json>;
    struct Arguments {
        std::vector<Vehicle> curArray;
    };
    explicit AccidentViewController(Arguments arguments) : curArray(std::move(arguments.curArray)) {}
    std::string className() const override { return "AccidentViewController"; }

    const std::vector<Vehicle> curArray;

    // The "telprompt:" URL for a stored number: only a number made of digits, "+" and "-"
    // dials; anything else (empty, missing, letters, spaces, other schemes' characters) gives none.
    static std::optional<std::string> dialURL(const std::optional<std::string>& phone);

    void viewDidLoad() override;
    void loadDataSource() override;

    int numberOfSectionsInTableView(ui::TableView& tableView) override;
    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    double heightForHeaderInSection(ui::TableView& tableView, int section) override;
    double heightForFooterInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

private:
    // The vehicle's field by key, or nullopt when missing or not text.
    std::optional<std::string> field(size_t vehicle, const char* key) const;
};
