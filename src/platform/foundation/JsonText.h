#pragma once
#include <string_view>

#include <nlohmann/json.hpp>

namespace foundation {

// The deepest nesting of arrays and objects that JSON from outside the process may have.
// Copying, comparing or printing a JSON value recurses once per level, so a reply or payload
// of a few megabytes of brackets would otherwise overflow the stack long after it parsed.
inline constexpr int kMaxJsonDepth = 256;

// How deeply the arrays and objects of a JSON text nest (brackets inside strings do not count).
int jsonNestingDepth(std::string_view text);

// Parses JSON text from outside (server replies, push payloads, request bodies) without
// throwing: a value for which is_discarded() holds when the text does not parse or nests
// deeper than `maxDepth`. A whole number beyond the 64-bit integer ranges becomes a string of
// its exact decimal text rather than an approximate double.
nlohmann::json parseJson(std::string_view text, int maxDepth = kMaxJsonDepth);

}  // namespace foundation
