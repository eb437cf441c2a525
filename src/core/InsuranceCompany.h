#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/KeyValue.h"

// One insurer: display name, code, service telephone and claim-report telephone.
// JSON keys are the property names; nil properties are left out of keyValues().
class InsuranceCompany : public KeyValueObject<InsuranceCompany> {
public:
    std::optional<std::string> inscomname;
    std::optional<std::string> inscomcode;
    std::optional<std::string> insphone;
    std::optional<std::string> insreporttel;

    static const std::vector<keyvalue::Property<InsuranceCompany>>& keyValueProperties();
};
