#include "capture/common/PhotoReport.h"

#include <numbers>

#include <nlohmann/json.hpp>

#include "core/AppConfig.h"
#include "core/CaseInProgress.h"
#include "core/RequestManager.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "hud/TwoButtonAlertView.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/ViewController.h"

PhotoReport::PhotoReport(std::weak_ptr<ui::ViewController> screen, Retry retry, std::function<void()> onReported)
    : screen_(std::move(screen)), retry_(retry), onReported_(std::move(onReported)) {}

PhotoReport::~PhotoReport() {
    // A question about a screen no longer there would send for nobody.
    if (question_) question_->dismiss();
}

void PhotoReport::send() {
    if (sending_) return;
    sending_ = true;
    withdrawOffer();
    auto spinner = ProgressHUD::showMessage(kReportingText);
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto params = UserDateSingleton::params({{"userid", state.userid()},
                                             {"sn", state.sn()},
                                             {"appkey", AppConfig::appKey()},
                                             {"accidentno", CaseInProgress::number()},
                                             {"accidenttype", std::string("7")},
                                             {"type", std::string("2")}});
    std::weak_ptr<PhotoReport> weak = weak_from_this();
    std::weak_ptr<ProgressHUD> shown = spinner;
    RequestManager::shareRequestManager().request_Taskstate_WithParams(
        params, [weak, shown](const nlohmann::json&, const RequestOutcome& outcome) {
            auto self = weak.lock();
            if (!self) {
                // The API client hides the spinner of a report that did not go through; one
                // that did would keep it for good.
                auto spinner = shown.lock();
                if (outcome.answered() && spinner && spinner == ProgressHUD::currentSpinner()) ProgressHUD::hideHUD();
                return;
            }
            self->sending_ = false;
            if (!outcome.answered()) {
                // The API client hid the spinner and says why; the photos are not reported yet.
                foundation::log("taskstate 7/2 " + outcome.describe());
                self->offerAgain();
                return;
            }
            ProgressHUD::hideHUD();
            if (self->onReported_) self->onReported_();
        });
}

void PhotoReport::offerAgain() {
    withdrawOffer();
    auto again = foundation::weakBind(this, &PhotoReport::send);
    if (retry_ == Retry::BarItem) {
        auto screen = screen_.lock();
        if (!screen) return;
        Theme::addRightTitleItem(*screen, kReportAgainTitle, again);
        barItem_ = screen->navigationItem()->rightBarButtonItem();
        return;
    }
    auto question = std::make_shared<TwoButtonAlertView>(kFailedTitle, kFailedText, std::string(kLaterTitle),
                                                         kReportAgainTitle);
    question->setDismissBlock(foundation::weakBind(this, [](const auto& self) { self->question_.reset(); }));
    question->setRightBlock(again);
    question_ = question;
    question->show();
    question->setTransform(question->transform().rotated(std::numbers::pi / 2));
}

void PhotoReport::withdrawOffer() {
    if (auto question = std::move(question_)) question->dismiss();
    question_.reset();
    auto item = barItem_.lock();
    auto screen = screen_.lock();
    if (item && screen && screen->navigationItem()->rightBarButtonItem() == item)
        screen->navigationItem()->setRightBarButtonItem(nullptr);
    barItem_.reset();
}
