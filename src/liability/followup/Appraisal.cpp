#include "liability/followup/Appraisal.h"

#include "core/AppConfig.h"
#include "core/StringExtension.h"

nlohmann::json Appraisal::toparams() const {
    nlohmann::json params = nlohmann::json::object();
    auto put = [&params](const char* key, const std::optional<std::string>& value) {
        if (value) params[key] = *value;
    };
    put("userid", userid);
    put("accidentno", accidentno);
    put("carno", carno);
    if (personevaluate) params["personevaluate"] = StringExtension::UTF8StringWithString(*personevaluate);
    put("personescord", personescord);
    put("reasoncode", reasoncode);
    params["appkey"] = AppConfig::appKey();
    if (userid) params["sn"] = StringExtension::snWithString(*userid);
    return params;
}
