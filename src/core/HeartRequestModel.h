#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/KeyValue.h"

// Parameters of the police-decision poll "processpapertimer" (also sent by the case chat).
// JSON keys are the property names; nil properties are left out of keyValues().
class HeartRequestModel : public KeyValueObject<HeartRequestModel> {
public:
    std::optional<std::string> userid;
    std::optional<std::string> accidentno;
    std::optional<std::string> paperno;
    std::optional<std::string> sn;
    std::optional<std::string> appkey;

    static const std::vector<keyvalue::Property<HeartRequestModel>>& keyValueProperties();
};
