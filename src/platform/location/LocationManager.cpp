#include "platform/location/LocationManager.h"

#include <mutex>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/RunLoop.h"

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
    std::weak_ptr<LocationManager> weak = weak_from_this();
    auto& loop = foundation::RunLoop::main();

    if (sim.mode == LocationSimulation::Mode::Fail) {
        foundation::dispatch::mainQueue()->async([weak, request] {
            if (auto self = weak.lock()) {
                self->finish(request, std::nullopt, Error{ErrorCode::Denied, "定位服务不可用"});
            }
        });
        return;
    }
    if (sim.mode == LocationSimulation::Mode::Deliver && sim.fixDelay <= timeout) {
        loop.performAfter(sim.fixDelay, [weak, request, sim] {
            if (auto self = weak.lock()) {
                Location fix{sim.coordinate, sim.accuracy, foundation::RunLoop::main().clock().wallTime()};
                self->finish(request, fix, std::nullopt);
            }
        });
        return;
    }
    loop.performAfter(timeout, [weak, request] {
        if (auto self = weak.lock()) self->finish(request, std::nullopt, Error{ErrorCode::TimedOut, "定位超时"});
    });
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
