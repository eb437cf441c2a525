#include "platform/foundation/PropertyList.h"

#include <plist/plist.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

namespace fs = std::filesystem;

namespace foundation::plist {

namespace {

// Seconds between 1970-01-01 and the property-list epoch 2001-01-01.
constexpr double kEpochOffset = 978307200.0;
constexpr int kMaxDepth = 512;

struct PlistFree {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using Node = std::unique_ptr<void, PlistFree>;

std::string base64(const char* data, uint64_t length) {
    static const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve(((length + 2) / 3) * 4);
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    uint64_t i = 0;
    for (; i + 2 < length; i += 3) {
        uint32_t v = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        out += table[(v >> 18) & 63];
        out += table[(v >> 12) & 63];
        out += table[(v >> 6) & 63];
        out += table[v & 63];
    }
    if (i < length) {
        uint32_t v = bytes[i] << 16;
        if (i + 1 < length) v |= bytes[i + 1] << 8;
        out += table[(v >> 18) & 63];
        out += table[(v >> 12) & 63];
        out += i + 1 < length ? table[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string takeString(char* s) {
    std::string out = s ? s : "";
    std::free(s);
    return out;
}

bool toJson(plist_t node, nlohmann::json& out, int depth) {
    if (!node || depth > kMaxDepth) return false;
    switch (plist_get_node_type(node)) {
    case PLIST_DICT: {
        out = nlohmann::json::object();
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        if (!it) return true;
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, it, &key, &value);
            if (!value) {
                // A key without a value is a damaged dictionary.
                bool dangling = key != nullptr;
                std::free(key);
                if (dangling) {
                    std::free(it);
                    return false;
                }
                break;
            }
            std::string k = takeString(key);
            nlohmann::json v;
            if (!toJson(value, v, depth + 1)) {
                std::free(it);
                return false;
            }
            out[k] = std::move(v);
        }
        std::free(it);
        return true;
    }
    case PLIST_ARRAY: {
        out = nlohmann::json::array();
        uint32_t n = plist_array_get_size(node);
        for (uint32_t i = 0; i < n; ++i) {
            nlohmann::json v;
            if (!toJson(plist_array_get_item(node, i), v, depth + 1)) return false;
            out.push_back(std::move(v));
        }
        return true;
    }
    case PLIST_STRING: {
        // The library's copying getter aborts the process on a text with a NUL inside; the
        // pointer and length are read instead and such a text counts as damage.
        uint64_t length = 0;
        const char* s = plist_get_string_ptr(node, &length);
        if (!s) {
            out = std::string();
            return true;
        }
        std::string text(s, static_cast<size_t>(length));
        if (text.find('\0') != std::string::npos) return false;
        out = std::move(text);
        return true;
    }
    case PLIST_KEY: {
        char* s = nullptr;
        plist_get_key_val(node, &s);
        out = takeString(s);
        return true;
    }
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        out = b != 0;
        return true;
    }
    case PLIST_UINT: {
        uint64_t v = 0;
        plist_get_uint_val(node, &v);
        // Integers are stored as 64-bit two's complement: negative numbers come back as such.
        out = static_cast<int64_t>(v);
        return true;
    }
    case PLIST_UID: {
        uint64_t v = 0;
        plist_get_uid_val(node, &v);
        out = v;
        return true;
    }
    case PLIST_REAL: {
        double v = 0;
        plist_get_real_val(node, &v);
        out = std::isfinite(v) ? nlohmann::json(v) : nlohmann::json();
        return true;
    }
    case PLIST_DATE: {
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        out = sec + usec / 1e6 + kEpochOffset;
        return true;
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* data = plist_get_data_ptr(node, &length);
        out = base64(data, data ? length : 0);
        return true;
    }
    default:
        return false;
    }
}

// Builds a node for a JSON value; null for nulls and values a plist cannot hold.
plist_t fromJson(const nlohmann::json& value, int depth) {
    if (depth > kMaxDepth) return nullptr;
    switch (value.type()) {
    case nlohmann::json::value_t::object: {
        plist_t dict = plist_new_dict();
        for (auto it = value.begin(); it != value.end(); ++it)
            if (plist_t item = fromJson(it.value(), depth + 1)) plist_dict_set_item(dict, it.key().c_str(), item);
        return dict;
    }
    case nlohmann::json::value_t::array: {
        plist_t array = plist_new_array();
        for (const auto& element : value)
            if (plist_t item = fromJson(element, depth + 1)) plist_array_append_item(array, item);
        return array;
    }
    case nlohmann::json::value_t::string:
        return plist_new_string(value.get_ref<const std::string&>().c_str());
    case nlohmann::json::value_t::boolean:
        return plist_new_bool(value.get<bool>() ? 1 : 0);
    case nlohmann::json::value_t::number_integer:
        return plist_new_uint(static_cast<uint64_t>(value.get<int64_t>()));
    case nlohmann::json::value_t::number_unsigned: {
        // A plist integer is 64-bit two's complement: a larger whole number is kept as its text
        // rather than read back negative.
        auto v = value.get<uint64_t>();
        if (v > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return plist_new_string(std::to_string(v).c_str());
        return plist_new_uint(v);
    }
    case nlohmann::json::value_t::number_float: {
        double v = value.get<double>();
        return std::isfinite(v) ? plist_new_real(v) : nullptr;
    }
    case nlohmann::json::value_t::binary: {
        const auto& bin = value.get_binary();
        return plist_new_data(reinterpret_cast<const char*>(bin.data()), bin.size());
    }
    default:
        return nullptr;
    }
}

// libplist reads and frees nested arrays and dictionaries recursively, so a damaged or
// hostile file that nests them a few hundred thousand levels deep would overflow the stack
// inside the library. These look at the nesting before the library does.

// XML: the deepest nesting of <array> and <dict> elements ("<array/>" holds nothing).
bool xmlNestsWithin(const std::string& bytes, int limit) {
    int depth = 0;
    for (size_t i = bytes.find('<'); i != std::string::npos; i = bytes.find('<', i + 1)) {
        bool closing = i + 1 < bytes.size() && bytes[i + 1] == '/';
        size_t name = i + (closing ? 2 : 1);
        size_t length = bytes.compare(name, 5, "array") == 0 ? 5 : bytes.compare(name, 4, "dict") == 0 ? 4 : 0;
        if (length == 0 || name + length >= bytes.size()) continue;
        char next = bytes[name + length];
        if (next != '>' && next != '/' && next != ' ' && next != '\t' && next != '\n' && next != '\r') continue;
        size_t end = bytes.find('>', name + length);
        if (end == std::string::npos) break;
        if (closing)
            --depth;
        else if (bytes[end - 1] != '/' && ++depth > limit)
            return false;
    }
    return true;
}

// Binary: walks the object table from the top object, each object once, and refuses a
// structure deeper than `limit`, a reference cycle, or a table that does not fit the file.
bool binaryNestsWithin(const std::string& bytes, int limit) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    if (n < 8 + 32) return true;  // too short to hold anything: the library refuses it
    auto readBE = [&](size_t at, size_t width, uint64_t& out) {
        if (width == 0 || width > 8 || at > n || n - at < width) return false;
        out = 0;
        for (size_t k = 0; k < width; ++k) out = (out << 8) | p[at + k];
        return true;
    };
    const unsigned char* trailer = p + n - 32;
    const size_t offsetSize = trailer[6], refSize = trailer[7];
    uint64_t count = 0, top = 0, tableAt = 0;
    if (!readBE(n - 24, 8, count) || !readBE(n - 16, 8, top) || !readBE(n - 8, 8, tableAt)) return false;
    if (offsetSize == 0 || offsetSize > 8 || refSize == 0 || refSize > 8 || count == 0 || top >= count ||
        tableAt >= n || count > (n - tableAt) / offsetSize)
        return false;

    // The child references of a container object, as (first byte, number of references).
    auto children = [&](uint64_t object, size_t& first, uint64_t& refs) {
        refs = 0;
        uint64_t at = 0;
        if (!readBE(static_cast<size_t>(tableAt + object * offsetSize), offsetSize, at) || at >= n) return false;
        const unsigned type = p[at] >> 4;
        if (type != 0xA && type != 0xC && type != 0xD) return true;  // not a container
        uint64_t length = p[at] & 0x0F;
        size_t start = static_cast<size_t>(at) + 1;
        if (length == 0x0F) {
            if (start >= n || (p[start] >> 4) != 0x1) return false;
            size_t width = size_t(1) << (p[start] & 0x0F);
            if (!readBE(start + 1, width, length)) return false;
            start += 1 + width;
        }
        refs = type == 0xD ? length * 2 : length;
        if (length > n || start > n || refs > (n - start) / refSize) return false;
        first = start;
        return true;
    };

    enum : unsigned char { Unseen, Open, Done };
    std::vector<unsigned char> state(static_cast<size_t>(count), Unseen);
    struct Frame {
        uint64_t object;
        size_t first;
        uint64_t refs, next;
    };
    std::vector<Frame> stack;
    auto open = [&](uint64_t object) {
        Frame frame{object, 0, 0, 0};
        if (!children(object, frame.first, frame.refs)) return false;
        state[static_cast<size_t>(object)] = Open;
        stack.push_back(frame);
        return static_cast<int>(stack.size()) <= limit + 1;
    };
    if (!open(top)) return false;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.refs) {
            state[static_cast<size_t>(frame.object)] = Done;
            stack.pop_back();
            continue;
        }
        uint64_t child = 0;
        if (!readBE(frame.first + static_cast<size_t>(frame.next++) * refSize, refSize, child) || child >= count)
            return false;
        if (state[static_cast<size_t>(child)] == Open) return false;  // a cycle
        if (state[static_cast<size_t>(child)] == Unseen && !open(child)) return false;
    }
    return true;
}

// The library aborts the process when a text or a key holds a NUL character. XML allows
// none, neither as a byte nor as a character reference ("&#0;", "&#x00;"); a file that has one
// is damaged (a page of zeros written over it, say) and is refused before the library sees it.
bool xmlHasNoNul(const std::string& bytes) {
    if (bytes.find('\0') != std::string::npos) return false;
    for (size_t i = bytes.find("&#"); i != std::string::npos; i = bytes.find("&#", i + 2)) {
        size_t at = i + 2;
        bool hex = at < bytes.size() && (bytes[at] == 'x' || bytes[at] == 'X');
        if (hex) ++at;
        uint64_t value = 0;
        bool digits = false;
        for (; at < bytes.size(); ++at) {
            char c = bytes[at];
            int d = c >= '0' && c <= '9' ? c - '0'
                    : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                  : -1;
            if (d < 0) break;
            digits = true;
            value = value * (hex ? 16 : 10) + static_cast<uint64_t>(d);
            if (value > 0x10FFFF) break;
        }
        if (digits && value == 0) return false;
    }
    return true;
}

// Binary: every ASCII and UTF-16 string object (texts and dictionary keys) free of NUL.
bool binaryHasNoNul(const std::string& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    if (n < 8 + 32) return true;
    const unsigned char* trailer = p + n - 32;
    const size_t offsetSize = trailer[6];
    uint64_t count = 0, tableAt = 0;
    for (int k = 0; k < 8; ++k) count = (count << 8) | p[n - 24 + k];
    for (int k = 0; k < 8; ++k) tableAt = (tableAt << 8) | p[n - 8 + k];
    if (offsetSize == 0 || offsetSize > 8 || tableAt >= n || count > (n - tableAt) / offsetSize) return false;
    for (uint64_t object = 0; object < count; ++object) {
        uint64_t at = 0;
        for (size_t k = 0; k < offsetSize; ++k) at = (at << 8) | p[tableAt + object * offsetSize + k];
        if (at >= n) return false;
        const unsigned type = p[at] >> 4;
        if (type != 0x5 && type != 0x6) continue;
        uint64_t length = p[at] & 0x0F;
        size_t start = static_cast<size_t>(at) + 1;
        if (length == 0x0F) {
            if (start >= n || (p[start] >> 4) != 0x1) return false;
            size_t width = size_t(1) << (p[start] & 0x0F);
            if (width > 8 || start + 1 + width > n) return false;
            length = 0;
            for (size_t k = 0; k < width; ++k) length = (length << 8) | p[start + 1 + k];
            start += 1 + width;
        }
        const uint64_t unit = type == 0x6 ? 2 : 1;
        if (length > n || start > n || length * unit > n - start) return false;
        for (uint64_t c = 0; c < length; ++c) {
            bool zero = unit == 1 ? p[start + c] == 0 : p[start + 2 * c] == 0 && p[start + 2 * c + 1] == 0;
            if (zero) return false;
        }
    }
    return true;
}

}  // namespace

std::optional<nlohmann::json> parse(const std::string& bytes) {
    if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    plist_t root = nullptr;
    if (plist_is_binary(bytes.data(), static_cast<uint32_t>(bytes.size()))) {
        if (!binaryNestsWithin(bytes, kMaxDepth) || !binaryHasNoNul(bytes)) return std::nullopt;
        plist_from_bin(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    } else {
        if (!xmlHasNoNul(bytes) || !xmlNestsWithin(bytes, kMaxDepth)) return std::nullopt;
        plist_from_xml(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    }
    Node owner(root);
    if (!root) return std::nullopt;
    nlohmann::json out;
    if (!toJson(root, out, 0)) return std::nullopt;
    return out;
}

std::optional<nlohmann::json> read(const std::filesystem::path& path) {
    auto bytes = files::read(path);
    if (!bytes) return std::nullopt;  // missing: quietly nothing
    auto value = parse(*bytes);
    if (!value) log("plist: " + path.string() + " is not a readable property list");
    return value;
}

std::optional<nlohmann::json> readStored(const std::filesystem::path& path) {
    if (!files::exists(path)) return std::nullopt;
    auto bytes = files::read(path);
    std::optional<nlohmann::json> value;
    if (bytes) value = parse(*bytes);
    if (value) return value;
    fs::path aside = files::moveAside(path);
    if (aside.empty())
        log("plist: " + path.string() + " cannot be read and cannot be moved aside; reading it as empty");
    else
        log("plist: " + path.string() + " cannot be read; moved it to " + aside.string() + " and reading it as empty");
    return std::nullopt;
}

std::string toXml(const nlohmann::json& value) {
    Node root(fromJson(value, 0));
    if (!root) return {};
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    std::string out = xml ? std::string(xml, length) : std::string();
    plist_to_xml_free(xml);
    return out;
}

bool write(const std::filesystem::path& path, const nlohmann::json& value) {
    std::string xml = toXml(value);
    if (xml.empty()) {
        log("plist: nothing to write to " + path.string());
        return false;
    }
    return files::writeAtomically(path, xml);
}

}  // namespace foundation::plist
