#include "liability/form/ClientViewController.h"

#include "account/AddressManager.h"
#include "core/AppConfig.h"
#include "core/CaseInProgress.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/TextValues.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "input/StringPickerSheet.h"
#include "input/TextFieldLimitLength.h"
#include "liability/form/ClientHeaderView.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

using TextValues::shownText;

namespace {

constexpr double kCaptionX = 12.5;
constexpr double kCaptionWidth = 70;
constexpr double kFieldX = 90;
constexpr double kPrefixWidth = 60;
constexpr double kRowHeight = 44;

// The UTF-8 characters of a text (a stray byte of a broken sequence counts as one).
std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
        if (i + length > text.size()) length = 1;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                length = 1;
                break;
            }
        }
        out.push_back(text.substr(i, length));
        i += length;
    }
    return out;
}

bool isEmpty(const std::string& text) { return text.empty(); }

std::string titleOf(const std::weak_ptr<ui::Button>& button) {
    auto b = button.lock();
    return b ? b->titleForState(ui::ControlStates::Normal).value_or("") : std::string();
}

std::optional<std::string> escaped(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    return StringExtension::UTF8StringWithString(*text);
}

bool nonEmpty(const std::optional<std::string>& text) { return text && !text->empty(); }

// A caption at the left of a static row.
std::shared_ptr<ui::TableViewCell> makeRow(const std::string& caption, bool selectable) {
    auto cell = std::make_shared<ui::TableViewCell>(ui::TableViewCellStyle::Default);
    double width = ui::Screen::mainScreen().bounds().width();
    cell->setFrame({0, 0, width, kRowHeight});
    if (!selectable) cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    auto label = std::make_shared<ui::Label>(ui::Rect(kCaptionX, 0, kCaptionWidth, kRowHeight));
    label->setText(caption);
    label->setFont(ui::Font::systemFont(15));
    cell->contentView()->addSubview(label);
    return cell;
}

std::shared_ptr<ui::TextField> makeField(const std::string& placeholder, ui::Rect frame, ui::KeyboardType keyboard) {
    auto field = std::make_shared<ui::TextField>(frame);
    field->setPlaceholder(placeholder);
    field->setFont(ui::Font::systemFont(15));
    field->setKeyboardType(keyboard);
    field->setReturnKeyType(ui::ReturnKeyType::Done);
    return field;
}

std::shared_ptr<ui::Label> makeValueLabel(ui::Rect frame) {
    auto label = std::make_shared<ui::Label>(frame);
    label->setFont(ui::Font::systemFont(15));
    return label;
}

}  // namespace

// --- Static cells ---------------------------------------------------------------------------------

void ClientViewController::buildStaticCells() {
    double width = ui::Screen::mainScreen().bounds().width();
    double fieldWidth = width - kFieldX - 12.5;
    for (int section = 0; section < 2; ++section) {
        bool own = section == 0;

        auto nameCell = makeRow("姓名", false);
        auto name = makeField("请输入驾驶人姓名", {kFieldX, 0, fieldWidth, kRowHeight}, ui::KeyboardType::Default);
        nameCell->contentView()->addSubview(name);

        auto plateCell = makeRow("车牌号", false);
        auto prefix = std::make_shared<ui::Button>(ui::ButtonType::Custom);
        prefix->setFrame({kFieldX, 7, kPrefixWidth, 30});
        prefix->setImage(ui::Image::named("下拉"));
        prefix->setTitleColor(ui::Color::black());
        prefix->titleLabel()->setFont(ui::Font::systemFont(15));
        prefix->setImageEdgeInsets({0, kPrefixWidth - 14, 0, 0});
        plateCell->contentView()->addSubview(prefix);
        auto plateNo = makeField("请输入车牌号", {kFieldX + kPrefixWidth + 5, 0, fieldWidth - kPrefixWidth - 5, kRowHeight},
                                 ui::KeyboardType::ASCIICapable);
        plateNo->setAutocapitalizationType(ui::AutocapitalizationType::AllCharacters);
        plateCell->contentView()->addSubview(plateNo);

        auto phoneCell = makeRow("电话", false);
        auto insuranceCell = makeRow("保险公司", true);
        insuranceCell->setAccessoryType(ui::TableViewCellAccessoryType::DisclosureIndicator);
        auto insurer = makeValueLabel({kFieldX, 0, fieldWidth - 20, kRowHeight});
        insuranceCell->contentView()->addSubview(insurer);

        if (own) {
            auto phone = makeValueLabel({kFieldX, 0, fieldWidth, kRowHeight});
            phoneCell->contentView()->addSubview(phone);
            selfName = name;
            selfLocBtn = prefix;
            selfPlateNo = plateNo;
            selfPhoneNo = phone;
            selfInsurance = insurer;
            prefix->addTarget(foundation::weakBind(this, &ClientViewController::selfLocBtnClick),
                              ui::ControlEvent::TouchUpInside, this);
            plateNo->addTarget(foundation::weakBind(this, &ClientViewController::selfCarNoChanged),
                               ui::ControlEvent::EditingChanged, this);
        } else {
            auto phone = makeField("请输入手机号", {kFieldX, 0, fieldWidth, kRowHeight}, ui::KeyboardType::PhonePad);
            phoneCell->contentView()->addSubview(phone);
            OtherDriveName = name;
            otherLocBtn = prefix;
            otherPlateNo = plateNo;
            otherPhoneNo = phone;
            otherInsurance = insurer;
            prefix->addTarget(foundation::weakBind(this, &ClientViewController::ohterLocBtnClick),
                              ui::ControlEvent::TouchUpInside, this);
            plateNo->addTarget(foundation::weakBind(this, &ClientViewController::otherCarNoChanged),
                               ui::ControlEvent::EditingChanged, this);
        }
        cells_[section] = {nameCell, plateCell, phoneCell, insuranceCell};
    }
}

std::shared_ptr<ui::TableViewCell> ClientViewController::staticCell(ui::IndexPath indexPath) const {
    if (indexPath.section < 0 || indexPath.section > 1 || indexPath.row < 0 || indexPath.row > 3) return nullptr;
    return cells_[indexPath.section][indexPath.row];
}

// --- Loading --------------------------------------------------------------------------------------

void ClientViewController::viewDidLoad() {
    ui::TableViewController::viewDidLoad();
    view()->setBackgroundColor(Theme::pageGrey());
    tableView()->setBackgroundColor(Theme::pageGrey());
    setTitle(kTitle);
    navigationItem()->setHidesBackButton(true);
    styleNavigation();
    buildStaticCells();
    fillFields();
}

void ClientViewController::viewWillAppear(bool animated) {
    ui::TableViewController::viewWillAppear(animated);
    styleNavigation();
}

void ClientViewController::styleNavigation() {
    Theme::styleNavigationBar(*this);
}

void ClientViewController::fillFields() {
    TextFieldLimitLength::limitTextLength(selfName.lock(), 40);
    TextFieldLimitLength::limitTextLength(OtherDriveName.lock(), 40);
    TextFieldLimitLength::limitTextLength(selfPlateNo.lock(), kPlateNumberMaxLength);
    TextFieldLimitLength::limitTextLength(otherPlateNo.lock(), kPlateNumberMaxLength);
    TextFieldLimitLength::limitTextLength(otherPhoneNo.lock(), 11);

    selfInsurance.lock()->setText(kChooseInsurance);
    otherInsurance.lock()->setText(kChooseInsurance);

    auto& state = UserDateSingleton::shareUserDateInstance();
    if (simulateNormal == CaseMode::Real) {
        selfPhoneNo.lock()->setText(state.phoneNumber().value_or(""));
    } else {
        selfPhoneNo.lock()->setText(kSampleOwnPhone);
        OtherDriveName.lock()->setText(kSampleOtherName);
        otherPlateNo.lock()->setText(kSampleOtherPlateNo);
        otherPhoneNo.lock()->setText(kSampleOtherPhone);
        otherInsurance.lock()->setText(kSampleOtherInsurance);
    }

    if (carlist && nonEmpty(carlist->carno)) {
        if (*carlist->carno == "其他") {
            selfPhoneNo.lock()->setText(state.phoneNumber().value_or(""));
        } else {
            selfName.lock()->setText(carlist->ownername.value_or(""));
            selfInsurance.lock()->setText(carlist->jqxname.value_or(""));
            auto [prefix, number] = splitCarno(*carlist->carno);
            selfPlateNo.lock()->setText(number);
            selfLocBtn.lock()->setTitle(prefix);
        }
    }

    // The prefix moves its whole width to the left, clear of the arrow at the right edge (an
    // inset on the left only moves a centred title half as far, under the arrow).
    selfLocBtn.lock()->setTitleEdgeInsets({0, -17, 0, 17});
    otherLocBtn.lock()->setTitleEdgeInsets({0, -17, 0, 17});
}

std::pair<std::string, std::string> ClientViewController::splitCarno(const std::string& carno) {
    auto chars = characters(carno);
    // A plate is a two-character prefix and five characters (six on a new-energy plate).
    if (chars.size() != 7 && chars.size() != 8) return {};
    std::string prefix, number;
    for (size_t i = 0; i < chars.size(); ++i) (i < 2 ? prefix : number) += chars[i];
    return {prefix, number};
}

std::string ClientViewController::upperCased(const std::string& text) {
    std::string out = text;
    for (auto& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// --- Lazily made state ----------------------------------------------------------------------------

std::shared_ptr<InsuranceCompany> ClientViewController::selfInsuranceModel() {
    if (!selfInsuranceModel_) selfInsuranceModel_ = std::make_shared<InsuranceCompany>();
    return selfInsuranceModel_;
}

std::shared_ptr<InsuranceCompany> ClientViewController::otherInsuranceModel() {
    if (!otherInsuranceModel_) otherInsuranceModel_ = std::make_shared<InsuranceCompany>();
    return otherInsuranceModel_;
}

const nlohmann::json& ClientViewController::insurance() {
    if (!insurance_) {
        auto file = foundation::plist::readStored(foundation::Sandbox::current().documents() / "insurance.plist");
        if (file && !file->is_array()) foundation::log("ClientViewController: insurance.plist is not a list");
        insurance_ = file && file->is_array() ? *file : nlohmann::json::array();
    }
    return *insurance_;
}

// --- Table ----------------------------------------------------------------------------------------

int ClientViewController::numberOfSectionsInTableView(ui::TableView&) { return carCount ? 2 : 1; }

int ClientViewController::numberOfRowsInSection(ui::TableView&, int) { return 4; }

std::shared_ptr<ui::TableViewCell> ClientViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                ui::IndexPath indexPath) {
    if (auto cell = staticCell(indexPath)) return cell;
    return ui::TableViewController::cellForRowAtIndexPath(tableView, indexPath);
}

double ClientViewController::heightForHeaderInSection(ui::TableView&, int) { return ClientHeaderView::kHeight; }

double ClientViewController::heightForFooterInSection(ui::TableView&, int section) {
    return section == (carCount ? 1 : 0) ? ClientFooterView::kHeight : 0;
}

std::shared_ptr<ui::View> ClientViewController::viewForHeaderInSection(ui::TableView&, int section) {
    if (!carCount || section < 0 || section > 1) return nullptr;
    if (!headers_[section]) {
        auto header = std::make_shared<ClientHeaderView>();
        header->textLabel()->setText(section == 0 ? "本方驾驶员及车辆信息" : "对方驾驶员及车辆信息");
        header->textLabel()->setTextColor(section == 0 ? Theme::ownParty() : Theme::otherParty());
        headers_[section] = header;
    }
    return headers_[section];
}

std::shared_ptr<ui::View> ClientViewController::viewForFooterInSection(ui::TableView&, int section) {
    if (section != (carCount ? 1 : 0)) return nullptr;
    if (!footer_) {
        auto footer = std::make_shared<ClientFooterView>();
        footer->setDelegate(sharedAs<ClientViewController>());
        footer_ = footer;
    }
    return footer_;
}

void ClientViewController::didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) {
    tableView.deselectRowAtIndexPath(indexPath, false);
    if (indexPath.row == kInsuranceRow && (indexPath.section == 0 || indexPath.section == 1))
        chooseInsurance(indexPath.section);
}

// --- Actions --------------------------------------------------------------------------------------

void ClientViewController::selfLocBtnClick() { pickPrefix(selfLocBtn); }

void ClientViewController::ohterLocBtnClick() { pickPrefix(otherLocBtn); }

void ClientViewController::pickPrefix(const std::weak_ptr<ui::Button>& button) {
    nlohmann::json rows = nlohmann::json::array({AddressManager::firstLevelArray(), AddressManager::secondLevelMap()});
    StringPickerSheet::showPickerWithTitle(
        "号码", rows, nlohmann::json::array({0, 0}),
        [button](StringPickerSheet&, const std::vector<int>&, const std::vector<std::string>& values) {
            auto b = button.lock();
            if (!b || values.size() < 2) return;
            b->setTitle(values[0] + values[1]);
        },
        [](StringPickerSheet&) {}, view());
}

void ClientViewController::selfCarNoChanged() { upperCase(selfPlateNo); }

void ClientViewController::otherCarNoChanged() { upperCase(otherPlateNo); }

void ClientViewController::upperCase(const std::weak_ptr<ui::TextField>& field) {
    auto f = field.lock();
    // A composition in progress is left alone; its committed text comes back through here.
    if (!f || f->markedTextRange()) return;
    auto upper = upperCased(f->text());
    if (upper != f->text()) f->setText(upper);
}

void ClientViewController::chooseInsurance(int section) {
    auto chosen =
        foundation::weakBind(this, [section](const auto& self, const std::shared_ptr<InsuranceCompany>& company) {
            if (!company) return;
            if (section == 0) {
                self->selfInsuranceModel_ = company;
                self->selfInsurance.lock()->setText(company->inscomname.value_or(""));
            } else {
                self->otherInsuranceModel_ = company;
                self->otherInsurance.lock()->setText(company->inscomname.value_or(""));
            }
        });
    onChooseInsurance(section != 0, chosen);
}

// --- Checks and submission ------------------------------------------------------------------------

bool ClientViewController::fail(const std::string& message) {
    ProgressHUD::showError(message);
    return false;
}

std::string ClientViewController::plateOf(const std::weak_ptr<ui::Button>& prefix,
                                          const std::weak_ptr<ui::TextField>& number) const {
    return titleOf(prefix) + shownText(number);
}

std::shared_ptr<ClientRequestModel> ClientViewController::requestModel() const {
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto request = std::make_shared<ClientRequestModel>();
    request->userid = state.userid();
    request->appkey = AppConfig::appKey();
    request->sn = state.sn();
    request->accidentno = CaseInProgress::number();
    return request;
}

void ClientViewController::confirmBtnDidClick() {
    if (carCount) submitTwoVehicles();
    else submitOneVehicle();
}

namespace {

// The own entry's insurer: the one picked on the form, else the listed vehicle's compulsory policy.
void ownInsurer(ClientRequestModel& own, const InsuranceCompany& chosen, const CarListModel* carlist) {
    if (nonEmpty(chosen.inscomname)) {
        own.companycode = chosen.inscomcode;
        own.companyname = escaped(chosen.inscomname);
    } else {
        own.companycode = carlist ? carlist->jqxcode : std::nullopt;
        own.companyname = carlist ? escaped(carlist->jqxname) : std::nullopt;
    }
}

// The case's own plate, which later steps (the rating) send, is the one the server accepted.
void rememberOwnPlate(const std::string& plate) {
    UserDateSingleton::shareUserDateInstance().setCarno(plate);
}

}  // namespace

void ClientViewController::submitOneVehicle() {
    if (shownText(selfInsurance) == kChooseInsurance) { fail("请选择保险公司"); return; }
    if (isEmpty(shownText(selfName)) || isEmpty(shownText(selfPhoneNo)) || isEmpty(shownText(selfPlateNo)) ||
        isEmpty(titleOf(selfLocBtn)) || isEmpty(shownText(selfInsurance))) {
        fail("请补全车辆及驾驶人信息");
        return;
    }
    if (simulateNormal == CaseMode::Practice) {
        auto placeholder = InsuranceCompany::objectWithKeyValues(
            {{"inscomname", "XXXXX保险公司"}, {"inscomcode", "0"}, {"insphone", "400-***-****"}});
        openReport(placeholder);
        return;
    }
    if (!StringExtension::validateCarNo(shownText(selfPlateNo))) { fail("车牌号有误"); return; }
    if (!StringExtension::validateString(shownText(selfName))) { fail("姓名只能包含中文和英文"); return; }

    auto own = std::make_shared<ClientRequestModel>();
    own->casecarno = StringExtension::UTF8StringWithString(plateOf(selfLocBtn, selfPlateNo));
    own->caseperson = StringExtension::UTF8StringWithString(shownText(selfName));
    own->casephone = shownText(selfPhoneNo);
    own->localflag = "1";
    ownInsurer(*own, *selfInsuranceModel(), carlist.get());
    auto request = requestModel();
    request->casecarlist = nlohmann::json::array({own->keyValues()});

    ProgressHUD::showMessage("正在加载...");
    std::weak_ptr<ClientViewController> weak = sharedAs<ClientViewController>();
    RequestManager::shareRequestManager().request_accidentcarinfo_WithParams(
        request->keyValues(), [weak, plate = plateOf(selfLocBtn, selfPlateNo)](const nlohmann::json&,
                                                                              const RequestOutcome& outcome) {
            if (!outcome.answered()) return;  // the API client hid the spinner and said why
            ProgressHUD::hideHUD();
            rememberOwnPlate(plate);
            auto self = weak.lock();
            if (!self) return;
            self->openReport(self->ownInsuranceRecord());
        });
}

void ClientViewController::submitTwoVehicles() {
    if (shownText(selfInsurance) == kChooseInsurance) { fail("请选择保险公司"); return; }
    if (shownText(otherInsurance) == kChooseInsurance) { fail("请选择保险公司"); return; }
    if (isEmpty(shownText(selfName)) || isEmpty(shownText(selfPhoneNo)) || isEmpty(shownText(selfPlateNo)) ||
        isEmpty(titleOf(selfLocBtn)) || isEmpty(shownText(selfInsurance)) || isEmpty(shownText(OtherDriveName)) ||
        isEmpty(shownText(otherInsurance)) || isEmpty(shownText(otherPhoneNo)) || isEmpty(shownText(otherPlateNo)) ||
        isEmpty(titleOf(otherLocBtn))) {
        fail("请完善车辆信息");
        return;
    }
    if (simulateNormal == CaseMode::Practice) {
        auto company = InsuranceCompany::objectWithKeyValues({{"inscomname", shownText(selfInsurance)}});
        openNegotiation(dutyModel(), company);
        return;
    }

    // Own entry, its checks among its fields.
    auto own = std::make_shared<ClientRequestModel>();
    own->casecarno = StringExtension::UTF8StringWithString(plateOf(selfLocBtn, selfPlateNo));
    if (!StringExtension::validateString(shownText(selfName))) { fail("姓名只能包含中文和英文"); return; }
    if (!StringExtension::validateCarNo(shownText(selfPlateNo))) { fail("本方车牌号有误"); return; }
    own->caseperson = StringExtension::UTF8StringWithString(shownText(selfName));
    own->casephone = shownText(selfPhoneNo);
    own->localflag = "1";
    ownInsurer(*own, *selfInsuranceModel(), carlist.get());

    auto record = ownInsuranceRecord();

    // Other entry.
    auto other = std::make_shared<ClientRequestModel>();
    other->casecarno = StringExtension::UTF8StringWithString(plateOf(otherLocBtn, otherPlateNo));
    if (!StringExtension::validateCarNo(shownText(otherPlateNo))) { fail("对方车牌号有误"); return; }
    other->caseperson = StringExtension::UTF8StringWithString(shownText(OtherDriveName));
    if (!StringExtension::validateString(shownText(OtherDriveName))) { fail("姓名只能包含中文或英文"); return; }
    other->casephone = shownText(otherPhoneNo);
    if (!StringExtension::isMobileNumber(shownText(otherPhoneNo))) { fail("对方电话号码有误"); return; }
    other->localflag = "0";
    other->companycode = otherInsuranceModel()->inscomcode;
    other->companyname = escaped(otherInsuranceModel()->inscomname);

    auto request = requestModel();
    request->casecarlist = nlohmann::json::array({own->keyValues(), other->keyValues()});
    if (own->casephone == other->casephone) { fail("双方电话不可相同"); return; }
    if (own->casecarno == other->casecarno) { fail("双方车牌号不可相同"); return; }

    auto& state = UserDateSingleton::shareUserDateInstance();
    request->accidentdes = state.accidentdes();
    auto information = state.accidentInfomation();
    if (nonEmpty(information)) request->accidentInformation = information;

    ProgressHUD::showMessage("加载中...");
    std::weak_ptr<ClientViewController> weak = sharedAs<ClientViewController>();
    RequestManager::shareRequestManager().request_accidentcarinfo_WithParams(
        request->keyValues(), [weak, record, plate = plateOf(selfLocBtn, selfPlateNo)](const nlohmann::json&,
                                                                                      const RequestOutcome& outcome) {
            if (!outcome.answered()) return;  // the API client hid the spinner and said why
            ProgressHUD::hideHUD();
            rememberOwnPlate(plate);
            auto self = weak.lock();
            if (!self) return;
            self->openNegotiation(self->dutyModel(), record);
        });
}

std::shared_ptr<InsuranceCompany> ClientViewController::ownInsuranceRecord() {
    nlohmann::json dict = nlohmann::json::object();
    auto chosen = selfInsuranceModel();
    if (nonEmpty(chosen->inscomname)) {
        dict = chosen->keyValues();
    } else {
        std::optional<std::string> code = carlist ? carlist->jqxcode : std::nullopt;
        if (carlist && carlist->jqxname) dict["inscomname"] = *carlist->jqxname;
        if (code) dict["inscomcode"] = *code;
        // The last list entry with the vehicle's insurer code gives the telephone numbers.
        for (const auto& entry : insurance()) {
            if (!code || !entry.is_object()) continue;
            auto entryCode = keyvalue::stringFromJson(entry.value("inscomcode", nlohmann::json()));
            if (entryCode != code) continue;
            for (const char* key : {"insphone", "insreporttel"}) {
                auto value = keyvalue::stringFromJson(entry.value(key, nlohmann::json()));
                if (value) dict[key] = *value;
                else dict.erase(key);
            }
        }
    }
    return InsuranceCompany::objectWithKeyValues(dict);
}

std::shared_ptr<DutyModel> ClientViewController::dutyModel() {
    return DutyModel::objectWithKeyValues({{"selfName", shownText(selfName)},
                                           {"selfCarNo", plateOf(selfLocBtn, selfPlateNo)},
                                           {"selfInsurance", shownText(selfInsurance)},
                                           {"otherName", shownText(OtherDriveName)},
                                           {"otherCarNo", plateOf(otherLocBtn, otherPlateNo)},
                                           {"otherInsurance", shownText(otherInsurance)}});
}

// --- Hand-over ------------------------------------------------------------------------------------

void ClientViewController::openReport(const std::shared_ptr<InsuranceCompany>& company) { onReport(company); }

void ClientViewController::openNegotiation(const std::shared_ptr<DutyModel>& duty,
                                           const std::shared_ptr<InsuranceCompany>& company) {
    onNegotiation(duty, company);
}
