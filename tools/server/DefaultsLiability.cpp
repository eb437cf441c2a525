#include "tools/server/StandInServer.h"

namespace standin {

namespace {

nlohmann::json& caseRecord(SimulatedState& state, const std::string& number) {
    auto& cases = state.data["cases"];
    if (!cases.is_object()) cases = nlohmann::json::object();
    auto& record = cases[number];
    if (!record.is_object()) record = nlohmann::json::object();
    return record;
}

std::string textOf(const nlohmann::json& object, const char* key) {
    if (!object.is_object() || !object.contains(key)) return "";
    const auto& value = object[key];
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number()) return value.dump();
    return "";
}

}  // namespace

// The liability of a two-vehicle case, kept under data["cases"][number]:
// - "policecaseinfo" hands the case to the traffic police: ["police"] keeps where and when
//   ("caselon", "caselat", "casedate") and who calls ("reportcall").
// - "dutyinfo" takes the agreed liability with both signatures: ["dutylist"] keeps each
//   entry as sent ("carno", "dutytpe", "content" — the signature's Base64 JPEG —, "date",
//   "lon", "lat"). A list without two entries, or an entry without a liability code or a
//   signature, is refused.
void registerLiabilityDefaults(StandInServer& server) {
    server.registerDefault("policecaseinfo", [&server](const RecordedRequest& request) {
        auto number = request.param("accidentno");
        if (!number || number->empty()) return Reply::rescode("300", "案件编号不能为空");
        server.withState([&](SimulatedState& state) {
            caseRecord(state, *number)["police"] = {{"caselon", request.param("caselon").value_or("")},
                                                    {"caselat", request.param("caselat").value_or("")},
                                                    {"casedate", request.param("casedate").value_or("")},
                                                    {"reportcall", request.param("reportcall").value_or("")}};
        });
        return Reply::rescode("200", "已提交交警");
    });
    server.registerDefault("dutyinfo", [&server](const RecordedRequest& request) {
        auto number = request.param("accidentno");
        if (!number || number->empty()) return Reply::rescode("300", "案件编号不能为空");
        const auto& list = request.body.is_object() ? request.body.value("dutylist", nlohmann::json()) : nlohmann::json();
        if (!list.is_array() || list.size() != 2) return Reply::rescode("300", "责任信息不完整");
        nlohmann::json kept = nlohmann::json::array();
        for (const auto& entry : list) {
            auto code = textOf(entry, "dutytpe");
            if (code != "0" && code != "1" && code != "2") return Reply::rescode("300", "责任类型有误");
            if (textOf(entry, "content").empty()) return Reply::rescode("300", "缺少签名");
            kept.push_back({{"carno", textOf(entry, "carno")},
                            {"dutytpe", code},
                            {"content", textOf(entry, "content")},
                            {"date", textOf(entry, "date")},
                            {"lon", textOf(entry, "lon")},
                            {"lat", textOf(entry, "lat")}});
        }
        server.withState([&](SimulatedState& state) { caseRecord(state, *number)["dutylist"] = kept; });
        return Reply::rescode("200", "提交成功");
    });
}

}  // namespace standin
