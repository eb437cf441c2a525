#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/KeyValue.h"

// Parameters of the insurance report "claimcaseinfo".
// JSON keys are the property names; nil properties are left out of keyValues().
class CaseInfoRequest : public KeyValueObject<CaseInfoRequest> {
public:
    std::optional<std::string> userid;
    std::optional<std::string> appkey;
    std::optional<std::string> sn;
    std::optional<std::string> accidentno;
    std::optional<std::string> caselon;
    std::optional<std::string> caselat;
    std::optional<std::string> casedate;
    std::optional<std::string> companycode;
    std::optional<std::string> reportcall;
    std::optional<std::string> reportype;

    static const std::vector<keyvalue::Property<CaseInfoRequest>>& keyValueProperties();
};
