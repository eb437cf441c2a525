#include "core/Base64Codec.h"

namespace {
const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int valueOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}
}  // namespace

std::string Base64Codec::encodeData(const std::string& data) {
    std::string out;
    out.reserve((data.size() + 2) / 3 * 4);
    size_t i = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    for (; i + 2 < data.size(); i += 3) {
        unsigned v = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    size_t rest = data.size() - i;
    if (rest == 1) {
        unsigned v = bytes[i] << 16;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += "==";
    } else if (rest == 2) {
        unsigned v = (bytes[i] << 16) | (bytes[i + 1] << 8);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += '=';
    }
    return out;
}

std::string Base64Codec::stringByEncodingData(const std::string& data) {
    // Base64 text holds only letters, digits, "+", "/" and "=": the last three are reserved
    // URL characters and are escaped.
    std::string base64 = encodeData(data);
    std::string out;
    out.reserve(base64.size() + base64.size() / 8);
    for (char c : base64) {
        switch (c) {
        case '+': out += "%2B"; break;
        case '/': out += "%2F"; break;
        case '=': out += "%3D"; break;
        default: out += c;
        }
    }
    return out;
}

std::optional<std::string> Base64Codec::decodeString(const std::string& text) {
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    int padding = 0;
    size_t symbols = 0;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
        if (c == '=') {
            ++padding;
            ++symbols;
            continue;
        }
        int v = valueOf(c);
        if (v < 0 || padding > 0) return std::nullopt;
        ++symbols;
        buffer = (buffer << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    if (symbols % 4 != 0 || padding > 2) return std::nullopt;
    return out;
}
