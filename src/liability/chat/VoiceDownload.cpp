#include "liability/chat/VoiceDownload.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>
#include <set>

#include "core/FileAccess.h"
#include "liability/chat/SettlingOrder.h"
#include "network/URLSessionManager.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"
#include "platform/media/AudioPlayer.h"

namespace fs = std::filesystem;

namespace {

std::string lowerCase(std::string s) {
    for (auto& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string percentDecoded(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out.push_back(char(std::stoi(s.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

// The text as whole UTF-8 characters without those a name must not hide: control characters
// (C0, DEL, C1), the format characters that turn or hide text (direction marks, embeddings,
// overrides and isolates, zero-width characters, the soft hyphen, the byte-order mark), line
// and paragraph separators. A broken sequence is dropped.
std::string withoutInvisibleCharacters(const std::string& text) {
    auto invisible = [](char32_t c) {
        return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0xad || c == 0x34f || c == 0x61c || c == 0x115f ||
               c == 0x1160 || c == 0x17b4 || c == 0x17b5 || c == 0x180e || (c >= 0x200b && c <= 0x200f) ||
               (c >= 0x2028 && c <= 0x202e) || (c >= 0x2060 && c <= 0x206f) || c == 0x3164 || c == 0xfeff ||
               c == 0xffa0 || (c >= 0xfff0 && c <= 0xfffb) || (c >= 0xe0000 && c <= 0xe0fff);
    };
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80           ? 1
                              : (lead >> 5) == 0x6  ? 2
                              : (lead >> 4) == 0xe  ? 3
                              : (lead >> 3) == 0x1e ? 4
                                                    : 0;
        bool whole = length > 0 && i + length <= text.size();
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1f : length == 3 ? lead & 0x0f : lead & 0x07;
        for (size_t k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            whole = (next & 0xc0) == 0x80;
            c = (c << 6) | (next & 0x3f);
        }
        // Overlong forms and surrogates are broken too.
        static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (whole && (c < kLeast[length] || (c >= 0xd800 && c <= 0xdfff) || c > 0x10ffff)) whole = false;
        if (!whole) {
            ++i;
            continue;
        }
        if (!invisible(c)) out.append(text, i, length);
        i += length;
    }
    return out;
}

// Downloads finish on worker threads at the same time: a name chosen for one is claimed until
// its file has been moved there, so that no other download chooses it meanwhile.
struct Claims {
    std::mutex mutex;
    std::set<fs::path> paths;
};

Claims& claims() {
    static Claims c;
    return c;
}

// Downloads of one address come back to the main thread in any order; they are settled in the
// order they chose their names. The first to choose got the server's name for the file, and
// that copy is the one kept when the address was fetched twice at once.
SettlingOrder& settlingOrder() {
    static SettlingOrder order;
    return order;
}

// The name one download chose, and its place in the settling order (0: none chosen).
struct Claim {
    fs::path path;
    unsigned long long place = 0;
};

// With the claims locked: name, name-1, name-2... whichever no file has and no download claimed.
fs::path unclaimedPath(const std::string& name) {
    const fs::path dir = FileAccess::directory();
    fs::path candidate = dir / name;
    const fs::path stem = fs::path(name).stem(), extension = fs::path(name).extension();
    for (int n = 1; foundation::files::exists(candidate) || claims().paths.count(candidate); ++n) {
        candidate = dir / (stem.string() + "-" + std::to_string(n) + extension.string());
    }
    return candidate;
}

// address -> stored file name; a missing or damaged index is empty (the messages are fetched
// again).
nlohmann::json readIndex() {
    auto path = VoiceDownload::indexPath();
    if (!foundation::files::exists(path)) return nlohmann::json::object();
    auto index = foundation::plist::read(path);
    return index && index->is_object() ? *index : nlohmann::json::object();
}

void remember(const std::string& url, const fs::path& file) {
    auto index = readIndex();
    index[url] = file.filename().string();
    if (!foundation::plist::write(VoiceDownload::indexPath(), index))
        foundation::log("VoiceDownload: cannot write the index of fetched voice messages");
}

}  // namespace

fs::path VoiceDownload::indexPath() { return FileAccess::directory() / ".voice-downloads.plist"; }

std::optional<fs::path> VoiceDownload::storedCopy(const std::string& url) {
    auto index = readIndex();
    auto it = index.find(url);
    if (it == index.end() || !it->is_string()) return std::nullopt;
    const std::string name = voiceFileName(it->get<std::string>());
    if (name.empty() || name != it->get<std::string>()) return std::nullopt;
    const fs::path path = FileAccess::directory() / name;
    if (!foundation::files::exists(path)) return std::nullopt;
    return path;
}

bool VoiceDownload::isWebURL(const std::string& s) { return isFetchableURL(s); }

std::string VoiceDownload::dispositionFileName(const std::string& header) {
    std::string plain, extended;
    size_t pos = 0;
    while (pos < header.size()) {
        size_t semicolon = header.find(';', pos);
        // A quoted value may hold ';'.
        size_t quote = header.find('"', pos);
        if (quote != std::string::npos && quote < semicolon) {
            size_t close = header.find('"', quote + 1);
            semicolon = close == std::string::npos ? std::string::npos : header.find(';', close);
        }
        std::string part = header.substr(pos, semicolon == std::string::npos ? std::string::npos : semicolon - pos);
        pos = semicolon == std::string::npos ? header.size() : semicolon + 1;
        size_t eq = part.find('=');
        if (eq == std::string::npos) continue;
        std::string key = part.substr(0, eq), value = part.substr(eq + 1);
        key.erase(0, key.find_first_not_of(" \t"));
        key.erase(key.find_last_not_of(" \t") + 1);
        value.erase(0, value.find_first_not_of(" \t"));
        value.erase(value.find_last_not_of(" \t") + 1);
        key = lowerCase(key);
        if (key == "filename") {
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
            plain = value;
        } else if (key == "filename*") {
            size_t tick = value.find("''");
            extended = percentDecoded(tick == std::string::npos ? value : value.substr(tick + 2));
        }
    }
    return extended.empty() ? plain : extended;
}

std::string VoiceDownload::lastComponent(const std::string& s) {
    std::string path = s;
    if (isWebURL(s)) {
        size_t cut = path.find_first_of("?#");
        if (cut != std::string::npos) path.resize(cut);
    }
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string VoiceDownload::plainFileName(const std::string& name) {
    std::string plain = withoutInvisibleCharacters(name);
    size_t cut = plain.find_last_of("/\\");
    if (cut != std::string::npos) plain = plain.substr(cut + 1);
    plain.erase(0, plain.find_first_not_of(" ."));  // no hidden files, no "." or ".."
    while (!plain.empty() && plain.back() == ' ') plain.pop_back();
    if (plain.size() > 200) {
        // Keep the end (with the extension), starting on a whole UTF-8 character.
        size_t start = plain.size() - 200;
        while (start < plain.size() && (static_cast<unsigned char>(plain[start]) & 0xC0) == 0x80) ++start;
        plain = plain.substr(start);
    }
    return FileAccess::isAcceptableName(plain) ? plain : std::string();
}

std::string VoiceDownload::voiceFileName(const std::string& name) {
    const std::string plain = plainFileName(name);
    if (plain.empty()) return "";
    // The name before its last extension, whatever that was, then ".mp3".
    const size_t dot = plain.rfind('.');
    std::string stem = dot == std::string::npos ? plain : plain.substr(0, dot);
    while (!stem.empty() && (stem.back() == ' ' || stem.back() == '.')) stem.pop_back();
    return stem.empty() ? std::string() : stem + ".mp3";
}

fs::path VoiceDownload::unusedPath(const std::string& name) {
    auto& c = claims();
    std::lock_guard<std::mutex> lock(c.mutex);
    return unclaimedPath(name);
}

void VoiceDownload::fetch(const std::string& url, Completion completion) {
    URLSessionConfiguration configuration = URLSessionConfiguration::defaultSessionConfiguration();
    configuration.maximumContentLength = kMaximumBytes;
    configuration.timeoutIntervalForResource = kTimeLimitSeconds;
    URLSessionManager manager(configuration);
    const std::string localName = voiceFileName(lastComponent(url));
    // The name claimed for the download (set on the worker, read on the main thread after it).
    auto claimed = std::make_shared<Claim>();
    // Where the finished download goes, or nowhere. Runs on the download's worker thread.
    auto destination = [url, localName, claimed](const fs::path& temporary, const URLSessionResponse& response) -> fs::path {
        if (response.statusCode < 200 || response.statusCode > 299) {
            foundation::log("VoiceDownload: the download answered " + std::to_string(response.statusCode));
            return {};
        }
        // Only a voice message is kept.
        auto bytes = foundation::files::read(temporary);
        if (!bytes || !media::AudioPlayer::decodeMP3(*bytes).decodable) {
            foundation::log("VoiceDownload: the download is no playable MP3");
            return {};
        }
        // The server's name for the file, else the requested address's, else the answer's.
        std::string name;
        auto header = response.allHeaderFields.find("content-disposition");
        if (header != response.allHeaderFields.end()) name = voiceFileName(dispositionFileName(header->second));
        if (name.empty()) name = localName;
        if (name.empty()) name = voiceFileName(response.suggestedFilename());
        if (name.empty()) name = "voice.mp3";
        auto& c = claims();
        std::lock_guard<std::mutex> lock(c.mutex);
        fs::path target = unclaimedPath(name);  // never over an existing file
        c.paths.insert(target);
        claimed->path = target;
        claimed->place = settlingOrder().take(url);
        return target;
    };
    // The completion comes on the main queue.
    auto done = [url, claimed, completion = std::move(completion)](const URLSessionResponse&, const fs::path& file,
                                                                   const std::optional<URLSessionError>& error) {
        if (!claimed->path.empty()) {
            auto& c = claims();
            std::lock_guard<std::mutex> lock(c.mutex);
            c.paths.erase(claimed->path);
        }
        settlingOrder().arrive(url, claimed->place, [url, file, failed = error || file.empty(), completion] {
            if (failed) {
                if (completion) completion(std::nullopt);
                return;
            }
            // Fetched twice at once: the copy settled first is the one kept.
            if (auto stored = storedCopy(url); stored && *stored != file) {
                foundation::files::remove(file);
                if (completion) completion(*stored);
                return;
            }
            remember(url, file);
            if (completion) completion(file);
        });
    };
    auto task = manager.downloadTaskWithRequest(URLSessionRequest::requestWithURL(url), nullptr, destination, done);
    task->resume();
}
