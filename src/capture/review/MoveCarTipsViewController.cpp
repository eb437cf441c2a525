#include "capture/review/MoveCarTipsViewController.h"

#include "capture/common/VehicleListCheck.h"
#include "core/RequestManager.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/NavigationController.h"

namespace {

const std::vector<std::size_t> kMarkedCharacters = {10, 11, 15};

// The length of the UTF-8 character that starts with `lead` (1 for a stray byte).
std::size_t characterLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

}  // namespace

MoveCarTipsViewController::MoveCarTipsViewController(Arguments arguments) : simulateState(arguments.simulateState) {}

std::vector<std::pair<std::string, bool>> MoveCarTipsViewController::tipRuns(const std::string& text,
                                                                             const std::vector<std::size_t>& marked) {
    std::vector<std::pair<std::string, bool>> runs;
    std::size_t index = 0;
    for (std::size_t at = 0; at < text.size(); ++index) {
        std::size_t length = std::min(characterLength(static_cast<unsigned char>(text[at])), text.size() - at);
        bool red = std::find(marked.begin(), marked.end(), index) != marked.end();
        if (runs.empty() || runs.back().second != red) runs.emplace_back(std::string(), red);
        runs.back().first.append(text, at, length);
        at += length;
    }
    return runs;
}

bool MoveCarTipsViewController::isPropertyList(const nlohmann::json& value) {
    if (value.is_null() || value.is_binary() || value.is_discarded()) return false;
    if (value.is_object() || value.is_array()) {
        for (const auto& element : value)
            if (!isPropertyList(element)) return false;
    }
    return true;
}

void MoveCarTipsViewController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    Theme::styleNavigationBar(*this, kTitle);
    view()->setBackgroundColor(ui::Color::white());

    auto tip = std::make_shared<ui::Label>();
    tip->setNumberOfLines(0);
    ui::AttributedString notice;
    for (auto& [text, red] : tipRuns(kTipText, kMarkedCharacters)) {
        notice.runs.push_back(ui::TextRun{text, ui::Font::systemFont(red ? 35 : 25),
                                          red ? ui::Color::red() : Theme::hintGrey()});
    }
    tip->setAttributedText(notice);
    view()->addSubview(tip);
    tip_ = tip;

    auto moved = Theme::blueButton(kMovedTitle);
    moved->addTarget(foundation::weakBind(this, &MoveCarTipsViewController::movedBtnClick),
                     ui::ControlEvent::TouchUpInside);
    view()->addSubview(moved);
    moved_ = moved;

    if (simulateState == CaseMode::Real) requestCarList();
}

void MoveCarTipsViewController::viewWillAppear(bool animated) {
    BaseViewController::viewWillAppear(animated);
    Theme::styleNavigationBar(*this, kTitle);
    Theme::hideBackItem(*this);
    double width = view()->bounds().width();
    if (auto tip = tip_.lock()) tip->setFrame({12.5, 12.5, width - 25, 300});
    if (auto moved = moved_.lock()) moved->setFrame({12.5, 312.5, width - 25, 39});
}

void MoveCarTipsViewController::requestCarList() {
    RequestManager::shareRequestManager().request_carList_WithParams(
        UserDateSingleton::shareUserDateInstance().signedParams(),
        [](const nlohmann::json& reply, const RequestOutcome& outcome) {
            if (outcome.failed() || !reply.is_object()) return;
            // Kept whole; a reply a property list cannot hold is not written at all.
            if (!isPropertyList(reply)) {
                foundation::log("MoveCarTipsViewController: the vehicle reply holds what a property list cannot; "
                                "Carlist.plist is not written");
                return;
            }
            auto path = foundation::Sandbox::current().documents() / kFileName;
            if (!foundation::plist::write(path, reply)) foundation::log("MoveCarTipsViewController: Carlist.plist not written");
        });
}

void MoveCarTipsViewController::movedBtnClick() {
    if (simulateState != CaseMode::Real) {
        onCarList(true);
        return;
    }
    if (!vehicleCheck_) {
        vehicleCheck_ =
            std::make_shared<VehicleListCheck>(foundation::weakBind(this, [](const auto& self, bool arrived) {
                if (arrived) {
                    self->onCarList(true);
                } else {
                    self->onClientForm(true);
                }
            }));
    }
    vehicleCheck_->ask();
}
