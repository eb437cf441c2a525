#include "core/FailedImageRetry.h"

#include <algorithm>

#include "core/BackCodeModel.h"
#include "core/RequestManager.h"
#include "core/RequestOutcome.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

using nlohmann::json;

FailedImageRetry& FailedImageRetry::shared() {
    static FailedImageRetry* retry = new FailedImageRetry();
    return *retry;
}

void FailedImageRetry::start() {
    stop();
    auto timer = foundation::RunLoop::main().scheduleTimerAfter(kFirstDelay, kInterval, true,
                                                                [](foundation::Timer&) { shared().round(); });
    std::lock_guard<std::mutex> lock(mutex_);
    timer_ = timer;
}

void FailedImageRetry::stop() {
    std::shared_ptr<foundation::Timer> timer;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        timer.swap(timer_);
    }
    if (timer) timer->invalidate();
}

std::shared_ptr<foundation::Timer> FailedImageRetry::timer() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return timer_;
}

bool FailedImageRetry::round() {
    const double now = foundation::RunLoop::main().now();
    auto ids = FailedImageStore::ids();
    unsigned generation;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (roundUnderWay_) return false;
        std::vector<std::pair<double, Id>> due;
        for (Id id : ids) {
            if (inFlight_.count(id)) continue;
            auto it = waiting_.find(id);
            if (it != waiting_.end() && it->second.notBefore > now) continue;
            due.emplace_back(it == waiting_.end() ? -1 : it->second.lastAttempt, id);
        }
        // Forget the waits of records that left the store.
        for (auto it = waiting_.begin(); it != waiting_.end();)
            it = std::binary_search(ids.begin(), ids.end(), it->first) ? std::next(it) : waiting_.erase(it);
        if (due.empty()) return false;
        std::sort(due.begin(), due.end());
        queue_.clear();
        for (const auto& [attempt, id] : due) queue_.push_back(id);
        roundUnderWay_ = true;
        failuresInRow_ = 0;
        generation = generation_;
        foundation::log("failed uploads: sending " + std::to_string(queue_.size()) + " waiting photo(s) again, one at a time");
    }
    sendNext(generation);
    return true;
}

void FailedImageRetry::sendNext(unsigned generation) {
    for (;;) {
        Id id = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (generation != generation_ || !roundUnderWay_) return;
            if (queue_.empty() || failuresInRow_ >= kFailuresEndingARound) {
                roundUnderWay_ = false;
                queue_.clear();
                return;
            }
            id = queue_.front();
            queue_.erase(queue_.begin());
            if (inFlight_.count(id)) continue;
        }
        auto record = FailedImageStore::load(id);
        if (!record) continue;  // answered meanwhile, or damaged and moved aside
        sendStored(id, *record, [this, generation](Answer answer) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (generation != generation_) return;
                failuresInRow_ = answer == Answer::Failed ? failuresInRow_ + 1 : 0;
            }
            // The next record goes out from the run loop, never from inside this answer.
            foundation::dispatch::mainQueue()->async([this, generation] { sendNext(generation); });
        });
        return;
    }
}

void FailedImageRetry::sendStored(Id id, const json& record, std::function<void(Answer)> done) {
    Sender sender;
    const double sentAt = foundation::RunLoop::main().now();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!inFlight_.insert(id).second) {
            if (done) foundation::dispatch::mainQueue()->async([done] { done(Answer::Failed); });
            return;
        }
        waiting_[id].lastAttempt = sentAt;
        sender = sender_;
    }
    auto answered = [this, id, sentAt, done, generation = generation_](Answer answer) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (generation != generation_) return;
        }
        finished(id, answer, sentAt);
        if (done) done(answer);
    };
    if (sender)
        sender(record, answered);
    else
        postImage(record, answered);
}

void FailedImageRetry::finished(Id id, Answer answer, double sentAt) {
    if (answer == Answer::Accepted) {
        FailedImageStore::remove(id);
        std::lock_guard<std::mutex> lock(mutex_);
        waiting_.erase(id);
        inFlight_.erase(id);
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    inFlight_.erase(id);
    if (answer == Answer::Refused) {
        Waiting& w = waiting_[id];
        double wait = kRefusedFirstWait;
        for (int k = 0; k < w.refusals && wait < kRefusedLongestWait; ++k) wait *= 2;
        wait = std::min(wait, kRefusedLongestWait);
        ++w.refusals;
        // Counted from the sending, so that a round on the clock's minute finds it due.
        w.notBefore = sentAt + wait;
        foundation::log("failed uploads: the server refused a photo; sending it again in " +
                        std::to_string(static_cast<long long>(wait)) + " s");
    }
}

bool FailedImageRetry::roundUnderWay() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return roundUnderWay_;
}

bool FailedImageRetry::inFlight(Id id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return inFlight_.count(id) > 0;
}

double FailedImageRetry::notBefore(Id id) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = waiting_.find(id);
    return it == waiting_.end() ? 0 : it->second.notBefore;
}

void FailedImageRetry::postImage(const json& record, std::function<void(Answer)> answered) {
    RequestManager::shareRequestManager().request_image_WithParams(
        record, [answered](const std::shared_ptr<BackCodeModel>&, const RequestOutcome& outcome) {
            Answer answer = outcome.answered() ? Answer::Accepted : outcome.refused() ? Answer::Refused : Answer::Failed;
            if (answer != Answer::Accepted)
                foundation::log("image upload " + outcome.describe() + "; it stays for the retry");
            if (answered) answered(answer);
        });
}

void FailedImageRetry::setSender(Sender sender) {
    std::lock_guard<std::mutex> lock(mutex_);
    sender_ = std::move(sender);
}

void FailedImageRetry::reset() {
    stop();
    std::lock_guard<std::mutex> lock(mutex_);
    ++generation_;
    sender_ = nullptr;
    inFlight_.clear();
    waiting_.clear();
    queue_.clear();
    roundUnderWay_ = false;
    failuresInRow_ = 0;
}
