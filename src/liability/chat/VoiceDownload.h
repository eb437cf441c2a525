#pragma once
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// The fetch of a voice message received in the case chat: its http(s) address is downloaded
// into the case material directory ("CaseMaterial") under the server's name for it and kept
// only when it is a playable MP3. Each address is downloaded once: the directory keeps an
// index of the addresses fetched and the files they are stored in.
class VoiceDownload {
public:
    // A voice message larger than this (minutes of speech) is cut off while it arrives and
    // nothing is kept; so is one that takes longer than the time limit.
    static constexpr long long kMaximumBytes = 4ll * 1024 * 1024;
    static constexpr double kTimeLimitSeconds = 180;

    // The stored file, or nullopt when nothing playable arrived (transport error, a status
    // outside 2xx, data that is no MP3). Runs on the main thread.
    using Completion = std::function<void(const std::optional<std::filesystem::path>& file)>;
    // Starts the download of `url`. The file is named (as voiceFileName makes it) by the reply's
    // Content-Disposition, else by the address's last component, else by the reply's suggested
    // name, else "voice.mp3";
    // it never replaces an existing file (name-1.mp3, name-2.mp3... instead). Checking the data
    // and choosing the name happen on the download's worker thread.
    static void fetch(const std::string& url, Completion completion);
    // The file an earlier fetch of exactly this address stored, while it still exists.
    static std::optional<std::filesystem::path> storedCopy(const std::string& url);

    // Whether the text is an http or https address.
    static bool isWebURL(const std::string& s);
    // The last "/"-separated component of a path or URL (a URL without its query and fragment).
    static std::string lastComponent(const std::string& s);
    // The file name a Content-Disposition header gives ("filename*=UTF-8''..." wins over
    // "filename=..."); empty when it names none.
    static std::string dispositionFileName(const std::string& header);
    // A name reduced to a plain file name (no directories, no "." or "..", no control or
    // invisible format characters such as direction overrides, whole UTF-8 characters only, at
    // most 200 bytes); empty when nothing usable remains.
    static std::string plainFileName(const std::string& name);
    // The plain file name with ".mp3" in place of whatever extension it had ("account.data"
    // becomes "account.mp3"): a downloaded voice message can take neither the name of another
    // kind of file nor an extension that makes it one. Empty when nothing usable remains.
    static std::string voiceFileName(const std::string& name);
    // A path beside `name` in the case material directory that no file has yet and no download
    // under way has chosen: name, name-1...
    static std::filesystem::path unusedPath(const std::string& name);
    // The index of fetched addresses (a hidden file: no server name can become it).
    static std::filesystem::path indexPath();
};
