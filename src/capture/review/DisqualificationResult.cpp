#include "capture/review/DisqualificationResult.h"

const std::vector<keyvalue::Property<DisqualificationResult>>& DisqualificationResult::keyValueProperties() {
    static const std::vector<keyvalue::Property<DisqualificationResult>> properties = {
        keyvalue::string("phototype", &DisqualificationResult::phototype),
        keyvalue::string("des", &DisqualificationResult::des),
    };
    return properties;
}

std::vector<DisqualificationResult> DisqualificationResult::resultsFromList(const nlohmann::json& list) {
    std::vector<DisqualificationResult> results;
    if (!list.is_array()) return results;
    for (const auto& element : list) {
        if (!element.is_object()) continue;
        DisqualificationResult result;
        result.setKeyValues(element);
        results.push_back(std::move(result));
    }
    return results;
}
