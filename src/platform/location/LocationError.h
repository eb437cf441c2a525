#pragma once
#include <string>

namespace location {

enum class ErrorCode { LocationUnknown = 0, Denied = 1, TimedOut = 2, GeocodeFailed = 8, Registration = 3000 };

struct Error {
    ErrorCode code = ErrorCode::LocationUnknown;
    std::string localizedDescription;
};

}  // namespace location
