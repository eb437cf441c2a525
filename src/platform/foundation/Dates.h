#pragma once
#include <string>

namespace foundation::dates {

// Seconds since 1970 from the run loop's clock (tests fix the time with a manual clock).
double now();

struct Components {
    int year, month, day, hour, minute, second, weekday;  // weekday 1 = Sunday
};
// Local calendar components. The local time zone is the process's (TZ); the simulator and
// tests use Asia/Shanghai.
Components local(double epochSeconds);

// Formats with the patterns the application uses: yyyy MM dd HH mm ss (and YYYY taken as the
// calendar year), plus literal separators, e.g. "yyyy-MM-dd HH:mm:ss", "yyyyMMddHHmmss".
std::string format(double epochSeconds, const std::string& pattern);
// Parses "yyyy-MM-dd HH:mm:ss" (or without seconds) as local time; NaN when it does not parse.
double parse(const std::string& text, const std::string& pattern = "yyyy-MM-dd HH:mm:ss");

}  // namespace foundation::dates
