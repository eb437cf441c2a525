#pragma once
#include <string>

// Relative time texts.
class DatetimeChange {
public:
    // Measured from now (the run loop's clock): "刚刚" under 60 s, "%d分钟前" under an hour,
    // "%d小时前" under a day, else the local date "yyyy-MM-dd HH:mm" (calendar year). A date in
    // the future counts as "刚刚".
    static std::string intelligenceTimeStringSinceDate(double epochSeconds);
};
