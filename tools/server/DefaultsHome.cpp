#include "tools/server/StandInServer.h"

namespace standin {

// What the home page fetches when it loads: "insurerlist" (the same insurers for every
// "areaid": the province name the home page sends, the city code the insurer confirmation sends,
// or none) and "getdictionary" with "type" "accidentdes", the accident situations, the last
// one ("其他") coded "0". Other dictionary types are unknown.
void registerHomeDefaults(StandInServer& server) {
    server.registerDefault("insurerlist", [](const RecordedRequest&) {
        auto insurer = [](const char* name, const char* code, const char* phone) {
            return nlohmann::json{{"inscomname", name}, {"inscomcode", code}, {"insphone", phone}, {"insreporttel", phone}};
        };
        nlohmann::json list = nlohmann::json::array({
            insurer("中国人民财产保险股份有限公司", "PICC", "95518"),
            insurer("中国平安财产保险股份有限公司", "PAIC", "95511"),
            insurer("中国太平洋财产保险股份有限公司", "CPIC", "95500"),
            insurer("中华联合财产保险股份有限公司", "CICP", "95585"),
            insurer("大地财产保险股份有限公司", "CCIC", "95590"),
            insurer("阳光财产保险股份有限公司", "YGBX", "95510"),
        });
        return Reply::rescode("200", "成功", {{"list", list}});
    });
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
