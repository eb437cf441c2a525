#pragma once
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

// What the report, result, prompt and rating screens read from replies and the user state.
namespace followupstyle {

// The text of a JSON value shown to the driver: a string as it is, a number as its decimal
// text; nullopt for anything else (absent, null, a list, a dictionary, true or false).
std::optional<std::string> textOf(const nlohmann::json& value);
// The value under `key` of a dictionary as text (see textOf); nullopt when absent.
std::optional<std::string> textMember(const nlohmann::json& dictionary, const char* key);

// The signed-in user: UserDateSingleton's user id when it is not empty.
std::optional<std::string> signedInUserid();

}  // namespace followupstyle
