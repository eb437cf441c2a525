#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/location/LocationError.h"
#include "platform/location/LocationManager.h"

namespace location {

struct Placemark {
    std::string administrativeArea;  // province-level name, e.g. "北京市"
    std::string locality;            // city
    std::string name;                // place name
    Coordinate coordinate;
};

// One row of the reverse-geocoding table: positions within `radius` metres of `centre`.
struct GeocodeEntry {
    Coordinate centre;
    double radius = 5000;
    Placemark placemark;
};

// Reverse geocoding from a small table (the nearest entry whose circle holds the position).
// The completion runs on the main loop; a request keeps its geocoder alive until then.
class Geocoder : public std::enable_shared_from_this<Geocoder> {
public:
    using Ptr = std::shared_ptr<Geocoder>;
    using Completion = std::function<void(std::vector<Placemark>, std::optional<Error>)>;
    static Ptr make() { return std::make_shared<Geocoder>(); }

    static void setTable(std::vector<GeocodeEntry> table);
    static std::vector<GeocodeEntry> table();
    static void resetTable();  // a few places of Beijing

    void reverseGeocodeLocation(const Location& location, Completion completion);
    void cancelGeocode() { ++request_; }

    static double distanceMetres(Coordinate a, Coordinate b);

private:
    unsigned long long request_ = 0;
};

}  // namespace location
