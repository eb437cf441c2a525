#include "liability/negotiation/ConfirmSignViewController.h"

#include "core/AppConfig.h"
#include "core/CaseInProgress.h"
#include "core/ImageExtension.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/TextValues.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "liability/parties/PartyRows.h"
#include "liability/signature/PopSignUtil.h"
#include "platform/foundation/Log.h"

using TextValues::sentValue;
using TextValues::shownText;

std::optional<std::string> ConfirmSignViewController::dutyText(int code) {
    switch (code) {
        case 0: return "全责";
        case 1: return "无责";
        case 2: return "同责";
        default: return std::nullopt;
    }
}

graphics::Image::Ptr ConfirmSignViewController::scaledSignature(const graphics::Image::Ptr& image) {
    // The pad draws its strokes on transparent pixels: they go out on white.
    return ImageExtension::imageOnWhite(image, {kSignWidth, kSignHeight});
}

// --- Static cells ---------------------------------------------------------------------------------

void ConfirmSignViewController::buildStaticCells() {
    sections_.makeRows();
    for (int section = 0; section < 2; ++section) {
        std::array<std::shared_ptr<ui::Label>, 4> labels;
        for (int row = 0; row < 4; ++row) labels[row] = sections_.addValueLabel(section, row);
        auto& [name, plate, liability, insurer] = labels;
        if (section == 0) {
            selfName = name;
            selfCarPlateNo = plate;
            selfDuty = liability;
            selfInsurance = insurer;
        } else {
            otherName = name;
            otherCarPlateNo = plate;
            otherDuty = liability;
            otherInsurance = insurer;
        }
    }
}

// --- Loading --------------------------------------------------------------------------------------

void ConfirmSignViewController::viewDidLoad() {
    ui::TableViewController::viewDidLoad();
    Theme::applyPageBackground(*this);
    tableView()->setBackgroundColor(Theme::pageGrey());
    tableView()->setSeparatorStyle(ui::TableViewCellSeparatorStyle::None);
    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItem(sharedAs<ConfirmSignViewController>());
    buildStaticCells();
    selfName.lock()->setText(duty.selfName.value_or(""));
    selfCarPlateNo.lock()->setText(duty.selfCarNo.value_or(""));
    selfInsurance.lock()->setText(duty.selfInsurance.value_or(""));
    otherName.lock()->setText(duty.otherName.value_or(""));
    otherCarPlateNo.lock()->setText(duty.otherCarNo.value_or(""));
    otherInsurance.lock()->setText(duty.otherInsurance.value_or(""));
    if (hasLiability()) {
        if (auto text = dutyText(selectedBtn[0])) selfDuty.lock()->setText(*text);
        if (auto text = dutyText(selectedBtn[1])) otherDuty.lock()->setText(*text);
    } else {
        foundation::log("ConfirmSignViewController: " + std::to_string(selectedBtn.size()) +
                        " liability codes instead of two");
    }
}

void ConfirmSignViewController::viewWillAppear(bool animated) {
    ui::TableViewController::viewWillAppear(animated);
    Theme::styleNavigationBar(*this);
}

// --- Table ----------------------------------------------------------------------------------------

std::shared_ptr<ui::View> ConfirmSignViewController::partiesFooter() {
    // Made once: the signatures stay on its buttons when the table reloads.
    if (!footerView_) {
        footerView_ = std::make_shared<ConfirmSignFooterView>();
        footerView_->setDelegate(sharedAs<ConfirmSignViewController>());
    }
    return footerView_;
}

double ConfirmSignViewController::partiesFooterHeight() const { return ConfirmSignFooterView::kHeight; }

// --- Signing --------------------------------------------------------------------------------------

void ConfirmSignViewController::sign1BtnDidClick(const std::shared_ptr<ui::Button>& button) { sign(true, button); }

void ConfirmSignViewController::sign2BtnDidClick(const std::shared_ptr<ui::Button>& button) { sign(false, button); }

void ConfirmSignViewController::sign(bool own, const std::shared_ptr<ui::Button>& button) {
    (own ? sign1 : sign2) = button;
    std::weak_ptr<ConfirmSignViewController> weak = sharedAs<ConfirmSignViewController>();
    PopSignUtil::getSignWithVC(
        sharedAs<ConfirmSignViewController>(),
        [weak, own](ui::ImagePtr image) {
            if (auto self = weak.lock(); self && image) self->signed_(own, image);
            PopSignUtil::closePop();
        },
        [] { PopSignUtil::closePop(); });
}

void ConfirmSignViewController::signed_(bool own, const graphics::Image::Ptr& image) {
    auto scaled = scaledSignature(image);
    std::string text = StringExtension::imageWithBase64(scaled);
    if (text.empty()) {
        foundation::logError("ConfirmSignViewController: the signature could not be encoded");
        return;
    }
    (own ? selfSign : otherSign) = text;
    auto button = own ? sign1 : sign2;
    if (!button) return;
    button->setTitle("", ui::ControlStates::Normal);
    button->setTitle("", ui::ControlStates::Highlighted);
    // The other party's 160 x 90 copy is shown without the white page it is sent on, so that
    // both signatures lie on their party's tint.
    button->setImage(own ? image : ImageExtension::imageWithOriginImage(image, {kSignWidth, kSignHeight}),
                     ui::ControlStates::Normal);
    button->setBackgroundImage(ImageExtension::stretchableImageNamed(own ? Theme::kOwnSignImage : Theme::kOtherSignImage),
                               ui::ControlStates::Normal);
}

// --- Submission -----------------------------------------------------------------------------------

SignRequesModel ConfirmSignViewController::dutyRequest() const {
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto entry = [&](const std::weak_ptr<ui::Label>& plate, int code, const std::string& content) {
        SignRequesModel model;
        model.carno = StringExtension::UTF8StringWithString(shownText(plate));
        model.dutytpe = std::to_string(code);
        model.content = content;
        model.date = StringExtension::stringWithCurrenDate();
        model.lon = sentValue(state.longitude());
        model.lat = sentValue(state.latitude());
        return model.keyValues();
    };
    SignRequesModel request;
    request.userid = sentValue(state.userid());
    request.appkey = AppConfig::appKey();
    request.sn = sentValue(state.sn());
    request.accidentno = sentValue(CaseInProgress::number());
    nlohmann::json list = nlohmann::json::array();
    if (hasLiability()) {
        list.push_back(entry(selfCarPlateNo, selectedBtn[0], selfSign));
        list.push_back(entry(otherCarPlateNo, selectedBtn[1], otherSign));
    }
    request.dutylist = list;
    return request;
}

void ConfirmSignViewController::confirmBtnDidClick() {
    if (selfSign.empty() && otherSign.empty()) {
        ProgressHUD::showError(kNoSignText);
        return;
    }
    if (otherSign.empty()) {
        ProgressHUD::showError(kNoOtherSignText);
        return;
    }
    if (selfSign.empty()) {
        ProgressHUD::showError(kNoOwnSignText);
        return;
    }
    if (!hasLiability()) {
        ProgressHUD::showError(kChooseText);
        return;
    }
    if (simulateState == CaseMode::Practice) {
        auto placeholder = InsuranceCompany::objectWithKeyValues(
            {{"inscomcode", "0"}, {"inscomname", "XXXXX保险公司"}, {"insphone", "400-***-****"}});
        openReport(*placeholder);
        return;
    }
    if (submitting_) return;
    submitting_ = true;
    ProgressHUD::showMessage(kSubmittingText);
    std::weak_ptr<ConfirmSignViewController> weak = sharedAs<ConfirmSignViewController>();
    RequestManager::shareRequestManager().request_dutyinfo_WithParams(
        dutyRequest().keyValues(), [weak](const std::shared_ptr<BackCodeModel>&, const RequestOutcome& outcome) {
            auto self = weak.lock();
            if (self) self->submitting_ = false;
            if (!outcome.answered()) return;  // the API client hid the spinner and said why
            ProgressHUD::hideHUD();
            if (self) self->openReport(self->insurance);
        });
}

void ConfirmSignViewController::openReport(const InsuranceCompany& compary) { onReport(compary); }
