#pragma once
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/KeyValue.h"

// The signing of the police paper ("signprocesspaper"). One instance is the request (userid,
// sn, appkey, accidentno, signlist); one per party is an entry of its "signlist" (content,
// licenseno, latx, lngy, signtime, phoneno, valicode for the other party, localflag). Nil
// properties are left out.
class PoliceSignRequestModel : public KeyValueObject<PoliceSignRequestModel> {
public:
    // Request.
    std::optional<std::string> userid;
    std::optional<std::string> sn;
    std::optional<std::string> appkey;
    std::optional<std::string> accidentno;
    std::optional<std::string> paperno;
    std::optional<nlohmann::json> signlist;
    // Entry.
    std::optional<std::string> content;
    std::optional<std::string> licenseno;
    std::optional<std::string> latx;
    std::optional<std::string> lngy;
    std::optional<std::string> signtime;
    std::optional<std::string> phoneno;
    std::optional<std::string> valicode;
    std::optional<std::string> localflag;

    static const std::vector<keyvalue::Property<PoliceSignRequestModel>>& keyValueProperties();
};
