#include "core/FailedImageStore.h"

#include <algorithm>
#include <map>
#include <memory>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// Records whose write failed, per file, written again with the next change.
std::map<std::string, std::vector<json>>& unsaved() {
    static std::map<std::string, std::vector<json>> records;
    return records;
}

struct Contents {
    json array = json::array();
    bool writable = true;  // false when the file exists but could be neither read nor moved aside
};

// What the file holds now. A corrupt file is moved aside so that nothing in it is lost.
Contents readFile(const fs::path& file) {
    Contents contents;
    if (!foundation::files::exists(file)) return contents;
    auto bytes = foundation::files::read(file);
    if (!bytes) {
        foundation::log("failedImage.plist: cannot read " + file.string() + "; leaving it as it is");
        contents.writable = false;
        return contents;
    }
    auto parsed = foundation::plist::parse(*bytes);
    if (parsed && parsed->is_array()) {
        contents.array = std::move(*parsed);
        return contents;
    }
    fs::path aside = foundation::files::moveAside(file);
    if (aside.empty()) {
        foundation::log("failedImage.plist: the file is not a list of records and cannot be moved aside");
        contents.writable = false;
    } else {
        foundation::log("failedImage.plist: the file is not a list of records; moved it to " + aside.string());
    }
    return contents;
}

bool contains(const json& array, const json& record) {
    return std::find(array.begin(), array.end(), record) != array.end();
}

// Adds the records still waiting in memory and writes the whole list.
bool writeFile(const fs::path& file, json array) {
    auto& pending = unsaved()[file.string()];
    for (const auto& record : pending)
        if (!contains(array, record)) array.push_back(record);
    if (!foundation::plist::write(file, array)) {
        foundation::log("failedImage.plist: cannot write " + file.string());
        return false;
    }
    pending.clear();
    return true;
}

// The store is changed on the main thread only; calls from elsewhere are posted there.
bool onMainThread(const std::function<void()>& work) {
    if (foundation::isMainThread()) return true;
    foundation::dispatch::mainQueue()->async(work);
    return false;
}

}  // namespace

fs::path FailedImageStore::path() { return foundation::Sandbox::current().documents() / "failedImage.plist"; }

bool FailedImageStore::isRecord(const json& element) {
    if (!element.is_object() || element.empty()) return false;
    return std::all_of(element.begin(), element.end(), [](const json& v) { return v.is_string(); });
}

bool FailedImageStore::addRecord(const json& record) {
    if (!isRecord(record)) {
        foundation::log("failedImage.plist: not an upload record, not stored");
        return false;
    }
    if (!onMainThread([record] { addRecord(record); })) return true;
    fs::path file = path();
    Contents contents = readFile(file);
    auto& pending = unsaved()[file.string()];
    if (contains(contents.array, record) || contains(pending, record)) {
        // Already waiting; still try to write what memory holds.
        if (!pending.empty() && contents.writable) return writeFile(file, contents.array);
        return pending.empty();
    }
    if (!contents.writable) {
        pending.push_back(record);
        return false;
    }
    contents.array.push_back(record);
    if (writeFile(file, contents.array)) return true;
    pending.push_back(record);
    return false;
}

bool FailedImageStore::removeRecord(const json& record) {
    if (!onMainThread([record] { removeRecord(record); })) return true;
    fs::path file = path();
    auto& pending = unsaved()[file.string()];
    bool removedPending = false;
    for (auto it = pending.begin(); it != pending.end();) {
        if (*it == record) {
            it = pending.erase(it);
            removedPending = true;
        } else {
            ++it;
        }
    }
    Contents contents = readFile(file);
    if (!contents.writable) return removedPending;
    json kept = json::array();
    for (auto& element : contents.array)
        if (element != record) kept.push_back(std::move(element));
    if (kept.size() == contents.array.size()) return removedPending;
    return writeFile(file, std::move(kept));
}

std::vector<json> FailedImageStore::records() {
    fs::path file = path();
    Contents contents = readFile(file);
    std::vector<json> result;
    for (const auto& element : contents.array) {
        if (isRecord(element))
            result.push_back(element);
        else
            foundation::log("failedImage.plist: skipping an element that is not an upload record");
    }
    for (const auto& record : unsaved()[file.string()])
        if (std::find(result.begin(), result.end(), record) == result.end()) result.push_back(record);
    return result;
}

size_t FailedImageStore::retry(const Sender& send) {
    if (!send) return 0;
    auto waiting = records();
    for (const auto& record : waiting) {
        // The answer may come after the sandbox changed (tests); it removes from the file it was read from.
        fs::path file = path();
        send(record, [record, file](bool sent) {
            if (!sent) return;
            if (path() != file) return;
            removeRecord(record);
        });
    }
    return waiting.size();
}

void FailedImageStore::resetForTesting() { unsaved().clear(); }
