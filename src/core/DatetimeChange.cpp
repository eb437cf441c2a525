#include "core/DatetimeChange.h"

#include <cstdio>

#include "platform/foundation/Dates.h"

std::string DatetimeChange::intelligenceTimeStringSinceDate(double epochSeconds) {
    double elapsed = foundation::dates::now() - epochSeconds;
    char text[64];
    if (elapsed < 60) return "刚刚";
    if (elapsed < 3600) {
        std::snprintf(text, sizeof text, "%d分钟前", static_cast<int>(elapsed / 60));
        return text;
    }
    if (elapsed < 86400) {
        std::snprintf(text, sizeof text, "%d小时前", static_cast<int>(elapsed / 3600));
        return text;
    }
    // The calendar year ("yyyy"): the week-based year would show the next year in the last
    // days of December.
    return foundation::dates::format(epochSeconds, "yyyy-MM-dd HH:mm");
}
