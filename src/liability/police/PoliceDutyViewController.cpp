#include "liability/police/PoliceDutyViewController.h"

#include "core/CaseInProgress.h"
#include "core/ImageExtension.h"

#include "core/AccountTool.h"
#include "core/AppConfig.h"
#include "core/ApplicationRoutes.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/TelephoneNumber.h"
#include "core/TextValues.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "input/TextFieldLimitLength.h"
#include "liability/parties/PartyRows.h"
#include "liability/police/PoliceValues.h"
#include "liability/signature/PopSignUtil.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"

using TextValues::sentValue;
using TextValues::shownText;

namespace {


}  // namespace

PoliceDutyViewController::~PoliceDutyViewController() {
    if (countdown_) countdown_->invalidate();
    if (rejectAlert_) rejectAlert_->dismiss();
}

std::vector<PoliceDutyModel> PoliceDutyViewController::sampleRecords() {
    return {*PoliceDutyModel::objectWithKeyValues({{"dutytype", "0"},
                                                   {"carno", "京A***12"},
                                                   {"carphone", "13800138000"},
                                                   {"carname", "张三"},
                                                   {"insurename", "XXXXX保险公司"}}),
            *PoliceDutyModel::objectWithKeyValues({{"dutytype", "1"},
                                                   {"carno", "京B***34"},
                                                   {"carphone", "13900139000"},
                                                   {"carname", "李四"},
                                                   {"insurename", "XXXXX保险公司"}})};
}

// --- Static cells ---------------------------------------------------------------------------------

void PoliceDutyViewController::buildStaticCells() {
    sections_.makeRows();
    for (int section = 0; section < 2; ++section) {
        std::array<std::shared_ptr<ui::Label>, 5> labels;
        for (int row = 0; row < 5; ++row) {
            if (section == 1 && row == 2) continue;  // the editable telephone
            labels[row] = sections_.addValueLabel(section, row);
        }
        if (section == 0) {
            selfName = labels[0];
            selfCarNo = labels[1];
            selfPhoneNumber = labels[2];
            selfDuty = labels[3];
            selfInsurance = labels[4];
        } else {
            otherName = labels[0];
            otherCarNo = labels[1];
            otherDuty = labels[3];
            otherInsurance = labels[4];
            double width = ui::Screen::mainScreen().bounds().width();
            auto phone = std::make_shared<ui::TextField>(
                ui::Rect(PartyRows::kValueX, 0, width - PartyRows::kValueX - 12.5, sections_.rowHeight()));
            phone->setFont(ui::Font::systemFont(15));
            phone->setPlaceholder("请输入对方手机号");
            phone->setKeyboardType(ui::KeyboardType::PhonePad);
            TextFieldLimitLength::limitTextLength(phone, 11);
            sections_.row(ui::IndexPath::forRow(2, 1))->contentView()->addSubview(phone);
            otherPhoneNumber = phone;
        }
    }
}

// --- Loading --------------------------------------------------------------------------------------

void PoliceDutyViewController::viewDidLoad() {
    ui::TableViewController::viewDidLoad();
    Theme::applyPageBackground(*this);
    tableView()->setBackgroundColor(Theme::pageGrey());
    tableView()->setSeparatorStyle(ui::TableViewCellSeparatorStyle::None);
    Theme::styleNavigationBar(*this, kTitle);
    Theme::hideBackItem(*this);
    buildStaticCells();
    fill();
}

void PoliceDutyViewController::viewWillAppear(bool animated) {
    ui::TableViewController::viewWillAppear(animated);
    Theme::styleNavigationBar(*this);
    Theme::hideBackItem(*this);
}

void PoliceDutyViewController::fill() {
    if (dateSorce.size() >= 2) {
        dutyArray_ = {dateSorce[0], dateSorce[1]};
    } else if (simulateState == CaseMode::Practice) {
        dutyArray_ = sampleRecords();
    } else {
        foundation::log("PoliceDutyViewController: the decision holds " + std::to_string(dateSorce.size()) +
                        " records instead of two; nothing is filled");
        return;
    }
    const auto& own = dutyArray_[0];
    const auto& other = dutyArray_[1];
    selfName.lock()->setText(own.carname.value_or(""));
    selfCarNo.lock()->setText(own.carno.value_or(""));
    selfPhoneNumber.lock()->setText(own.carphone.value_or(""));
    if (auto text = PoliceValues::dutyText(own.dutytype)) selfDuty.lock()->setText(*text);
    selfInsurance.lock()->setText(own.insurename.value_or(""));
    otherName.lock()->setText(other.carname.value_or(""));
    otherCarNo.lock()->setText(other.carno.value_or(""));
    otherPhoneNumber.lock()->setText(other.carphone.value_or(""));
    if (auto text = PoliceValues::dutyText(other.dutytype)) otherDuty.lock()->setText(*text);
    otherInsurance.lock()->setText(other.insurename.value_or(""));
}

// --- Table ----------------------------------------------------------------------------------------

std::shared_ptr<ui::View> PoliceDutyViewController::partiesFooter() { return footer(); }

double PoliceDutyViewController::partiesFooterHeight() const { return PoliceDutyFooterView::kHeight; }

std::shared_ptr<PoliceDutyFooterView> PoliceDutyViewController::footer() {
    if (!footer_) {
        footer_ = std::make_shared<PoliceDutyFooterView>();
        footer_->setDelegate(sharedAs<PoliceDutyViewController>());
        footer_->code2()->setDelegate(sharedAs<PoliceDutyViewController>());
    }
    return footer_;
}

// --- Signing --------------------------------------------------------------------------------------

void PoliceDutyViewController::sign1BtnDidClick(const std::shared_ptr<ui::Button>& button) { sign(true, button); }

void PoliceDutyViewController::sign2BtnDidClick(const std::shared_ptr<ui::Button>& button) { sign(false, button); }

void PoliceDutyViewController::sign(bool own, const std::shared_ptr<ui::Button>& button) {
    std::weak_ptr<PoliceDutyViewController> weak = sharedAs<PoliceDutyViewController>();
    std::weak_ptr<ui::Button> weakButton = button;
    PopSignUtil::getSignWithVC(
        sharedAs<PoliceDutyViewController>(),
        [weak, weakButton, own](ui::ImagePtr image) {
            if (auto self = weak.lock(); self && image) self->signed_(own, weakButton.lock(), image);
            PopSignUtil::closePop();
        },
        [] { PopSignUtil::closePop(); });
}

namespace {
// The signed buttons: the scaled signature over the own party's orange and the other's green.
// The signature as it is sent: 160 x 90.
constexpr double kSignWidth = 160;
constexpr double kSignHeight = 90;
}  // namespace

void PoliceDutyViewController::signed_(bool own, const std::shared_ptr<ui::Button>& button,
                                       const graphics::Image::Ptr& image) {
    auto scaled = ImageExtension::imageOnWhite(image, {kSignWidth, kSignHeight});
    std::string text = StringExtension::imageWithBase64(scaled);
    if (text.empty()) {
        foundation::logError("PoliceDutyViewController: the signature could not be encoded");
        return;
    }
    (own ? selfSign : otherSign) = text;
    (own ? selfSignImage : otherSignImage) = scaled;
    if (!button) return;
    button->setTitle("", ui::ControlStates::Normal);
    button->setTitle("", ui::ControlStates::Highlighted);
    button->setImage(scaled, ui::ControlStates::Normal);
    button->setBackgroundImage(ImageExtension::stretchableImageNamed(own ? Theme::kOwnSignImage : Theme::kOtherSignImage),
                               ui::ControlStates::Normal);
}

// --- The SMS code ---------------------------------------------------------------------------------

void PoliceDutyViewController::getCodeBtnDidClick() {
    if (countdown_ && countdown_->isValid()) return;  // a countdown runs already
    std::string phone = shownText(otherPhoneNumber);
    if (phone.empty() || !StringExtension::isMobileNumber(phone)) {
        ProgressHUD::showError(kBadCodePhoneText);
        return;
    }
    // The button goes at once, before anything is sent, so that a second tap sends nothing.
    counter_ = kCountdownSeconds;
    countdownTick();
    std::weak_ptr<PoliceDutyViewController> weak = sharedAs<PoliceDutyViewController>();
    countdown_ = foundation::RunLoop::main().scheduleTimer(1.0, true, [weak](foundation::Timer& timer) {
        auto self = weak.lock();
        if (!self) {
            timer.invalidate();
            return;
        }
        self->countdownTick();
    });
    if (simulateState == CaseMode::Practice) return;
    RequestManager::shareRequestManager().request_Verification_WithParams(
        nlohmann::json{{"phone", phone}}, [weak](const nlohmann::json&, const RequestOutcome& outcome) {
            // A refusal has shown the server's reason ("too often", say) and the countdown
            // goes on. When the request never reached the server no code went out: say so and
            // let the driver ask again at once instead of waiting for an SMS that will not come.
            if (!outcome.failed()) return;
            ProgressHUD::showError(AppConfig::kNetworkFailureText);
            if (auto self = weak.lock()) {
                self->counter_ = 0;
                self->countdownTick();
            }
        });
}

void PoliceDutyViewController::countdownTick() {
    auto button = footer()->getCode();
    if (counter_ <= 0) {
        if (countdown_) countdown_->invalidate();
        countdown_.reset();
        button->setTitle(kAgainTitle, ui::ControlStates::Normal);
        button->setEnabled(true);
        return;
    }
    char seconds[8];
    std::snprintf(seconds, sizeof seconds, "%.2d", counter_ % 60);
    button->setTitle(std::string(seconds) + kCountdownFormat, ui::ControlStates::Normal);
    button->setEnabled(false);
    --counter_;
}

void PoliceDutyViewController::textFieldDidEndEditing(ui::TextField& field) {
    if (field.tag() == PoliceDutyFooterView::kCodeTag) otherVerfication = field.text();
}

// --- Confirmation ---------------------------------------------------------------------------------

void PoliceDutyViewController::confirmBtnDidClick() {
    if (dutyArray_.size() < 2) {
        ProgressHUD::showError(kIncompleteText);
        return;
    }
    std::string phone = shownText(otherPhoneNumber);
    dutyArray_[1].carphone = phone;
    // A code typed with the keyboard still up counts as well.
    if (auto code = footer()->code2(); code && !code->text().empty()) otherVerfication = code->text();

    const char* failure = nullptr;
    if (shownText(selfPhoneNumber) == phone) failure = kSamePhoneText;
    else if (selfSign.empty()) failure = kNoOwnSignText;
    else if (otherSign.empty()) failure = kNoOtherSignText;
    else if (!StringExtension::isMobileNumber(phone)) failure = kBadPhoneText;
    else if (otherVerfication.empty()) failure = kNoCodeText;
    if (failure) {
        ProgressHUD::showError(failure);
        return;
    }
    onAgreement({dutyArray_, insruance, selfSignImage, otherSignImage, otherVerfication});
}

// --- Rejection ------------------------------------------------------------------------------------

void PoliceDutyViewController::cancelBtnDidClick() {
    if (rejectAlert_ && rejectAlert_->isShown()) return;
    rejectAlert_ = std::make_shared<TwoButtonAlertView>(kRejectTitle, kRejectText, std::string("确定"), "取消");
    rejectAlert_->setLeftBlock(foundation::weakBind(this, &PoliceDutyViewController::reject));
    rejectAlert_->show();
}

void PoliceDutyViewController::reject() {
    rejectAlert_.reset();
    if (simulateState == CaseMode::Practice) {
        auto account = AccountTool::account();
        if (account && account->userid && !account->userid->empty()) ApplicationRoutes::leaveForNewHomePage();
        else ApplicationRoutes::leaveForLoginPage();
        return;
    }
    if (rejecting_) return;
    rejecting_ = true;
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto params = UserDateSingleton::params({{"userid", sentValue(state.userid())},
                                             {"accidentno", sentValue(CaseInProgress::number())},
                                             {"sn", sentValue(state.sn())},
                                             {"appkey", AppConfig::appKey()},
                                             {"accidenttype", std::string("1")},
                                             {"type", std::string("0")}});
    ProgressHUD::showMessage(kProcessingText);
    std::weak_ptr<PoliceDutyViewController> weak = sharedAs<PoliceDutyViewController>();
    RequestManager::shareRequestManager().request_Taskstate_WithParams(
        params, [weak](const nlohmann::json& reply, const RequestOutcome& outcome) {
            if (auto self = weak.lock()) self->rejecting_ = false;
            if (!outcome.answered()) return;  // the API client hid the spinner and said why
            ProgressHUD::hideHUD();
            // The rejected decision is left behind: the home page becomes the window's root.
            ApplicationRoutes::leaveForNewHomePage();
            std::string number;
            if (reply.is_object() && reply.contains("phoneno"))
                number = keyvalue::stringFromJson(reply["phoneno"]).value_or("");
            auto dialable = TelephoneNumber::dialable(number);
            if (!dialable) {
                foundation::log("PoliceDutyViewController: no number to dial in the reply");
                ProgressHUD::showError(number.empty() ? kCallPoliceText : TelephoneNumber::unreachableMessage(number));
                return;
            }
            if (!ui::Application::shared().openURL("telprompt:" + *dialable))
                foundation::log("PoliceDutyViewController: the phone cannot dial " + *dialable);
        });
}
