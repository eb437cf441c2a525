#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/KeyValue.h"

// Parameters naming a case and one of its papers for the signed-in user: "userid", "sn",
// "appkey", "accidentno", "paperno". No server call takes it yet.
// JSON keys are the property names; nil properties are left out of keyValues().
class QuikeHandleRequest : public KeyValueObject<QuikeHandleRequest> {
public:
    std::optional<std::string> userid;
    std::optional<std::string> sn;
    std::optional<std::string> appkey;
    std::optional<std::string> accidentno;
    std::optional<std::string> paperno;

    static const std::vector<keyvalue::Property<QuikeHandleRequest>>& keyValueProperties();
};
