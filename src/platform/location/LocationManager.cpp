#include "platform/location/LocationManager.h"

#include <mutex>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/WeakBind.h"

namespace location {

namespace {
std::mutex g_mutex;
LocationSimulation g_simulation;
}  // namespace

LocationSimulation locationSimulation() {
    std::lock_guard lock(g_mutex);
    return g_simulation;
}

void setLocationSimulation(const LocationSimulation& simulation) {
    std::lock_guard lock(g_mutex);
    g_simulation = simulation;
}

bool LocationManager::locationServicesEnabled() { return locationSimulation().mode != LocationSimulation::Mode::Fail; }

void LocationManager::requestLocation(double timeout, Completion completion) {
    const unsigned long long request = ++request_;
    pending_ = std::make_shared<Completion>(std::move(completion));
    const LocationSimulation sim = locationSimulation();
    auto& loop = foundation::RunLoop::main();

    if (sim.mode == LocationSimulation::Mode::Fail) {
        foundation::dispatch::mainQueue()->async(foundation::weakBind(this, [request](const auto& self) {
            self->finish(request, std::nullopt, Error{ErrorCode::Denied, "定位服务不可用"});
        }));
        return;
    }
    if (sim.mode == LocationSimulation::Mode::Deliver && sim.fixDelay <= timeout) {
        loop.performAfter(
            sim.fixDelay, foundation::weakBind(this, [request, sim](const auto& self) {
                Location fix{sim.coordinate, sim.accuracy, foundation::RunLoop::main().clock().wallTime()};
                self->finish(request, fix, std::nullopt);
            }));
        return;
    }
    auto timedOut = foundation::weakBind(this, [request](const auto& self) {
        self->finish(request, std::nullopt, Error{ErrorCode::TimedOut, "定位超时"});
    });
    loop.performAfter(timeout, timedOut);
}

void LocationManager::cancel() {
    ++request_;
    pending_.reset();
}

void LocationManager::finish(unsigned long long request, std::optional<Location> fix, std::optional<Error> error) {
    if (request != request_ || !pending_) return;
    auto completion = std::move(pending_);
    pending_.reset();
    if (fix) last_ = fix;
    if (*completion) (*completion)(fix, error);
}

}  // namespace location
