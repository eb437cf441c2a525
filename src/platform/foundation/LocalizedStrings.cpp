#include "platform/foundation/LocalizedStrings.h"

#include <mutex>

#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

namespace foundation {

namespace {

constexpr const char* kTableName = "Localizable.strings";

class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    std::optional<std::map<std::string, std::string>> entries(std::string* error) {
        std::map<std::string, std::string> out;
        while (true) {
            if (!skipSpaceAndComments()) return fail(error, "unterminated comment");
            if (at_ == text_.size()) return out;
            std::string key, value;
            if (!quoted(key)) return fail(error, "a key in double quotes expected");
            if (!skipSpaceAndComments() || !take('=')) return fail(error, "\"=\" expected after \"" + key + "\"");
            if (!skipSpaceAndComments() || !quoted(value)) return fail(error, "a value in double quotes expected for \"" + key + "\"");
            if (!skipSpaceAndComments() || !take(';')) return fail(error, "\";\" expected after the value of \"" + key + "\"");
            out[key] = std::move(value);
        }
    }

private:
    std::nullopt_t fail(std::string* error, const std::string& what) {
        if (error) *error = what + " at byte " + std::to_string(at_);
        return std::nullopt;
    }
    bool take(char c) {
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    // Skips white space and comments; false on a comment that does not end.
    bool skipSpaceAndComments() {
        while (at_ < text_.size()) {
            char c = text_[at_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++at_;
            } else if (text_.compare(at_, 2, "//") == 0) {
                auto end = text_.find('\n', at_);
                at_ = end == std::string::npos ? text_.size() : end + 1;
            } else if (text_.compare(at_, 2, "/*") == 0) {
                auto end = text_.find("*/", at_ + 2);
                if (end == std::string::npos) return false;
                at_ = end + 2;
            } else {
                break;
            }
        }
        return true;
    }
    bool quoted(std::string& out) {
        if (!take('"')) return false;
        while (at_ < text_.size()) {
            char c = text_[at_++];
            if (c == '"') return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ == text_.size()) return false;
            char e = text_[at_++];
            switch (e) {
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            default: out += e; break;  // \" \\ and any other character as itself
            }
        }
        return false;
    }

    const std::string& text_;
    size_t at_ = 0;
};

struct Table {
    std::mutex mutex;
    bool loaded = false;
    std::filesystem::path root;  // the bundle the entries came from
    std::map<std::string, std::string> entries;
};

Table& table() {
    static Table t;
    return t;
}

void loadLocked(Table& t) {
    t.loaded = true;
    t.root = bundleRoot();
    t.entries.clear();
    auto path = bundlePath(kTableName);
    if (path.empty()) {
        log(std::string("LocalizedStrings: the bundle has no ") + kTableName + "; texts show their keys");
        return;
    }
    auto text = files::read(path);
    std::string error;
    auto entries = text ? parseStringsTable(*text, &error) : std::nullopt;
    if (!entries) {
        log(std::string("LocalizedStrings: ") + kTableName + " cannot be read (" + (text ? error : "unreadable") +
            "); texts show their keys");
        return;
    }
    t.entries = std::move(*entries);
}

}  // namespace

std::optional<std::map<std::string, std::string>> parseStringsTable(const std::string& text, std::string* error) {
    return Reader(text).entries(error);
}

std::string localizedString(const std::string& key) {
    auto& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (!t.loaded || t.root != bundleRoot()) loadLocked(t);
    auto it = t.entries.find(key);
    return it == t.entries.end() ? key : it->second;
}

void resetLocalizedStrings() {
    auto& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    t.loaded = false;
    t.entries.clear();
}

}  // namespace foundation
