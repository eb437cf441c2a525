#pragma once
#include <atomic>
#include <memory>

namespace foundation {

// Time source of the run loop. `now()` is monotonic seconds for timers and delays;
// `wallTime()` is seconds since 1970 for dates. Nothing else reads the system clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
    virtual double wallTime() const = 0;
    virtual bool isManual() const { return false; }
};

// The steady clock and the system clock (simulator, real use).
class RealClock : public Clock {
public:
    double now() const override;
    double wallTime() const override;
};

// A clock that moves only when told (tests). Wall time is a fixed start plus the advance.
class ManualClock : public Clock {
public:
    // Default start: 2026-12-07 10:00:00 in Beijing (UTC+8).
    explicit ManualClock(double wallStart = 1796608800.0);
    double now() const override;
    double wallTime() const override;
    bool isManual() const override { return true; }
    void setNow(double t);          // only forwards; the run loop uses it while advancing
    void setWallStart(double wallStart);

private:
    std::atomic<double> now_{0};
    std::atomic<double> wallStart_;
};

}  // namespace foundation
