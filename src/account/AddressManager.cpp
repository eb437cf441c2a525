#include "account/AddressManager.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"

namespace {

std::vector<std::string> readAbbreviations() {
    std::vector<std::string> out;
    auto path = foundation::bundlePath("Location", "plist");
    if (path.empty()) {
        foundation::log("AddressManager: the bundle has no Location.plist");
        return out;
    }
    auto entries = foundation::plist::read(path);
    if (!entries || !entries->is_array()) {
        foundation::log("AddressManager: Location.plist is not a list of provinces");
        return out;
    }
    for (const auto& entry : *entries) {
        if (entry.is_object() && entry.contains("simplename") && entry["simplename"].is_string() &&
            !entry["simplename"].get<std::string>().empty())
            out.push_back(entry["simplename"].get<std::string>());
    }
    return out;
}

}  // namespace

const std::vector<std::string>& AddressManager::firstLevelArray() {
    static const std::vector<std::string> abbreviations = readAbbreviations();
    return abbreviations;
}

const std::map<std::string, std::vector<std::string>>& AddressManager::secondLevelMap() {
    static const std::map<std::string, std::vector<std::string>> map = [] {
        std::vector<std::string> letters;
        for (char c = 'A'; c <= 'Z'; ++c) letters.emplace_back(1, c);
        std::map<std::string, std::vector<std::string>> m;
        for (const auto& abbreviation : firstLevelArray()) m[abbreviation] = letters;
        return m;
    }();
    return map;
}
