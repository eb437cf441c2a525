#pragma once
#include <string>

#include <nlohmann/json.hpp>

// A developer aid for writing a model of the key-value mapping from a sample dictionary (a
// server reply, say): one member declaration per key, written to the application's log.
//
// Strings and numbers (and true/false, which the mapping reads as "1"/"0") become string
// members; arrays and dictionaries are kept as JSON and marked as such; a null value is
// declared as a string. The keys come in the dictionary's own order, which for our JSON
// dictionaries is sorted by key (a dictionary does not keep the order it was written in).
class ModelDeclarationPrinter {
public:
    ModelDeclarationPrinter() = delete;

    // Logs the declarations, one line per key, and returns them (lines ending in "\n"). Anything
    // but a dictionary declares nothing and is logged as such.
    static std::string createDeclareStringWithDict(const nlohmann::json& dict);

    // The declaration of one key for its sample value.
    static std::string declarationFor(const std::string& key, const nlohmann::json& value);
};
