#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/KeyValue.h"

// The registered vehicle licence photo of a vehicle: its address on the server.
class DrivinglicenseModel : public KeyValueObject<DrivinglicenseModel> {
public:
    std::optional<std::string> url;

    static const std::vector<keyvalue::Property<DrivinglicenseModel>>& keyValueProperties();
};
