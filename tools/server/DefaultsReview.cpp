#include "tools/server/StandInServer.h"

namespace standin {

namespace {

// The two photos a scripted rejection names.
nlohmann::json rejectedPhotos() {
    return nlohmann::json::array({
        {{"phototype", "1"}, {"des", "侧前方全景照片模糊,未拍到车牌"}},
        {{"phototype", "3"}, {"des", "碰撞部位照片过暗,看不清损伤"}},
    });
}

}  // namespace

// The remote review of a case's photos, counted per case under data["cases"][number]:
// - "getphotoresult" answers the n-th poll of a case ("reviewPolls") with step n of the script
//   data["photoReview"] (the last step repeats): "pending" (no "result" yet), "reject" ("0" with
//   two rejected photos and their reasons), "accept" ("1"), "empty" ("0" without a "list").
//   Without a script: pending on the first poll, accepted from the second on. A test scripts it
//   with withState, a walk with the simulator's "server-data photoReview [...]".
// - "cancelcheck" gives up the review of a case (["cancelled"] true).
void registerReviewDefaults(StandInServer& server) {
    server.registerDefault("getphotoresult", [&server](const RecordedRequest& request) {
        auto number = request.param("accidentno");
        if (!number || number->empty()) return Reply::rescode("300", "案件编号不能为空");
        std::string step = "pending";
        server.withState([&](SimulatedState& state) {
            auto& record = state.data["cases"][*number];
            if (!record.is_object()) record = nlohmann::json::object();
            int polls = (record["reviewPolls"].is_number_integer() ? record["reviewPolls"].get<int>() : 0) + 1;
            record["reviewPolls"] = polls;
            auto it = state.data.find("photoReview");
            if (it != state.data.end() && it->is_array() && !it->empty()) {
                const auto& script = *it;
                const auto& chosen = script[std::min<size_t>(static_cast<size_t>(polls - 1), script.size() - 1)];
                if (chosen.is_string()) step = chosen.get<std::string>();
            } else {
                step = polls >= 2 ? "accept" : "pending";
            }
        });
        if (step == "accept") return Reply::rescode("200", "成功", {{"result", "1"}});
        if (step == "reject") return Reply::rescode("200", "成功", {{"result", "0"}, {"list", rejectedPhotos()}});
        if (step == "empty") return Reply::rescode("200", "成功", {{"result", "0"}});
        return Reply::rescode("200", "审核中");
    });
    server.registerDefault("cancelcheck", [&server](const RecordedRequest& request) {
        auto number = request.param("accidentno");
        if (!number || number->empty()) return Reply::rescode("300", "案件编号不能为空");
        server.withState([&](SimulatedState& state) {
            auto& record = state.data["cases"][*number];
            if (!record.is_object()) record = nlohmann::json::object();
            record["cancelled"] = true;
        });
        return Reply::rescode("200", "成功");
    });
}

}  // namespace standin
