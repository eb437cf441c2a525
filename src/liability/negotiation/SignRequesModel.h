#pragma once
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/KeyValue.h"

// The agreed liability with both signatures, sent with "dutyinfo". One instance per party is
// an entry of the liability list (carno, dutytpe, content, date, lon, lat); one more is the
// request itself (userid, sn, appkey, accidentno, dutylist). Nil properties are left out.
class SignRequesModel : public KeyValueObject<SignRequesModel> {
public:
    // Entry.
    std::optional<std::string> carno;
    std::optional<std::string> dutytpe;
    std::optional<std::string> content;
    std::optional<std::string> date;
    std::optional<std::string> lon;
    std::optional<std::string> lat;
    // Request.
    std::optional<std::string> userid;
    std::optional<std::string> sn;
    std::optional<std::string> appkey;
    std::optional<std::string> accidentno;
    std::optional<nlohmann::json> dutylist;

    static const std::vector<keyvalue::Property<SignRequesModel>>& keyValueProperties();
};
