#include "tools/server/StandInServer.h"

namespace standin {

// The dictionaries the home page fetches: "getdictionary" with "type" "accidentdes" lists the
// accident situations, the last one ("其他") coded "0". Other types are unknown.
void registerHomeDefaults(StandInServer& server) {
    server.registerDefault("getdictionary", [](const RecordedRequest& request) {
        auto type = request.param("type");
        if (!type || *type != "accidentdes") return Reply::rescode("300", "未知的字典类型");
        nlohmann::json list = nlohmann::json::array({
            {{"name", "追尾"}, {"code", "1"}},
            {{"name", "变更车道"}, {"code", "2"}},
            {{"name", "倒车"}, {"code", "3"}},
            {{"name", "开关车门"}, {"code", "4"}},
            {{"name", "路口未让行"}, {"code", "5"}},
            {{"name", "逆行"}, {"code", "6"}},
            {{"name", "其他"}, {"code", "0"}},
        });
        return Reply::rescode("200", "成功", {{"list", list}});
    });
}

}  // namespace standin
