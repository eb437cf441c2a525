#include "platform/location/Geocoder.h"

#include <cmath>
#include <mutex>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/RunLoop.h"

namespace location {

namespace {

std::vector<GeocodeEntry> defaultTable() {
    return {
        {{39.9087, 116.3975}, 8000, {"北京市", "北京市", "天安门广场", {39.9087, 116.3975}}},
        {{39.9219, 116.4436}, 5000, {"北京市", "北京市", "朝阳区工人体育场北路", {39.9219, 116.4436}}},
        {{39.9990, 116.3266}, 5000, {"北京市", "北京市", "海淀区中关村大街", {39.9990, 116.3266}}},
        {{31.2304, 121.4737}, 20000, {"上海市", "上海市", "黄浦区人民广场", {31.2304, 121.4737}}},
    };
}

std::mutex g_mutex;
std::vector<GeocodeEntry> g_table = defaultTable();

}  // namespace

void Geocoder::setTable(std::vector<GeocodeEntry> table) {
    std::lock_guard lock(g_mutex);
    g_table = std::move(table);
}

std::vector<GeocodeEntry> Geocoder::table() {
    std::lock_guard lock(g_mutex);
    return g_table;
}

void Geocoder::resetTable() { setTable(defaultTable()); }

double Geocoder::distanceMetres(Coordinate a, Coordinate b) {
    constexpr double kEarthRadius = 6371000;
    const double rad = M_PI / 180;
    double dLat = (b.latitude - a.latitude) * rad, dLon = (b.longitude - a.longitude) * rad;
    double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
               std::cos(a.latitude * rad) * std::cos(b.latitude * rad) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kEarthRadius * std::asin(std::sqrt(std::min(1.0, h)));
}

void Geocoder::reverseGeocodeLocation(const Location& location, Completion completion) {
    const unsigned long long request = ++request_;
    std::optional<Placemark> best;
    double bestDistance = 0;
    const Coordinate c = location.coordinate;
    const bool valid = std::isfinite(c.latitude) && std::isfinite(c.longitude) && std::fabs(c.latitude) <= 90 &&
                       std::fabs(c.longitude) <= 180;
    if (valid) {
        for (const auto& entry : table()) {
            double d = distanceMetres(entry.centre, c);
            if (d <= entry.radius && (!best || d < bestDistance)) {
                best = entry.placemark;
                bestDistance = d;
            }
        }
    }
    // The request keeps the geocoder alive until it answers.
    auto self = shared_from_this();
    foundation::dispatch::mainQueue()->async([self, request, best, completion = std::move(completion)] {
        if (self->request_ != request || !completion) return;
        if (best) {
            completion({*best}, std::nullopt);
        } else {
            completion({}, Error{ErrorCode::GeocodeFailed, "无法解析该位置"});
        }
    });
}

}  // namespace location
