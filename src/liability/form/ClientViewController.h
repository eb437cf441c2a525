#pragma once
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "capture/vehicle/CarListModel.h"
#include "core/CaseMode.h"
#include "core/InsuranceCompany.h"
#include "core/Output.h"
#include "liability/form/ClientFooterView.h"
#include "liability/form/ClientRequestModel.h"
#include "liability/form/DutyModel.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TableViewController.h"
#include "platform/ui/TextField.h"

// The parties' data form: per
// vehicle the driver's name, the plate (prefix picked from the province and letter picker,
// number typed), the phone and the insurer. One section (own vehicle) or two (own and other).
//
// Static rows of each section: 0 name, 1 plate, 2 phone, 3 insurer (opens the insurer
// chooser, `onChooseInsurance`). The own phone is the signed-in user's number and cannot be edited.
//
// "下一步" checks the entries in a fixed order with fixed messages (one vehicle: plate before
// name; two vehicles: the checks interleaved with building the entries), sends
// "accidentcarinfo" in a real case, then opens the insurance report (`onReport`, one vehicle)
// or the negotiated liability (`onNegotiation`, two vehicles) with the own party's insurer
// record. A failed check or request leaves every field as entered.
class ClientViewController : public ui::TableViewController,
                             public ClientFooterViewDelegate {
public:
    static constexpr const char* kClassName = "ClientViewController";
    static constexpr const char* kTitle = "当事人信息";
    static constexpr const char* kChooseInsurance = "请选择保险公司";
    static constexpr int kInsuranceRow = 3;
    // A plate number field holds five characters, six for a new-energy plate.
    static constexpr int kPlateNumberMaxLength = 6;

    // Practice samples.
    static constexpr const char* kSampleOwnPhone = "13800138000";
    static constexpr const char* kSampleOtherName = "李四";
    static constexpr const char* kSampleOtherPlateNo = "6H111";
    static constexpr const char* kSampleOtherPhone = "13900139000";
    static constexpr const char* kSampleOtherInsurance = "中国平安财产保险股份有限公司";

    struct Arguments {
        GivenCaseMode simulateNormal;
        // NO one vehicle (one section), YES two.
        bool carCount = false;
        // The own vehicle chosen in the vehicle list (carno "其他": not registered), or null.
        std::shared_ptr<CarListModel> carlist;
    };
    explicit ClientViewController(Arguments arguments)
        : carCount(arguments.carCount), simulateNormal(arguments.simulateNormal), carlist(std::move(arguments.carlist)) {}
    std::string className() const override { return kClassName; }

    const bool carCount;
    const CaseMode simulateNormal;
    const std::shared_ptr<CarListModel> carlist;

    using InsuranceReturnBlock = std::function<void(const std::shared_ptr<InsuranceCompany>& company)>;
    // The insurer row of the own party or of the other (`otherParty`): the insurer chooser (the
    // own party's with the case's list, the other's always with the practice list, as its
    // insurer need not be a local one); `returnBlock` takes the chosen record.
    Output<void(bool otherParty, InsuranceReturnBlock returnBlock)> onChooseInsurance{this, "onChooseInsurance"};
    // One vehicle, once submitted: the insurance report with the own insurer record.
    Output<void(std::shared_ptr<InsuranceCompany> compary)> onReport{this, "onReport"};
    // Two vehicles, once submitted: the negotiated liability.
    Output<void(std::shared_ptr<DutyModel> duty, std::shared_ptr<InsuranceCompany> insurance)>
        onNegotiation{this, "onNegotiation"};

    // Actions.
    void selfLocBtnClick();
    void ohterLocBtnClick();
    void selfCarNoChanged();
    void otherCarNoChanged();
    void confirmBtnDidClick() override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    int numberOfSectionsInTableView(ui::TableView& tableView) override;
    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    double heightForHeaderInSection(ui::TableView& tableView, int section) override;
    double heightForFooterInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::View> viewForHeaderInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::View> viewForFooterInSection(ui::TableView& tableView, int section) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

    // The prefix and number a plate splits into: its first two characters and the five (six on a
    // new-energy plate) after them. A plate of any other length gives two empty texts, which leave
    // the fields for the driver to type.
    static std::pair<std::string, std::string> splitCarno(const std::string& carno);
    // ASCII letters in upper case; every other character as it is.
    static std::string upperCased(const std::string& text);

private:
    friend class ClientTestAPI;

    // Outlets: own party.
    std::weak_ptr<ui::TextField> selfName;
    std::weak_ptr<ui::Button> selfLocBtn;
    std::weak_ptr<ui::TextField> selfPlateNo;
    std::weak_ptr<ui::Label> selfPhoneNo;
    std::weak_ptr<ui::Label> selfInsurance;
    // Outlets: other party.
    std::weak_ptr<ui::TextField> OtherDriveName;
    std::weak_ptr<ui::Button> otherLocBtn;
    std::weak_ptr<ui::TextField> otherPlateNo;
    std::weak_ptr<ui::TextField> otherPhoneNo;
    std::weak_ptr<ui::Label> otherInsurance;

    // The insurers picked in the chooser (empty records until then).
    std::shared_ptr<InsuranceCompany> selfInsuranceModel();
    std::shared_ptr<InsuranceCompany> otherInsuranceModel();
    // Documents/insurance.plist as it was when first read (an empty list without the file).
    const nlohmann::json& insurance();

    // The own party's insurer record as the next screen gets it (see the class comment).
    std::shared_ptr<InsuranceCompany> ownInsuranceRecord();
    // The two parties as the fields show them now.
    std::shared_ptr<DutyModel> dutyModel();
    // The static cell of a row (null outside the form).
    std::shared_ptr<ui::TableViewCell> staticCell(ui::IndexPath indexPath) const;

    void buildStaticCells();
    void fillFields();
    void styleNavigation();
    void pickPrefix(const std::weak_ptr<ui::Button>& button);
    void upperCase(const std::weak_ptr<ui::TextField>& field);
    void chooseInsurance(int section);
    void submitOneVehicle();
    void submitTwoVehicles();
    bool fail(const std::string& message);
    void openReport(const std::shared_ptr<InsuranceCompany>& company);
    void openNegotiation(const std::shared_ptr<DutyModel>& duty, const std::shared_ptr<InsuranceCompany>& company);
    // Prefix title + number text.
    std::string plateOf(const std::weak_ptr<ui::Button>& prefix, const std::weak_ptr<ui::TextField>& number) const;
    std::shared_ptr<ClientRequestModel> requestModel() const;

    std::array<std::array<std::shared_ptr<ui::TableViewCell>, 4>, 2> cells_;
    std::shared_ptr<InsuranceCompany> selfInsuranceModel_, otherInsuranceModel_;
    std::optional<nlohmann::json> insurance_;
    std::array<std::shared_ptr<ui::View>, 2> headers_;
    std::shared_ptr<ui::View> footer_;
};
