#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/KeyValue.h"

// Parameters of the photo review poll "getphotoresult".
// JSON keys are the property names; nil properties are left out of keyValues().
class PhotoResultRequest : public KeyValueObject<PhotoResultRequest> {
public:
    std::optional<std::string> userid;
    std::optional<std::string> accidentno;
    std::optional<std::string> sn;
    std::optional<std::string> appkey;

    static const std::vector<keyvalue::Property<PhotoResultRequest>>& keyValueProperties();
};
