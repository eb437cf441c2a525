#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/KeyValue.h"

// The reply envelope: "rescode" ("200" is success) and "resdes" (the server's message).
// JSON keys are the property names; nil properties are left out of keyValues().
class BackCodeModel : public KeyValueObject<BackCodeModel> {
public:
    std::optional<std::string> rescode;
    std::optional<std::string> resdes;

    // "rescode" equals "200".
    bool isSuccess() const { return rescode && *rescode == "200"; }

    static const std::vector<keyvalue::Property<BackCodeModel>>& keyValueProperties();
};
