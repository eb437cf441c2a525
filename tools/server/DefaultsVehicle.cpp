#include "tools/server/StandInServer.h"

namespace standin {

// "insurerlist": the insurers of the area, each with its name, code, service number and claim
// report number. Every area gets the same list.
void registerVehicleDefaults(StandInServer& server) {
    server.registerDefault("insurerlist", [](const RecordedRequest&) {
        auto insurer = [](const char* name, const char* code, const char* phone, const char* reportTel) {
            return nlohmann::json{{"inscomname", name}, {"inscomcode", code}, {"insphone", phone}, {"insreporttel", reportTel}};
        };
        nlohmann::json list = nlohmann::json::array({
            insurer("中国人民财产保险股份有限公司", "PICC", "95518", "95518"),
            insurer("中国平安财产保险股份有限公司", "PAIC", "95511", "95511"),
            insurer("中国太平洋财产保险股份有限公司", "CPIC", "95500", "95500"),
            insurer("中华联合财产保险股份有限公司", "CICP", "95585", "95585"),
            insurer("阳光财产保险股份有限公司", "YGBX", "95510", "95510"),
            insurer("中国大地财产保险股份有限公司", "CCIC", "95590", "95590"),
        });
        return Reply::rescode("200", "成功", {{"list", list}});
    });
}

}  // namespace standin
