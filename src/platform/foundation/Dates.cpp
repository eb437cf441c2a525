#include "platform/foundation/Dates.h"

#include <cmath>
#include <ctime>
#include <vector>

#include "platform/foundation/RunLoop.h"

namespace foundation::dates {

namespace {

// A pattern split into runs of one pattern letter and literal text.
struct Token {
    char letter;  // 0 for literal text
    int count;
    std::string text;
};

bool isPatternLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::vector<Token> tokenize(const std::string& pattern) {
    std::vector<Token> tokens;
    for (size_t i = 0; i < pattern.size();) {
        char c = pattern[i];
        if (c == '\'') {  // quoted literal; '' is a quote
            size_t end = pattern.find('\'', i + 1);
            std::string text = end == std::string::npos ? pattern.substr(i + 1) : pattern.substr(i + 1, end - i - 1);
            tokens.push_back({0, 0, text.empty() ? "'" : text});
            i = end == std::string::npos ? pattern.size() : end + 1;
        } else if (isPatternLetter(c)) {
            size_t j = i;
            while (j < pattern.size() && pattern[j] == c) ++j;
            tokens.push_back({c, static_cast<int>(j - i), {}});
            i = j;
        } else {
            tokens.push_back({0, 0, std::string(1, c)});
            ++i;
        }
    }
    return tokens;
}

std::string padded(long value, int width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    while (static_cast<int>(digits.size()) < width) digits.insert(digits.begin(), '0');
    return value < 0 ? "-" + digits : digits;
}

bool localTm(double epochSeconds, std::tm& tm) {
    if (!std::isfinite(epochSeconds)) return false;
    std::time_t t = static_cast<std::time_t>(std::floor(epochSeconds));
    return localtime_r(&t, &tm) != nullptr;
}

}  // namespace

double now() { return RunLoop::main().clock().wallTime(); }

Components local(double epochSeconds) {
    std::tm tm{};
    if (!localTm(epochSeconds, tm)) return {1970, 1, 1, 0, 0, 0, 5};
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday + 1};
}

std::string format(double epochSeconds, const std::string& pattern) {
    std::tm tm{};
    if (!localTm(epochSeconds, tm)) return {};
    std::string out;
    for (const auto& token : tokenize(pattern)) {
        switch (token.letter) {
        case 0: out += token.text; break;
        case 'y':
        case 'Y':  // the week-based year, taken as the calendar year
        case 'u': {
            long year = tm.tm_year + 1900L;
            out += token.count == 2 ? padded(year % 100, 2) : padded(year, token.count);
            break;
        }
        case 'M': out += padded(tm.tm_mon + 1, token.count >= 2 ? 2 : 1); break;
        case 'd': out += padded(tm.tm_mday, token.count >= 2 ? 2 : 1); break;
        case 'H': out += padded(tm.tm_hour, token.count >= 2 ? 2 : 1); break;
        case 'h': out += padded(tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12, token.count >= 2 ? 2 : 1); break;
        case 'm': out += padded(tm.tm_min, token.count >= 2 ? 2 : 1); break;
        case 's': out += padded(tm.tm_sec, token.count >= 2 ? 2 : 1); break;
        case 'S': {
            double fraction = epochSeconds - std::floor(epochSeconds);
            long scaled = static_cast<long>(std::floor(fraction * std::pow(10, token.count)));
            out += padded(scaled, token.count);
            break;
        }
        case 'a': out += tm.tm_hour < 12 ? "AM" : "PM"; break;
        default: out += std::string(token.count, token.letter); break;
        }
    }
    return out;
}

double parse(const std::string& text, const std::string& pattern) {
    std::tm tm{};
    tm.tm_mday = 1;
    tm.tm_isdst = -1;
    size_t pos = 0;
    auto number = [&](int maxDigits, int& out) {
        size_t start = pos;
        long value = 0;
        while (pos < text.size() && static_cast<int>(pos - start) < maxDigits && text[pos] >= '0' && text[pos] <= '9')
            value = value * 10 + (text[pos++] - '0');
        out = static_cast<int>(value);
        return pos > start;
    };
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    const auto tokens = tokenize(pattern);
    // Text may stop early only where nothing but the seconds remains ("yyyy-MM-dd HH:mm").
    auto onlySecondsLeft = [&](size_t from) {
        for (size_t k = from; k < tokens.size(); ++k)
            if (tokens[k].letter != 0 && tokens[k].letter != 's') return false;
        return true;
    };
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (pos == text.size()) {
            if (!onlySecondsLeft(i)) return NAN;
            break;
        }
        if (token.letter == 0) {
            if (text.compare(pos, token.text.size(), token.text) != 0) return NAN;
            pos += token.text.size();
            continue;
        }
        // Fixed-width fields when the pattern gives a width (so "yyyyMMddHHmmss" parses).
        int width = token.count >= 2 ? token.count : 2;
        bool ok = false;
        switch (token.letter) {
        case 'y':
        case 'Y':
        case 'u': ok = number(token.count == 2 ? 2 : 4, year); if (token.count == 2) year += 2000; break;
        case 'M': ok = number(width, month); break;
        case 'd': ok = number(width, day); break;
        case 'H': ok = number(width, hour); break;
        case 'm': ok = number(width, minute); break;
        case 's': ok = number(width, second); break;
        default: return NAN;
        }
        if (!ok) return NAN;
    }
    if (pos != text.size()) return NAN;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) return NAN;
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1) && !(year == 1969 || year == 1970)) return NAN;
    // mktime normalises impossible days (February 30): reject them.
    if (tm.tm_mday != day || tm.tm_mon != month - 1) return NAN;
    return static_cast<double>(t);
}

}  // namespace foundation::dates
