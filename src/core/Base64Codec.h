#pragma once
#include <optional>
#include <string>

// Base64 of photos, signatures and voice data.
class Base64Codec {
public:
    // Standard Base64 (A-Z a-z 0-9 + /, "=" fill, no line breaks), then percent-escaped in UTF-8
    // with ":/?#[]@!$&'()*+,;=" escaped as well: "+", "/" and "=" arrive as %2B, %2F and %3D.
    static std::string stringByEncodingData(const std::string& data);
    // Plain standard Base64 text of the data, without escaping.
    static std::string encodeData(const std::string& data);
    // The bytes of standard Base64 text (white space ignored); nullopt when it is not Base64.
    static std::optional<std::string> decodeString(const std::string& text);
};
