#include "liability/negotiation/NegotiationDutyViewController.h"

#include "core/AppConfig.h"
#include "core/ButtonExtension.h"
#include "core/CaseInProgress.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/TextValues.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "liability/parties/PartyRows.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/graphics/Font.h"

namespace {

constexpr const char* kDutyTitles[3] = {"全责", "无责", "同责"};
// For each button of allButton, the index of the other party's complementary button.
constexpr int kComplement[6] = {4, 3, 5, 1, 0, 2};
constexpr double kDutyButtonWidth = 70;

std::shared_ptr<ui::Button> makeDutyButton(int code, double x) {
    auto button = ButtonExtension::buttonWithNormalImage("选择", "已选择");
    button->setTitle(kDutyTitles[code]);
    button->setTitle(kDutyTitles[code], ui::ControlStates::Selected);
    button->setTitleColor(ui::Color::darkGray());
    button->titleLabel()->setFont(ui::Font::systemFont(15));
    button->setTitleEdgeInsets({0, 6, 0, 0});
    button->setFrame({x, 0, kDutyButtonWidth, PartyRows::kRowHeight});
    button->setTag(code);
    return button;
}

}  // namespace

// --- Static cells ---------------------------------------------------------------------------------

void NegotiationDutyViewController::buildStaticCells() {
    sections_.makeRows();
    for (int section = 0; section < 2; ++section) {
        auto name = sections_.addValueLabel(section, 0);
        auto plate = sections_.addValueLabel(section, 1);
        auto dutyRow = sections_.row(ui::IndexPath::forRow(2, section));
        std::array<std::shared_ptr<ui::Button>, 3> buttons;
        for (int code = 0; code < 3; ++code) {
            buttons[code] = makeDutyButton(code, PartyRows::kValueX + code * (kDutyButtonWidth + 5));
            dutyRow->contentView()->addSubview(buttons[code]);
            int index = section * 3 + code;
            buttons[code]->addTarget(foundation::weakBind(this, [index](const auto& self) { self->choose(index); }),
                                     ui::ControlEvent::TouchUpInside, this);
        }
        if (section == 0) {
            selfName = name;
            selfCarId = plate;
            selfAllDuty = buttons[0];
            selfNoDuty = buttons[1];
            selfSameDuty = buttons[2];
        } else {
            otherName = name;
            otherCarNo = plate;
            otherAllDuty = buttons[0];
            otherNoDuty = buttons[1];
            otherSameDuty = buttons[2];
        }
    }
}

// --- Loading --------------------------------------------------------------------------------------

void NegotiationDutyViewController::viewDidLoad() {
    ui::TableViewController::viewDidLoad();
    Theme::applyPageBackground(*this);
    tableView()->setBackgroundColor(Theme::pageGrey());
    tableView()->setSeparatorStyle(ui::TableViewCellSeparatorStyle::None);
    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItem(sharedAs<NegotiationDutyViewController>());
    buildStaticCells();
    selfName.lock()->setText(duty.selfName.value_or(""));
    selfCarId.lock()->setText(duty.selfCarNo.value_or(""));
    otherName.lock()->setText(duty.otherName.value_or(""));
    otherCarNo.lock()->setText(duty.otherCarNo.value_or(""));
}

void NegotiationDutyViewController::viewWillAppear(bool animated) {
    ui::TableViewController::viewWillAppear(animated);
    Theme::styleNavigationBar(*this);
}

// --- Table ----------------------------------------------------------------------------------------

std::shared_ptr<ui::View> NegotiationDutyViewController::partiesFooter() {
    if (!footer_) {
        auto footer = std::make_shared<NegotiationDutyFooterView>();
        footer->setDelegate(sharedAs<NegotiationDutyViewController>());
        footer_ = footer;
    }
    return footer_;
}

double NegotiationDutyViewController::partiesFooterHeight() const { return NegotiationDutyFooterView::kHeight; }

// --- The coupled choice ---------------------------------------------------------------------------

std::array<std::shared_ptr<ui::Button>, 6> NegotiationDutyViewController::allButton() const {
    return {selfAllDuty.lock(), selfNoDuty.lock(), selfSameDuty.lock(),
            otherAllDuty.lock(), otherNoDuty.lock(), otherSameDuty.lock()};
}

std::vector<int> NegotiationDutyViewController::selectedCodes() const {
    std::vector<int> codes;
    for (const auto& button : allButton())
        if (button && button->isSelected()) codes.push_back(static_cast<int>(button->tag()));
    return codes;
}

void NegotiationDutyViewController::choose(int index) {
    auto buttons = allButton();
    auto tapped = buttons[index];
    if (!tapped) return;
    tapped->setSelected(!tapped->isSelected());
    int complement = kComplement[index];
    if (tapped->isSelected()) {
        for (int i = 0; i < 6; ++i) {
            if (i == index || !buttons[i]) continue;
            buttons[i]->setSelected(i == complement);
        }
    } else if (buttons[complement]) {
        buttons[complement]->setSelected(false);
    }
}

void NegotiationDutyViewController::selfAllDutyBtnClick() { choose(0); }
void NegotiationDutyViewController::selfNoDutyBtnClick() { choose(1); }
void NegotiationDutyViewController::selfSameDutyBtnClick() { choose(2); }
void NegotiationDutyViewController::otherAllDutyBtnClick() { choose(3); }
void NegotiationDutyViewController::otherNoDutyDidClick() { choose(4); }
void NegotiationDutyViewController::OtherSameDutyBtnClick() { choose(5); }

// --- The two ways on ------------------------------------------------------------------------------

void NegotiationDutyViewController::confirmBtnDidClick() {
    auto selectedBtn = selectedCodes();
    if (selectedBtn.empty()) {
        ProgressHUD::showError(kChooseText);
        return;
    }
    onSign(duty, insurance, std::move(selectedBtn));
}

void NegotiationDutyViewController::needPoliceBtnDidClick() {
    if (simulateState == CaseMode::Practice) {
        openPolice();
        return;
    }
    if (filing_) return;
    filing_ = true;
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto params = UserDateSingleton::params({{"userid", TextValues::sentValue(state.userid())},
                                             {"sn", TextValues::sentValue(state.sn())},
                                             {"appkey", AppConfig::appKey()},
                                             {"accidentno", TextValues::sentValue(CaseInProgress::number())},
                                             {"caselon", TextValues::sentValue(state.longitude())},
                                             {"caselat", TextValues::sentValue(state.latitude())},
                                             {"casedate", StringExtension::stringWithCurrenDate()},
                                             {"casecartype", std::string("1")},
                                             {"reportcall", TextValues::sentValue(state.phoneNumber())}});
    ProgressHUD::showMessage(kLoadingText);
    std::weak_ptr<NegotiationDutyViewController> weak = sharedAs<NegotiationDutyViewController>();
    RequestManager::shareRequestManager().request_policecaseinfo_WithParams(
        params, [weak](const nlohmann::json&, const RequestOutcome& outcome) {
            auto self = weak.lock();
            if (self) self->filing_ = false;
            if (!outcome.answered()) return;  // the API client hid the spinner and said why
            ProgressHUD::hideHUD();
            if (self) self->openPolice();
        });
}

void NegotiationDutyViewController::openPolice() { onPolice(insurance); }
