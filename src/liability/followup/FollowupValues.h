#pragma once
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

// What the report, result, prompt and rating screens read from replies and the user state.
namespace followupstyle {

// The signed-in user: UserDateSingleton's user id when it is not empty.
std::optional<std::string> signedInUserid();

}  // namespace followupstyle
