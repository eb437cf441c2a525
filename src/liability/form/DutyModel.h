#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/KeyValue.h"

// The two parties as the liability screens show them: names, plates (prefix and number, not
// escaped) and insurer names.
class DutyModel : public KeyValueObject<DutyModel> {
public:
    std::optional<std::string> selfName;
    std::optional<std::string> selfCarNo;
    std::optional<std::string> selfInsurance;
    std::optional<std::string> otherName;
    std::optional<std::string> otherCarNo;
    std::optional<std::string> otherInsurance;

    static const std::vector<keyvalue::Property<DutyModel>>& keyValueProperties();
};
