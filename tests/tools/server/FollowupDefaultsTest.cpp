#include <gtest/gtest.h>

#include "tools/server/StandInServer.h"

namespace {

using standin::RecordedRequest;
using standin::StandInServer;

RecordedRequest request(const std::string& method, const std::string& word, nlohmann::json params) {
    RecordedRequest r;
    r.method = method;
    r.pathWord = word;
    if (method == "GET") r.query = std::move(params);
    else r.body = std::move(params);
    return r;
}

std::string rescode(const standin::Reply& reply) { return reply.body.value("rescode", ""); }

TEST(FollowupDefaults, InsurerListForAProvinceNameACityCodeOrNoArea) {
    StandInServer server;
    nlohmann::json first;
    for (const nlohmann::json& params : {nlohmann::json{{"areaid", "北京市"}}, nlohmann::json{{"areaid", "0"}},
                                         nlohmann::json{{"areaid", "3"}}, nlohmann::json::object()}) {
        auto reply = server.answer(request("GET", "insurerlist", params));
        EXPECT_EQ(rescode(reply), "200") << params.dump();
        ASSERT_TRUE(reply.body["list"].is_array() && !reply.body["list"].empty()) << params.dump();
        for (const auto& insurer : reply.body["list"]) EXPECT_TRUE(insurer["inscomcode"].is_string());
        if (first.is_null()) first = reply.body["list"];
        EXPECT_EQ(reply.body["list"], first) << params.dump();
    }
}

TEST(FollowupDefaults, ReportResultAfterAFewPollsReasonsRatingAndTaskState) {
    StandInServer server;
    auto report = server.answer(request("POST", "claimcaseinfo",
                                        {{"accidentno", "BJ1"}, {"reportype", "1"}, {"companycode", "PICC"}}));
    EXPECT_EQ(rescode(report), "200");
    EXPECT_EQ(rescode(server.answer(request("POST", "claimcaseinfo", {{"accidentno", "BJ1"}, {"reportype", "2"}}))), "300");
    EXPECT_EQ(rescode(server.answer(request("POST", "claimcaseinfo", {{"reportype", "0"}}))), "300");
    auto state = server.stateSnapshot();
    EXPECT_EQ(state.data["cases"]["BJ1"]["report"]["reportype"], "1");
    EXPECT_EQ(state.data["cases"]["BJ1"]["reports"], 1);
    // A report without its kind, as the insurer confirmation files it, is one in the application.
    EXPECT_EQ(rescode(server.answer(request("POST", "claimcaseinfo", {{"accidentno", "BJ4"}, {"companycode", "PAIC"}}))),
              "200");
    EXPECT_EQ(server.stateSnapshot().data["cases"]["BJ4"]["report"]["reportype"], "0");

    // Two polls without a result, then the result; each case counts its own polls.
    for (int poll = 0; poll < 2; ++poll) {
        auto reply = server.answer(request("GET", "claimresult", {{"accidentno", "BJ1"}}));
        EXPECT_EQ(rescode(reply), "201");
        EXPECT_FALSE(reply.body.contains("result"));
    }
    auto result = server.answer(request("GET", "claimresult", {{"accidentno", "BJ1"}}));
    EXPECT_EQ(rescode(result), "200");
    EXPECT_TRUE(result.body["result"].is_string());
    EXPECT_EQ(rescode(server.answer(request("GET", "claimresult", {{"accidentno", "BJ2"}}))), "201");
    server.withState([](standin::SimulatedState& s) { s.data["claimResultAfterPolls"] = 0; });
    EXPECT_EQ(rescode(server.answer(request("GET", "claimresult", {{"accidentno", "BJ3"}}))), "200");

    auto reasons = server.answer(request("GET", "getreason", nlohmann::json::object()));
    ASSERT_EQ(reasons.body["list"].size(), 5u);
    EXPECT_EQ(reasons.body["list"][4], (nlohmann::json{{"reasoncode", "5"}, {"reasonname", "其他"}}));

    EXPECT_EQ(rescode(server.answer(request("POST", "evaluationInfo", {{"accidentno", "BJ1"}, {"personescord", "0"}}))),
              "200");
    EXPECT_EQ(rescode(server.answer(request("POST", "evaluationInfo", {{"accidentno", "BJ1"}, {"personescord", "2"}}))),
              "300");
    EXPECT_EQ(rescode(server.answer(request("POST", "evaluationInfo", {{"accidentno", "BJ1"}, {"personescord", "7"}}))),
              "300");
    EXPECT_EQ(rescode(server.answer(request("POST", "evaluationInfo",
                                            {{"accidentno", "BJ1"}, {"personescord", "3"}, {"reasoncode", "5"}}))),
              "200");
    EXPECT_EQ(server.stateSnapshot().data["cases"]["BJ1"]["evaluation"]["reasoncode"], "5");

    EXPECT_EQ(rescode(server.answer(request("POST", "taskstate", {{"accidentno", "BJ1"}, {"type", "1"}}))), "200");
    EXPECT_EQ(server.stateSnapshot().data["cases"]["BJ1"]["taskstate"], "1");
    EXPECT_EQ(rescode(server.answer(request("POST", "taskstate", {{"type", "1"}}))), "300");
}

}  // namespace
