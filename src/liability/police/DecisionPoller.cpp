#include "liability/police/DecisionPoller.h"

#include "core/AppConfig.h"
#include "core/CaseInProgress.h"
#include "core/HeartRequestModel.h"
#include "core/RequestManager.h"
#include "core/TextValues.h"
#include "core/UserDateSingleton.h"
#include "liability/police/PoliceValues.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/Application.h"

std::shared_ptr<DecisionPoller> DecisionPoller::make(Options options) {
    return std::shared_ptr<DecisionPoller>(new DecisionPoller(std::move(options)));
}

DecisionPoller::~DecisionPoller() {
    if (timer_) timer_->invalidate();
    if (alert_) alert_->dismiss();
}

void DecisionPoller::start() {
    shown_ = true;
    ++starts_;
    if (options_.mode == CaseMode::Real) {
        resume();
        return;
    }
    if (!options_.practiceAlert) return;
    unsigned start = starts_;
    auto poll = foundation::weakBind(this, [start](const auto& self) {
        if (self->shown_ && self->starts_ == start) self->poll();
    });
    foundation::dispatch::after(kInterval, poll);
}

void DecisionPoller::resume() {
    if (options_.mode != CaseMode::Real || !shown_ || decided_ || isRunning()) return;
    std::weak_ptr<DecisionPoller> weak = weak_from_this();
    timer_ = foundation::RunLoop::main().scheduleTimer(kInterval, true, [weak](foundation::Timer& timer) {
        auto self = weak.lock();
        if (!self) {
            timer.invalidate();
            return;
        }
        self->poll();
    });
}

void DecisionPoller::appeared() {
    if (!alertPending_) return;
    alertPending_ = false;
    showAlert();
}

void DecisionPoller::stop() {
    shown_ = false;
    stopTimer();
}

void DecisionPoller::stopTimer() {
    if (timer_) timer_->invalidate();
    timer_.reset();
}

void DecisionPoller::poll() {
    if (inFlight_ || decided_) return;
    if (options_.mode != CaseMode::Real) {
        if (!options_.practiceAlert) return;
        // Practice: the alert without records; the next start shows it again once accepted.
        inFlight_ = true;
        showAlert();
        return;
    }
    inFlight_ = true;
    auto& state = UserDateSingleton::shareUserDateInstance();
    // Values the user state lacks are left out.
    auto identity = [](std::optional<std::string> value) { return TextValues::sentValue(std::move(value)); };
    HeartRequestModel heart;
    heart.userid = identity(state.userid());
    heart.accidentno = identity(CaseInProgress::number());
    heart.sn = identity(state.sn());
    heart.appkey = AppConfig::appKey();
    RequestManager::shareRequestManager().request_processpapertimer_WithParams(
        heart.keyValues(),
        foundation::weakBind(this, [](const auto& self, const nlohmann::json& reply, const RequestOutcome& outcome) {
            // Not decided yet, or the screen has gone and does not keep what comes late: asked
            // again at the next tick.
            if (!outcome.answered() || (!self->shown_ && !self->options_.keepLateDecision)) {
                self->inFlight_ = false;
                return;
            }
            self->decided(reply);
        }));
}

void DecisionPoller::decided(const nlohmann::json& reply) {
    inFlight_ = false;
    // A decision holds the two parties' records, each a dictionary with its liability code; a
    // "200" without them is no decision: it is logged and the poll goes on.
    std::vector<PoliceDutyModel> records;
    auto list = reply.is_object() ? reply.value("dutylist", nlohmann::json()) : nlohmann::json();
    if (list.is_array()) {
        for (const auto& entry : list) {
            if (!entry.is_object()) continue;
            auto record = PoliceDutyModel::objectWithKeyValues(entry);
            if (record->dutytype && !record->dutytype->empty()) records.push_back(*record);
        }
    }
    if (records.size() < 2) {
        foundation::log(options_.owner + ": a \"200\" whose decision holds " + std::to_string(records.size()) +
                        " usable records instead of two is no decision; polling goes on");
        return;
    }
    auto& application = ui::Application::shared();
    application.setApplicationIconBadgeNumber(1);
    application.setApplicationIconBadgeNumber(0);
    decided_ = true;
    stopTimer();
    records_ = std::move(records);
    // The alert is for the driver on the screen: while it is away, the alert waits for the return.
    if (shown_) showAlert();
    else alertPending_ = true;
}

void DecisionPoller::showAlert() {
    if (alert_ && alert_->isShown()) return;
    alert_ = std::make_shared<TwoButtonAlertView>(kAlertTitle, kAlertText, std::nullopt, kAcceptTitle);
    alert_->setRightBlock(foundation::weakBind(this, &DecisionPoller::accept));
    alert_->show();
}

void DecisionPoller::accept() {
    alert_.reset();
    if (options_.mode != CaseMode::Real) inFlight_ = false;
    if (onAccept) onAccept(records_);
}
