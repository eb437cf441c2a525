#pragma once
#include <map>
#include <string>
#include <vector>

// The plate-prefix tables: the province abbreviations and the letters that may follow them.
class AddressManager {
public:
    // The "simplename" of every entry of the bundle's "Location.plist", in file order. Read
    // once; entries without a "simplename" text are skipped, and a missing or unreadable file
    // gives an empty list (reported).
    static const std::vector<std::string>& firstLevelArray();
    // Each abbreviation of firstLevelArray to the letters "A" to "Z".
    static const std::map<std::string, std::vector<std::string>>& secondLevelMap();
};
