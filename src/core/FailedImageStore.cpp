#include "core/FailedImageStore.h"

#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <map>
#include <mutex>
#include <unordered_map>

#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr const char* kLegacyName = "failedImage.plist";
constexpr const char* kDirectoryName = "failedImage";
constexpr const char* kSuffix = ".json";

struct Entry {
    std::uint64_t digest = 0;
    std::string file;                 // empty while the record is kept in memory only
    std::optional<json> memory;       // the record, when the disk refused it
};

struct State {
    fs::path documents;
    bool open = false;
    std::map<FailedImageStore::Id, Entry> entries;
    std::unordered_map<std::uint64_t, FailedImageStore::Id> byDigest;
    FailedImageStore::Id next = 1;
};

std::mutex& storeMutex() {
    static std::mutex m;
    return m;
}

State& state() {
    static State* s = new State();
    return *s;
}

// FNV-1a, 64 bits: names a record by its text and tells a damaged file from an intact one.
std::uint64_t digestOf(const std::string& text) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : text) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    return h;
}

std::string recordText(const json& record) { return record.dump(-1, ' ', false, json::error_handler_t::replace); }

std::string fileName(FailedImageStore::Id id, std::uint64_t digest) {
    char name[64];
    std::snprintf(name, sizeof name, "%016" PRIx64 "-%016" PRIx64 "%s", id, digest, kSuffix);
    return name;
}

// "<16 hex>-<16 hex>.json" gives the sequence and the digest.
bool parseName(const std::string& name, FailedImageStore::Id& id, std::uint64_t& digest) {
    if (name.size() != 33 + std::string(kSuffix).size() || name[16] != '-' || name.compare(33, std::string::npos, kSuffix) != 0)
        return false;
    auto hex = [](const std::string& text, std::uint64_t& out) {
        out = 0;
        for (char c : text) {
            int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
            if (d < 0) return false;
            out = (out << 4) | static_cast<std::uint64_t>(d);
        }
        return true;
    };
    return hex(name.substr(0, 16), id) && hex(name.substr(17, 16), digest) && id != 0;
}

fs::path storeDirectory() { return foundation::Sandbox::current().documents() / kDirectoryName; }

void moveAsideLogged(const fs::path& file, const std::string& why) {
    fs::path aside = foundation::files::moveAside(file);
    if (aside.empty())
        foundation::log("failed uploads: " + file.filename().string() + " " + why + "; it cannot be moved aside");
    else
        foundation::log("failed uploads: " + file.filename().string() + " " + why + "; moved it to " +
                        aside.filename().string());
}

std::optional<FailedImageStore::Id> addLocked(State& s, const json& record);

// --- The file of earlier versions ------------------------------------------------------------

std::string unescapeXml(const std::string& text, bool& ok) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '&') {
            out += c;
            continue;
        }
        size_t end = text.find(';', i);
        if (end == std::string::npos || end - i > 12) {
            ok = false;
            return out;
        }
        std::string entity = text.substr(i + 1, end - i - 1);
        if (entity == "amp") out += '&';
        else if (entity == "lt") out += '<';
        else if (entity == "gt") out += '>';
        else if (entity == "quot") out += '"';
        else if (entity == "apos") out += '\'';
        else if (entity.size() > 1 && entity[0] == '#') {
            unsigned long code = 0;
            char* stop = nullptr;
            bool hexadecimal = entity[1] == 'x' || entity[1] == 'X';
            const char* digits = entity.c_str() + (hexadecimal ? 2 : 1);
            code = std::strtoul(digits, &stop, hexadecimal ? 16 : 10);
            if (!*digits || *stop || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
                ok = false;
                return out;
            }
            if (code < 0x80) {
                out += static_cast<char>(code);
            } else if (code < 0x800) {
                out += static_cast<char>(0xC0 | (code >> 6));
                out += static_cast<char>(0x80 | (code & 0x3F));
            } else if (code < 0x10000) {
                out += static_cast<char>(0xE0 | (code >> 12));
                out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (code & 0x3F));
            } else {
                out += static_cast<char>(0xF0 | (code >> 18));
                out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
                out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (code & 0x3F));
            }
        } else {
            ok = false;
            return out;
        }
        i = end;
    }
    return out;
}

bool validUtf8(const std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        size_t extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 99;
        if (extra == 99 || i + extra >= text.size()) return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2) return false;
        i += extra + 1;
    }
    return true;
}

// One <dict> of <key>/<string> pairs between `from` and `to`; nullopt when anything else, a
// NUL, or an undecodable text is in it.
std::optional<json> scanDict(const std::string& bytes, size_t from, size_t to) {
    json record = json::object();
    size_t at = from;
    auto skipSpace = [&] {
        while (at < to && (bytes[at] == ' ' || bytes[at] == '\t' || bytes[at] == '\n' || bytes[at] == '\r')) ++at;
    };
    auto element = [&](const std::string& name, std::string& text) {
        skipSpace();
        std::string empty = "<" + name + "/>";
        if (bytes.compare(at, empty.size(), empty) == 0 && at + empty.size() <= to) {
            at += empty.size();
            text.clear();
            return true;
        }
        std::string open = "<" + name + ">", close = "</" + name + ">";
        if (bytes.compare(at, open.size(), open) != 0) return false;
        size_t end = bytes.find(close, at + open.size());
        if (end == std::string::npos || end + close.size() > to) return false;
        std::string raw = bytes.substr(at + open.size(), end - at - open.size());
        if (raw.find('\0') != std::string::npos || raw.find('<') != std::string::npos) return false;
        bool ok = true;
        text = unescapeXml(raw, ok);
        at = end + close.size();
        return ok && validUtf8(text);
    };
    for (;;) {
        skipSpace();
        if (at >= to) break;
        std::string key, value;
        if (!element("key", key) || !element("string", value)) return std::nullopt;
        record[key] = value;
    }
    if (!FailedImageStore::isRecord(record)) return std::nullopt;
    return record;
}

// --- Opening ---------------------------------------------------------------------------------

void takeOverLegacyFile(State& s) {
    fs::path legacy = FailedImageStore::path();
    if (!foundation::files::exists(legacy)) return;
    auto bytes = foundation::files::read(legacy);
    if (!bytes) {
        moveAsideLogged(legacy, "cannot be read");
        return;
    }
    bool damaged = false;
    auto records = FailedImageStore::recordsInLegacyFile(*bytes, damaged);
    bool allStored = true;
    for (const auto& record : records) {
        auto id = addLocked(s, record);
        if (!id || s.entries[*id].file.empty()) allStored = false;
    }
    if (!allStored) {
        // Kept for the next start, which takes it over again (equal records are stored once).
        foundation::log("failed uploads: not every record of failedImage.plist could be stored; keeping the file");
        return;
    }
    if (damaged) {
        moveAsideLogged(legacy, "is damaged (" + std::to_string(records.size()) + " intact record(s) taken over)");
    } else {
        foundation::files::remove(legacy);
        foundation::files::syncDirectory(legacy.parent_path());
        if (!records.empty())
            foundation::log("failed uploads: took over " + std::to_string(records.size()) + " record(s) of failedImage.plist");
    }
}

void openLocked(State& s) {
    fs::path documents = foundation::Sandbox::current().documents();
    if (s.open && s.documents == documents) return;
    s = State();
    s.documents = documents;
    s.open = true;
    fs::path dir = documents / kDirectoryName;
    foundation::files::createDirectories(dir);
    foundation::files::removeStaleTemporaries(documents);
    foundation::files::removeStaleTemporaries(dir);

    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        FailedImageStore::Id id = 0;
        std::uint64_t digest = 0;
        if (!parseName(name, id, digest)) continue;  // aside copies and strangers stay as they are
        if (s.byDigest.count(digest)) {
            // The same record twice (a takeover repeated after a kill): one copy is enough.
            foundation::files::remove(it->path());
            continue;
        }
        s.entries[id] = Entry{digest, name, std::nullopt};
        s.byDigest[digest] = id;
        s.next = std::max(s.next, id + 1);
    }
    if (ec) foundation::log("failed uploads: cannot list " + dir.string() + ": " + ec.message());
    takeOverLegacyFile(s);
}

std::optional<FailedImageStore::Id> addLocked(State& s, const json& record) {
    std::string text = recordText(record);
    std::uint64_t digest = digestOf(text);
    auto known = s.byDigest.find(digest);
    if (known != s.byDigest.end()) return known->second;
    FailedImageStore::Id id = s.next++;
    std::string name = fileName(id, digest);
    Entry entry{digest, name, std::nullopt};
    if (!foundation::files::writeAtomically(s.documents / kDirectoryName / name, text)) {
        foundation::log("failed uploads: cannot store a record on the disk; keeping it in memory");
        entry.file.clear();
        entry.memory = record;
    }
    s.entries[id] = std::move(entry);
    s.byDigest[digest] = id;
    return id;
}

bool removeLocked(State& s, FailedImageStore::Id id) {
    auto it = s.entries.find(id);
    if (it == s.entries.end()) return false;
    if (!it->second.file.empty()) {
        fs::path dir = s.documents / kDirectoryName;
        if (::unlink((dir / it->second.file).c_str()) != 0 && errno != ENOENT) {
            foundation::log("failed uploads: cannot remove " + it->second.file);
            return false;
        }
        foundation::files::syncDirectory(dir);
    }
    s.byDigest.erase(it->second.digest);
    s.entries.erase(it);
    return true;
}

std::optional<json> loadLocked(State& s, FailedImageStore::Id id) {
    auto it = s.entries.find(id);
    if (it == s.entries.end()) return std::nullopt;
    if (it->second.memory) return it->second.memory;
    fs::path file = s.documents / kDirectoryName / it->second.file;
    auto bytes = foundation::files::read(file);
    std::optional<json> record;
    if (bytes && digestOf(*bytes) == it->second.digest) {
        json parsed = json::parse(*bytes, nullptr, false);
        if (FailedImageStore::isRecord(parsed)) record = std::move(parsed);
    }
    if (record) return record;
    if (bytes) moveAsideLogged(file, "is damaged");
    else foundation::log("failed uploads: " + it->second.file + " is gone");
    s.byDigest.erase(it->second.digest);
    s.entries.erase(it);
    return std::nullopt;
}

}  // namespace

fs::path FailedImageStore::path() { return foundation::Sandbox::current().documents() / kLegacyName; }

fs::path FailedImageStore::directory() { return storeDirectory(); }

bool FailedImageStore::isRecord(const json& element) {
    if (!element.is_object() || element.empty()) return false;
    return std::all_of(element.begin(), element.end(), [](const json& v) { return v.is_string(); });
}

std::optional<FailedImageStore::Id> FailedImageStore::add(const json& record) {
    if (!isRecord(record)) {
        foundation::log("failed uploads: not an upload record, not stored");
        return std::nullopt;
    }
    std::lock_guard<std::mutex> lock(storeMutex());
    openLocked(state());
    return addLocked(state(), record);
}

bool FailedImageStore::remove(Id id) {
    std::lock_guard<std::mutex> lock(storeMutex());
    openLocked(state());
    return removeLocked(state(), id);
}

std::vector<FailedImageStore::Id> FailedImageStore::ids() {
    std::lock_guard<std::mutex> lock(storeMutex());
    openLocked(state());
    std::vector<Id> out;
    out.reserve(state().entries.size());
    for (const auto& [id, entry] : state().entries) out.push_back(id);
    return out;
}

std::size_t FailedImageStore::count() {
    std::lock_guard<std::mutex> lock(storeMutex());
    openLocked(state());
    return state().entries.size();
}

std::optional<json> FailedImageStore::load(Id id) {
    std::lock_guard<std::mutex> lock(storeMutex());
    openLocked(state());
    return loadLocked(state(), id);
}

bool FailedImageStore::removeRecord(const json& record) {
    std::lock_guard<std::mutex> lock(storeMutex());
    State& s = state();
    openLocked(s);
    auto it = s.byDigest.find(digestOf(recordText(record)));
    return it != s.byDigest.end() && removeLocked(s, it->second);
}

std::vector<json> FailedImageStore::records() {
    std::vector<json> out;
    for (Id id : ids())
        if (auto record = load(id)) out.push_back(std::move(*record));
    return out;
}

std::vector<json> FailedImageStore::recordsInLegacyFile(const std::string& bytes, bool& damaged) {
    damaged = false;
    std::vector<json> out;
    if (bytes.empty()) return out;
    if (auto whole = foundation::plist::parse(bytes)) {
        if (!whole->is_array()) {
            damaged = true;
            return out;
        }
        for (const auto& element : *whole) {
            if (isRecord(element))
                out.push_back(element);
            else
                damaged = true;
        }
        return out;
    }
    // Not a readable list (a NUL inside a text, a page of zeros, cut short): every complete
    // dictionary of strings in it is a record that can still be sent.
    damaged = true;
    for (size_t open = bytes.find("<dict>"); open != std::string::npos; open = bytes.find("<dict>", open + 1)) {
        size_t close = bytes.find("</dict>", open);
        if (close == std::string::npos) break;
        size_t nested = bytes.find("<dict", open + 6);
        if (nested != std::string::npos && nested < close) continue;
        if (auto record = scanDict(bytes, open + 6, close)) out.push_back(std::move(*record));
    }
    return out;
}

void FailedImageStore::resetForTesting() {
    std::lock_guard<std::mutex> lock(storeMutex());
    state() = State();
}
