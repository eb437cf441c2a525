#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/CaseMode.h"
#include "hud/TwoButtonAlertView.h"
#include "liability/police/PoliceDutyModel.h"
#include "platform/foundation/RunLoop.h"

// The poll for the traffic police's decision on the current case, for the screens that wait
// for it. A real case asks "processpapertimer" with the case's identity every 2 s on one run
// loop timer, with at most one poll in flight; a refused or failed poll lets the next tick ask
// again. The answer "200" with a decision list of at least two usable records (dictionaries
// with a liability code "dutytype"; others are skipped) is the decision: the poll stops for
// good, the badge is rung and the alert "交警给您发来事故责任认定意见,请接收" is shown; its "接收"
// hands the records on (`onAccept`). A "200" without such a list is no decision: it is logged,
// shows nothing, and the next tick asks again.
//
// The timer runs only while the screen is shown: the screen calls `start` when it appears and
// `stop` when it goes. A reply that arrives after `stop` is dropped and asked for again at the
// next start, unless the screen keeps late decisions: then the alert waits for the screen's
// return (`appeared`). Practice sends nothing: the poll is idle, or, for a screen that shows
// it, the alert comes without records once an interval after each start that is not stopped
// before.
class DecisionPoller : public std::enable_shared_from_this<DecisionPoller> {
public:
    static constexpr double kInterval = 2.0;
    static constexpr const char* kAlertTitle = "提醒";
    static constexpr const char* kAlertText = "交警给您发来事故责任认定意见,请接收";
    static constexpr const char* kAcceptTitle = "接收";

    struct Options {
        // The polling screen, for the log.
        std::string owner;
        CaseMode mode = CaseMode::Real;
        // A decision answered after `stop` is kept for the return instead of dropped.
        bool keepLateDecision = false;
        // Practice shows the alert after each start instead of nothing.
        bool practiceAlert = false;
    };

    static std::shared_ptr<DecisionPoller> make(Options options);
    ~DecisionPoller();
    DecisionPoller(const DecisionPoller&) = delete;
    DecisionPoller& operator=(const DecisionPoller&) = delete;

    // "接收": the decision's records, in the order the server listed them.
    std::function<void(std::vector<PoliceDutyModel> records)> onAccept;

    // The screen appears: polling starts (practice: the alert is due an interval later).
    void start();
    // Polling starts again when the screen is shown and no timer runs (the return to the
    // foreground); nothing once decided.
    void resume();
    // The screen has appeared: a decision kept meanwhile shows its alert.
    void appeared();
    // The screen goes: the timer stops.
    void stop();
    // One tick: a poll, unless one is in flight or the decision has arrived.
    void poll();

    bool isRunning() const { return timer_ && timer_->isValid(); }
    bool isDecided() const { return decided_; }
    // The timer slot, which the application may stop when it goes to the background.
    std::shared_ptr<foundation::Timer>& timer() { return timer_; }

private:
    explicit DecisionPoller(Options options) : options_(std::move(options)) {}
    void stopTimer();
    void decided(const nlohmann::json& reply);
    void showAlert();
    void accept();

    const Options options_;
    std::shared_ptr<foundation::Timer> timer_;
    std::shared_ptr<TwoButtonAlertView> alert_;
    std::vector<PoliceDutyModel> records_;
    bool inFlight_ = false;
    bool decided_ = false;
    bool shown_ = false;
    // The decision arrived while the screen was away: the alert waits for its return.
    bool alertPending_ = false;
    // Counts starts, so that a practice alert due from an earlier one does nothing.
    unsigned starts_ = 0;
};
