#include "liability/followup/FollowupValues.h"

#include "core/UserDateSingleton.h"

namespace followupstyle {

std::optional<std::string> signedInUserid() {
    auto userid = UserDateSingleton::shareUserDateInstance().userid();
    if (!userid || userid->empty()) return std::nullopt;
    return userid;
}

}  // namespace followupstyle
