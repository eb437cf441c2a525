#include "tools/server/StandInServer.h"

namespace standin {

namespace {

// The vehicles every account starts with: two cars with both policies.
nlohmann::json defaultVehicles() {
    auto vehicle = [](const char* carno, const char* owner, const char* engine, const char* jqxcode,
                      const char* jqxname, const char* jqpaperno, const char* syxcode, const char* syxname,
                      const char* sypaperno, const char* photo) {
        return nlohmann::json{{"carno", carno},
                              {"ownername", owner},
                              {"engineno", engine},
                              {"insureperson", owner},
                              {"jqxcode", jqxcode},
                              {"jqxname", jqxname},
                              {"jqpaperno", jqpaperno},
                              {"jqxstart", "2026-03-01"},
                              {"jqxend", "2027-02-28"},
                              {"syxcode", syxcode},
                              {"syxname", syxname},
                              {"sypaperno", sypaperno},
                              {"syxstart", "2026-03-01"},
                              {"syxend", "2027-02-28"},
                              {"drivinglicense", {{"url", photo}}}};
    };
    return nlohmann::json::array({
        vehicle("京A12345", "王建国", "LK2093841", "PICC", "中国人民财产保险股份有限公司", "PDZA202611000123",
                "PICC", "中国人民财产保险股份有限公司", "PDAA202611000456", "http://127.0.0.1/license/jingA12345.jpg"),
        vehicle("京N8K276", "王建国", "BJ7731020", "CPIC", "中国太平洋财产保险股份有限公司", "ABEJ202611007788",
                "PAIC", "中国平安财产保险股份有限公司", "1210300990012345", "http://127.0.0.1/license/jingN8K276.jpg"),
    });
}

}  // namespace

// Case opening and the photos of a case:
// - "accidentinfor" opens a case ("accidenttype" "0" single car, "1" two or more) and answers a
//   fresh case number; the case is kept under data["cases"][number].
// - "getusercarlist" answers the account's vehicles: data["vehicles"][userid] when a test or a
//   walk set it, else two sample cars.
// - "image" takes every photo ("200"); the photos of each case are counted under
//   data["cases"][number]["photos"].
void registerCaptureDefaults(StandInServer& server) {
    server.registerDefault("accidentinfor", [&server](const RecordedRequest& request) {
        auto type = request.param("accidenttype");
        if (!type || (*type != "0" && *type != "1")) return Reply::rescode("300", "事故类型有误");
        std::string number = server.nextAccidentNumber();
        server.withState([&](SimulatedState& state) {
            state.data["cases"][number] = {{"accidenttype", *type},
                                           {"userid", request.param("userid").value_or("")},
                                           {"accidentdate", request.param("accidentdate").value_or("")},
                                           {"lon", request.param("lon").value_or("")},
                                           {"lat", request.param("lat").value_or("")},
                                           {"photos", 0}};
        });
        return Reply::rescode("200", "成功", {{"accidentno", number}});
    });
    server.registerDefault("getusercarlist", [&server](const RecordedRequest& request) {
        std::string userid = request.param("userid").value_or("");
        nlohmann::json list = defaultVehicles();
        server.withState([&](SimulatedState& state) {
            auto vehicles = state.data.find("vehicles");
            if (vehicles != state.data.end() && vehicles->is_object() && vehicles->contains(userid) &&
                (*vehicles)[userid].is_array())
                list = (*vehicles)[userid];
        });
        return Reply::rescode("200", "成功", {{"list", list}});
    });
    server.registerDefault("image", [&server](const RecordedRequest& request) {
        auto number = request.param("accidentno");
        if (number) {
            server.withState([&](SimulatedState& state) {
                auto cases = state.data.find("cases");
                if (cases == state.data.end() || !cases->is_object() || !cases->contains(*number)) return;
                auto& photos = (*cases)[*number]["photos"];
                photos = (photos.is_number_integer() ? photos.get<int>() : 0) + 1;
            });
        }
        return Reply::rescode("200", "上传成功");
    });
}

}  // namespace standin
