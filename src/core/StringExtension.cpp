#include "core/StringExtension.h"

#include <climits>
#include <regex>

#include "core/AppConfig.h"
#include "core/Base64Codec.h"
#include "core/StringHash.h"
#include "platform/foundation/Dates.h"

namespace {

// The code points of UTF-8 text; nullopt when it is not valid UTF-8.
std::optional<std::u32string> codePoints(const std::string& text) {
    std::u32string out;
    size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) > text.size() - 1) return std::nullopt;
        char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k <= extra; ++k) {
            auto d = static_cast<unsigned char>(text[i + k]);
            if ((d >> 6) != 0x2) return std::nullopt;
            cp = (cp << 6) | (d & 0x3F);
        }
        out += cp;
        i += 1 + extra;
    }
    return out;
}

bool isPlateCharacter(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || (c >= 0x4E00 && c <= 0x9FA5);
}

foundation::dates::Components nowComponents() { return foundation::dates::local(foundation::dates::now()); }

}  // namespace

std::string StringExtension::stringWithCurrenDate() {
    auto c = nowComponents();
    char text[96];
    std::snprintf(text, sizeof text, "%d-%d-%d %d:%d:%d", c.year, c.month, c.day, c.hour, c.minute, c.second);
    return text;
}

std::string StringExtension::getCurrentDate() {
    return foundation::dates::format(foundation::dates::now(), "yyyy-MM-dd HH:mm:ss");
}

std::string StringExtension::imageNameWithCurrentDate() {
    auto c = nowComponents();
    char text[96];
    std::snprintf(text, sizeof text, "%d%d%d%d%d%d.jpg", c.year, c.month, c.day, c.hour, c.minute, c.second);
    return text;
}

std::string StringExtension::UTF8StringWithString(const std::string& text) {
    static const std::string kept = "-._~:/?#[]@!$&'()*+,;=";
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (unsigned char c : text) {
        bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    (c < 0x80 && c != 0 && kept.find(static_cast<char>(c)) != std::string::npos);
        if (keep) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

bool StringExtension::isValide(const std::optional<std::string>& text) { return !text || text->empty(); }

bool StringExtension::validateCarNo(const std::optional<std::string>& text) {
    if (!text) return false;
    auto cps = codePoints(*text);
    if (!cps || (cps->size() != 5 && cps->size() != 6)) return false;
    for (char32_t c : *cps)
        if (!isPlateCharacter(c)) return false;
    return true;
}

bool StringExtension::validateString(const std::optional<std::string>& text) {
    if (!text) return false;
    auto cps = codePoints(*text);
    if (!cps || cps->empty()) return false;
    for (char32_t c : *cps)
        if (!isPlateCharacter(c)) return false;
    return true;
}

bool StringExtension::isMobileNumber(const std::optional<std::string>& text) {
    if (!text || text->empty() || text->size() > 32) return false;
    static const std::regex number("1(3[0-9]|4[57]|5[0-35-9]|7[678]|8[0-9])[0-9]{8}");
    static const char* prefixes[] = {"", "0", "86", "17951"};
    for (const char* prefix : prefixes) {
        std::string p = prefix;
        if (text->compare(0, p.size(), p) == 0 && std::regex_match(text->substr(p.size()), number)) return true;
    }
    return false;
}

std::string StringExtension::imageWithBase64(const graphics::Image::Ptr& image) {
    if (!image) return "";
    std::string jpeg = image->jpegData(1.0);
    if (jpeg.size() / 1024 >= 51) {
        double quality = 51200.0 / static_cast<double>(jpeg.size());
        jpeg = image->jpegData(quality);
    }
    return Base64Codec::stringByEncodingData(jpeg);
}

std::string StringExtension::snWithString(const std::string& text) {
    return StringHash::md5String(std::string(AppConfig::kAppKey) + AppConfig::kSigningSecret + text);
}

int StringExtension::intValue(const std::optional<std::string>& text) {
    if (!text) return 0;
    const std::string& s = *text;
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' || s[i] == '\f' || s[i] == '\v'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    long long value = 0;
    bool overflow = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (!overflow) {
            value = value * 10 + (s[i] - '0');
            if (value > static_cast<long long>(INT_MAX) + 1) overflow = true;
        }
    }
    if (negative) {
        value = -value;
        if (overflow || value < INT_MIN) return INT_MIN;
        return static_cast<int>(value);
    }
    if (overflow || value > INT_MAX) return INT_MAX;
    return static_cast<int>(value);
}
