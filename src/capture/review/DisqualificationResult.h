#pragma once
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/KeyValue.h"

// One rejected photo of the review: the step code it was uploaded under ("imagetype") and the
// reviewer's reason.
class DisqualificationResult : public KeyValueObject<DisqualificationResult> {
public:
    std::optional<std::string> phototype;
    std::optional<std::string> des;

    static const std::vector<keyvalue::Property<DisqualificationResult>>& keyValueProperties();

    // The records of a reply's "list", in order: elements that are not dictionaries are
    // skipped, and a "list" that is not an array gives none.
    static std::vector<DisqualificationResult> resultsFromList(const nlohmann::json& list);
};
