#pragma once
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/KeyValue.h"

// The parties' data sent with "accidentcarinfo". One instance per party is an entry of the
// vehicle list (casecarno, caseperson, casephone, localflag, companycode, companyname); one
// more is the request itself (userid, appkey, sn, accidentno, casecarlist and, for two
// vehicles, accidentdes and accidentInformation). Nil properties are left out.
class ClientRequestModel : public KeyValueObject<ClientRequestModel> {
public:
    // Party entry.
    std::optional<std::string> casecarno;
    std::optional<std::string> caseperson;
    std::optional<std::string> casephone;
    std::optional<std::string> localflag;
    std::optional<std::string> companycode;
    std::optional<std::string> companyname;
    // Request.
    std::optional<std::string> userid;
    std::optional<std::string> appkey;
    std::optional<std::string> sn;
    std::optional<std::string> accidentno;
    std::optional<nlohmann::json> casecarlist;
    std::optional<std::string> accidentdes;
    std::optional<std::string> accidentInformation;

    static const std::vector<keyvalue::Property<ClientRequestModel>>& keyValueProperties();
};
