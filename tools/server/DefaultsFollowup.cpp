#include "tools/server/StandInServer.h"

namespace standin {

namespace {

// The claim result the insurer gives once the report has been checked.
constexpr const char* kClaimResult =
    "您的理赔已审核通过：车辆损失核定金额1280元，赔款将在3个工作日内支付至您的银行账户。";

// Polls of "claimresult" answered "201" before the result comes, unless a test or a walk set
// data["claimResultAfterPolls"].
constexpr int kDefaultPollsBeforeResult = 2;

// The number a driver who rejects the police decision is offered to call.
constexpr const char* kTrafficPolicePhone = "010-122";



}  // namespace

nlohmann::json claimNoticePush(const std::string& accidentno, int claimstate) {
    return {{"aps",
             {{"alert", "您的案件有新进展"},
              {"key", "ClAIM"},
              {"content", {{"accidentno", accidentno}, {"claimstate", claimstate}}}}}};
}

// The follow-up of a case, kept under data["cases"][number]:
// - "claimcaseinfo" files the insurance report ("reportype" "0" in the application, "1" by
//   telephone; a report without "reportype", as the insurer confirmation files it, is one in the
//   application) under ["report"]; the report count is ["reports"].
// - "claimresult" counts the polls of a case (["resultPolls"]): the first polls answer "201"
//   (no result yet), then "200" with the claim result text.
// - "getreason" lists the five rating reasons.
// - "evaluationInfo" takes a rating (grade "0" to "3"; "2" and "3" need a reason) under
//   ["evaluation"].
// - "taskstate" records the task state change ("type") under ["taskstate"] and the
//   "accidenttype" under ["taskaccidenttype"]; a rejected police decision ("accidenttype" "1")
//   is answered with the traffic police's "phoneno".
void registerFollowupDefaults(StandInServer& server) {
    server.registerDefault("claimcaseinfo", [&server](const RecordedRequest& request) {
        auto number = request.param("accidentno");
        if (!number || number->empty()) return Reply::rescode("300", "案件编号不能为空");
        auto type = request.param("reportype");
        if (!type) type = "0";
        if (*type != "0" && *type != "1") return Reply::rescode("300", "报案方式有误");
        server.withState([&](SimulatedState& state) {
            auto& record = state.caseRecord(*number);
            record["report"] = {{"reportype", *type},
                                {"casedate", request.param("casedate").value_or("")},
                                {"companycode", request.param("companycode").value_or("")},
                                {"reportcall", request.param("reportcall").value_or("")}};
            record["reports"] = counter(record["reports"]) + 1;
        });
        return Reply::rescode("200", "报案成功");
    });
    server.registerDefault("claimresult", [&server](const RecordedRequest& request) {
        auto number = request.param("accidentno");
        if (!number || number->empty()) return Reply::rescode("300", "案件编号不能为空");
        int polls = 0;
        int before = kDefaultPollsBeforeResult;
        server.withState([&](SimulatedState& state) {
            auto& record = state.caseRecord(*number);
            polls = counter(record["resultPolls"]) + 1;
            record["resultPolls"] = polls;
            auto it = state.data.find("claimResultAfterPolls");
            if (it != state.data.end() && it->is_number_integer()) before = it->get<int>();
        });
        if (polls <= before) return Reply::rescode("201", "暂无理赔结果");
        return Reply::rescode("200", "成功", {{"result", kClaimResult}});
    });
    server.registerDefault("getreason", [](const RecordedRequest&) {
        nlohmann::json list = nlohmann::json::array();
        const char* names[] = {"定损时间较长", "理赔时间较长", "系统响应时间较长", "系统人性化考虑不够", "其他"};
        for (int i = 0; i < 5; ++i) list.push_back({{"reasoncode", std::to_string(i + 1)}, {"reasonname", names[i]}});
        return Reply::rescode("200", "成功", {{"list", list}});
    });
    server.registerDefault("evaluationInfo", [&server](const RecordedRequest& request) {
        auto number = request.param("accidentno");
        if (!number || number->empty()) return Reply::rescode("300", "案件编号不能为空");
        auto grade = request.param("personescord");
        if (!grade || grade->size() != 1 || (*grade)[0] < '0' || (*grade)[0] > '3')
            return Reply::rescode("300", "评价等级有误");
        auto reason = request.param("reasoncode");
        if ((*grade == "2" || *grade == "3") && (!reason || reason->empty()))
            return Reply::rescode("300", "请选择原因");
        server.withState([&](SimulatedState& state) {
            state.caseRecord(*number)["evaluation"] = {{"personescord", *grade},
                                                        {"reasoncode", reason.value_or("")},
                                                        {"personevaluate", request.param("personevaluate").value_or("")}};
        });
        return Reply::rescode("200", "评价成功");
    });
    server.registerDefault("taskstate", [&server](const RecordedRequest& request) {
        auto number = request.param("accidentno");
        if (!number || number->empty()) return Reply::rescode("300", "案件编号不能为空");
        auto type = request.param("type");
        auto accidenttype = request.param("accidenttype");
        server.withState([&](SimulatedState& state) {
            auto& record = state.caseRecord(*number);
            record["taskstate"] = type.value_or("");
            if (accidenttype) record["taskaccidenttype"] = *accidenttype;
        });
        // A police decision rejected ("1"): the number of the traffic police to call.
        if (accidenttype == "1") return Reply::rescode("200", "成功", {{"phoneno", kTrafficPolicePhone}});
        return Reply::rescode("200", "成功");
    });
}

}  // namespace standin
