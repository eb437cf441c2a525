#pragma once
#include <functional>
#include <memory>
#include <optional>

#include "platform/location/LocationError.h"

namespace location {

struct Coordinate {
    double latitude = 0;
    double longitude = 0;
};

struct Location {
    Coordinate coordinate;
    double horizontalAccuracy = 0;  // metres
    double timestamp = 0;           // the run loop clock's wall time of the fix
};

enum class Accuracy { Best, NearestTenMeters, HundredMeters, Kilometer, ThreeKilometers };

// How the stand-in location service behaves (tests and the simulator configure it).
struct LocationSimulation {
    enum class Mode { Deliver, Fail, NeverAnswer };
    Mode mode = Mode::Deliver;
    Coordinate coordinate{39.9087, 116.3975};  // Tian'anmen, Beijing
    double accuracy = 30;
    double fixDelay = 0.5;  // seconds of the run loop clock before the fix arrives
};
LocationSimulation locationSimulation();
void setLocationSimulation(const LocationSimulation& simulation);

// One fix on request. The completion runs once on the main loop: the fix, or an error when
// the service fails or no fix came within the time-out.
class LocationManager : public std::enable_shared_from_this<LocationManager> {
public:
    using Ptr = std::shared_ptr<LocationManager>;
    using Completion = std::function<void(std::optional<Location>, std::optional<Error>)>;
    static Ptr make() { return std::make_shared<LocationManager>(); }

    static bool locationServicesEnabled();
    Accuracy desiredAccuracy() const { return accuracy_; }
    void setDesiredAccuracy(Accuracy accuracy) { accuracy_ = accuracy; }

    // A new request replaces one under way (whose completion is then not called).
    void requestLocation(double timeout, Completion completion);
    void cancel();
    bool isRequesting() const { return pending_ != nullptr; }
    std::optional<Location> lastLocation() const { return last_; }

private:
    void finish(unsigned long long request, std::optional<Location> fix, std::optional<Error> error);

    Accuracy accuracy_ = Accuracy::HundredMeters;
    unsigned long long request_ = 0;
    std::shared_ptr<Completion> pending_;
    std::optional<Location> last_;
};

}  // namespace location
