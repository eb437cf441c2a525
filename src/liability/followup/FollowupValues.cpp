#include "liability/followup/FollowupValues.h"

#include "core/KeyValue.h"
#include "core/UserDateSingleton.h"

namespace followupstyle {

std::optional<std::string> textOf(const nlohmann::json& value) {
    if (value.is_boolean()) return std::nullopt;
    return keyvalue::stringFromJson(value);
}

std::optional<std::string> textMember(const nlohmann::json& dictionary, const char* key) {
    if (!dictionary.is_object()) return std::nullopt;
    auto it = dictionary.find(key);
    if (it == dictionary.end()) return std::nullopt;
    return textOf(*it);
}

std::optional<std::string> signedInUserid() {
    auto userid = UserDateSingleton::shareUserDateInstance().userid();
    if (!userid || userid->empty()) return std::nullopt;
    return userid;
}

}  // namespace followupstyle
