#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "capture/vehicle/CarListFooterView.h"
#include "capture/vehicle/CarListModel.h"
#include "core/CaseMode.h"
#include "core/Output.h"
#include "platform/ui/TableViewController.h"

// The accident-time vehicle choice: the account's vehicles by plate, one of which the driver
// marks ("其他" last, for a vehicle that is not registered); "确认" opens the parties' form
// (`onConfirm`) with the chosen vehicle, or none.
//
// The screen holds the chosen row and its record; the marks of the rows on screen are drawn
// from it, so at most one row is marked however the cells are reused. Tapping the marked row
// clears the mark but keeps its record as the chosen vehicle.
//
// Real case: "getusercarlist" when the view loads; its "list" (an array of
// dictionaries) plus the "其他" row. A reply without a list, a list that is not an array or
// holds anything but dictionaries, and a transport failure leave the list empty.
// Practice: two sample vehicles, no "其他", no request.
class CarListViewController : public ui::TableViewController,
                              public CarListFooterViewDelegate {
public:
    static constexpr const char* kClassName = "CarListViewController";
    static constexpr const char* kTitle = "车辆列表";
    static constexpr const char* kOtherCarno = "其他";

    struct Arguments {
        GivenCaseMode simulateNormal;
        // NO one vehicle in the accident, YES two.
        bool carCount = false;
    };
    explicit CarListViewController(Arguments arguments)
        : carCount(arguments.carCount), simulateNormal(arguments.simulateNormal) {}
    std::string className() const override { return kClassName; }

    // Handed on unchanged to the parties' form.
    const bool carCount;
    const CaseMode simulateNormal;

    // "确认": the parties' form with the vehicle count and the chosen vehicle
    // (null when none was chosen).
    Output<void(bool carCount, std::shared_ptr<CarListModel> carlist)> onConfirm{this, "onConfirm"};

    // The real list (empty until the reply arrives) and the practice list (built on first read).
    std::vector<std::shared_ptr<CarListModel>>& carList() { return carList_; }
    std::vector<std::shared_ptr<CarListModel>>& simulateCarList();
    // The list shown: carList in a real case, else simulateCarList.
    const std::vector<std::shared_ptr<CarListModel>>& shownList();

    // The chosen vehicle (null until a row is tapped) and the marked row (none after a tap on
    // the marked row).
    std::shared_ptr<CarListModel> selectedCarlist() const { return selectedCarlist_; }
    std::optional<int> markedRow() const { return markedRow_; }

    // Sends "getusercarlist"; the reply replaces carList.
    void loadNewCarList();
    // "确认": hands the chosen vehicle on (onConfirm).
    void confirmBtnDidClick() override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    double heightForHeaderInSection(ui::TableView& tableView, int section) override;
    double heightForFooterInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::View> viewForHeaderInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::View> viewForFooterInSection(ui::TableView& tableView, int section) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

    // The list a "getusercarlist" reply gives: its vehicles and "其他", or empty when the reply
    // has no usable list.
    static std::vector<std::shared_ptr<CarListModel>> listFromReply(const nlohmann::json& reply);

private:
    void styleNavigation();
    void refreshMarks();

    std::vector<std::shared_ptr<CarListModel>> carList_;
    std::optional<std::vector<std::shared_ptr<CarListModel>>> simulateCarList_;
    std::shared_ptr<CarListModel> selectedCarlist_;
    std::optional<int> markedRow_;
    std::shared_ptr<ui::View> header_, footer_;
};
