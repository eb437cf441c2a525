#include "platform/foundation/Clock.h"

#include <chrono>

namespace foundation {

double RealClock::now() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double RealClock::wallTime() const {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

ManualClock::ManualClock(double wallStart) : wallStart_(wallStart) {}

double ManualClock::now() const { return now_; }

double ManualClock::wallTime() const { return wallStart_ + now_; }

void ManualClock::setNow(double t) {
    if (t > now_.load()) now_.store(t);
}

void ManualClock::setWallStart(double wallStart) { wallStart_ = wallStart; }

}  // namespace foundation
