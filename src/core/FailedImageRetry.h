#pragma once
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/FailedImageStore.h"

namespace foundation {
class Timer;
}

// Sends the photos waiting in the FailedImageStore again: the first round 10 s after start,
// then a round every 120 s on the main run loop's clock.
//
// A round sends one record at a time, oldest attempt first, and ends when every due record
// had its turn (or after three transport failures in a row: the network is down, the next
// round tries again). A round never starts while one is under way, and a record whose upload
// is under way (a fresh shot, or the round before) is never sent a second time in parallel.
// A record leaves the store only when the server answered "200". A record the server refused
// (any other "rescode") waits 2 minutes before it is sent again, and twice as long after each
// further refusal, up to a day; a transport failure keeps the 10 s / 120 s rhythm.
//
// The refusal waits are kept in memory: a new start sends every waiting record once.
class FailedImageRetry {
public:
    using Id = FailedImageStore::Id;
    enum class Answer { Accepted, Refused, Failed };
    // Sends one record and calls `answered` once, on the main thread.
    using Sender = std::function<void(const nlohmann::json& record, std::function<void(Answer)> answered)>;

    static constexpr double kFirstDelay = 10;
    static constexpr double kInterval = 120;
    static constexpr double kRefusedFirstWait = 120;
    static constexpr double kRefusedLongestWait = 24 * 3600;
    static constexpr int kFailuresEndingARound = 3;

    static FailedImageRetry& shared();

    // Schedules the rounds (first after kFirstDelay, then every kInterval); stop() ends them.
    void start();
    void stop();
    std::shared_ptr<foundation::Timer> timer() const;

    // Starts one round now unless one is under way or nothing is due; returns whether it did.
    bool round();
    bool roundUnderWay() const;

    // Sends a stored record now (a fresh shot) with the same bookkeeping as a round: it leaves
    // the store on "200", a refusal sets its wait. Does nothing but call `done(Failed)` when the
    // record's upload is already under way.
    void sendStored(Id id, const nlohmann::json& record, std::function<void(Answer)> done = nullptr);

    // Whether the record's upload is under way.
    bool inFlight(Id id) const;
    // The clock time before which a refused record is not sent again (0 when none).
    double notBefore(Id id) const;

    // POST "image" (the API client's operation) with the record's key-value dictionary: "200"
    // is Accepted, another answer Refused, a transport failure Failed.
    static void postImage(const nlohmann::json& record, std::function<void(Answer)> answered);

    // Replaces the sender (tests); nullptr restores postImage.
    void setSender(Sender sender);
    // Stops the rounds and forgets every wait and upload under way (tests).
    void reset();

private:
    FailedImageRetry() = default;
    void sendNext(unsigned generation);
    void finished(Id id, Answer answer, double sentAt);

    struct Waiting {
        int refusals = 0;
        double notBefore = 0;
        double lastAttempt = -1;
    };

    mutable std::mutex mutex_;
    Sender sender_;
    std::shared_ptr<foundation::Timer> timer_;
    std::set<Id> inFlight_;
    std::map<Id, Waiting> waiting_;
    bool roundUnderWay_ = false;
    std::vector<Id> queue_;
    int failuresInRow_ = 0;
    unsigned generation_ = 0;
};
