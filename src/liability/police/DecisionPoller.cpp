#include "liability/police/DecisionPoller.h"

#include "core/AppConfig.h"
#include "core/HeartRequestModel.h"
#include "core/RequestManager.h"
#include "core/UserDateSingleton.h"
#include "liability/police/PoliceValues.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
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
    std::weak_ptr<DecisionPoller> weak = weak_from_this();
    unsigned start = starts_;
    foundation::dispatch::after(kInterval, [weak, start] {
        auto self = weak.lock();
        if (self && self->shown_ && self->starts_ == start) self->poll();
    });
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
    auto identity = [this](std::optional<std::string> value) {
        return options_.sendMissingAsEmpty ? std::optional<std::string>(value.value_or(""))
                                           : PoliceValues::held(std::move(value));
    };
    HeartRequestModel heart;
    heart.userid = identity(state.userid());
    heart.accidentno = identity(state.accidentno());
    heart.sn = identity(state.sn());
    heart.appkey = AppConfig::appKey();
    std::weak_ptr<DecisionPoller> weak = weak_from_this();
    RequestManager::shareRequestManager().request_processpapertimer_WithParams(
        heart.keyValues(), [weak](const nlohmann::json& reply, const RequestOutcome& outcome) {
            auto self = weak.lock();
            if (!self) return;
            // Not decided yet, or the screen has gone and does not keep what comes late: asked
            // again at the next tick.
            if (!outcome.answered() || (!self->shown_ && !self->options_.keepLateDecision)) {
                self->inFlight_ = false;
                return;
            }
            self->decided(reply);
        });
}

void DecisionPoller::decided(const nlohmann::json& reply) {
    auto& application = ui::Application::shared();
    application.setApplicationIconBadgeNumber(1);
    application.setApplicationIconBadgeNumber(0);
    decided_ = true;
    inFlight_ = false;
    stopTimer();
    records_.clear();
    auto list = reply.is_object() ? reply.value("dutylist", nlohmann::json()) : nlohmann::json();
    if (list.is_array()) {
        for (const auto& entry : list) {
            if (entry.is_object()) records_.push_back(*PoliceDutyModel::objectWithKeyValues(entry));
            else foundation::log(options_.owner + ": a decision record that is no dictionary is skipped");
        }
    }
    if (records_.size() < 2)
        foundation::log(options_.owner + ": the decision holds " + std::to_string(records_.size()) +
                        " records instead of two");
    // The alert is for the driver on the screen: while it is away, the alert waits for the return.
    if (shown_) showAlert();
    else alertPending_ = true;
}

void DecisionPoller::showAlert() {
    if (alert_ && alert_->isShown()) return;
    alert_ = std::make_shared<TwoButtonAlertView>(kAlertTitle, kAlertText, std::nullopt, kAcceptTitle);
    std::weak_ptr<DecisionPoller> weak = weak_from_this();
    alert_->setRightBlock([weak] { if (auto self = weak.lock()) self->accept(); });
    alert_->show();
}

void DecisionPoller::accept() {
    alert_.reset();
    if (options_.mode != CaseMode::Real) inFlight_ = false;
    if (onAccept) onAccept(records_);
}
