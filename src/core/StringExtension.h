#pragma once
#include <optional>
#include <string>

#include "platform/graphics/Image.h"

// Text helpers of the application: validators, the request signature, dates as text,
// URL escaping and images as escaped Base64 text.
class StringExtension {
public:
    // The current local date and time as "%ld-%ld-%ld %ld:%ld:%ld" (no leading zeros).
    static std::string stringWithCurrenDate();
    // The current local date and time as "yyyy-MM-dd HH:mm:ss".
    static std::string getCurrentDate();
    // The current local date and time as "%ld%ld%ld%ld%ld%ld.jpg".
    static std::string imageNameWithCurrentDate();
    // The text percent-escaped in UTF-8: non-ASCII bytes and characters not allowed in a URL
    // (space, '"', '%', '<', '>', '\\', '^', '`', '{', '|', '}', controls) become %XX; letters,
    // digits, "-._~" and the reserved URL characters ":/?#[]@!$&'()*+,;=" stay as they are.
    static std::string UTF8StringWithString(const std::string& text);

    // true when nil or empty.
    static bool isValide(const std::optional<std::string>& text);
    // Five (six on a new-energy plate) Latin letters, digits or CJK characters U+4E00..U+9FA5 (a plate
    // without its prefix).
    static bool validateCarNo(const std::optional<std::string>& text);
    // One or more Latin letters, digits or CJK characters U+4E00..U+9FA5 (drivers' names).
    static bool validateString(const std::optional<std::string>& text);
    // An 11-digit mobile number beginning 13, 145, 147, 15 (not 154), 176, 177, 178 or 18,
    // optionally preceded by "0", "86" or "17951".
    static bool isMobileNumber(const std::optional<std::string>& text);

    // JPEG of the image at quality 1.0; from 51 KB on, once more at quality 51200 / byte count;
    // then Base64Codec::stringByEncodingData. Empty for a null image.
    static std::string imageWithBase64(const graphics::Image::Ptr& image);
    // The request signature: lower-case hexadecimal MD5 of application key, secret and text.
    static std::string snWithString(const std::string& text);

    // A code "read as an integer": leading white space, an optional sign, then digits; anything
    // else gives 0; a value beyond the int range is clamped. Never throws.
    static int intValue(const std::optional<std::string>& text);
};
