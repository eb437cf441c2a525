#include <gtest/gtest.h>

#include "tools/server/StandInServer.h"

namespace {

using standin::RecordedRequest;
using standin::StandInServer;

RecordedRequest post(const std::string& word, nlohmann::json body) {
    RecordedRequest r;
    r.method = "POST";
    r.pathWord = word;
    r.body = std::move(body);
    return r;
}

std::string rescode(const standin::Reply& reply) { return reply.body.value("rescode", ""); }

nlohmann::json entry(const std::string& code, const std::string& content) {
    return {{"carno", "%E4%BA%ACA12345"}, {"dutytpe", code}, {"content", content}, {"date", "2026-12-7 10:0:0"}};
}

TEST(LiabilityDefaults, PoliceCaseAndAgreedLiabilityAreKeptPerCase) {
    StandInServer server;
    EXPECT_EQ(rescode(server.answer(post("policecaseinfo", {{"accidentno", "BJ1"}, {"reportcall", "13800138000"}}))), "200");
    EXPECT_EQ(rescode(server.answer(post("policecaseinfo", {{"reportcall", "13800138000"}}))), "300");

    auto list = nlohmann::json::array({entry("0", "AAA%2B"), entry("1", "BBB")});
    EXPECT_EQ(rescode(server.answer(post("dutyinfo", {{"accidentno", "BJ1"}, {"dutylist", list}}))), "200");
    auto state = server.stateSnapshot();
    EXPECT_EQ(state.data["cases"]["BJ1"]["police"]["reportcall"], "13800138000");
    EXPECT_EQ(state.data["cases"]["BJ1"]["dutylist"][0]["content"], "AAA%2B");
    EXPECT_EQ(state.data["cases"]["BJ1"]["dutylist"][1]["dutytpe"], "1");

    // Refused: no case, not two entries, a code out of range, a missing signature, no list at all.
    for (auto body : {nlohmann::json{{"dutylist", list}},
                      nlohmann::json{{"accidentno", "BJ2"}, {"dutylist", nlohmann::json::array({entry("0", "A")})}},
                      nlohmann::json{{"accidentno", "BJ2"}, {"dutylist", {entry("3", "A"), entry("1", "B")}}},
                      nlohmann::json{{"accidentno", "BJ2"}, {"dutylist", {entry("0", ""), entry("1", "B")}}},
                      nlohmann::json{{"accidentno", "BJ2"}, {"dutylist", "broken"}}}) {
        EXPECT_EQ(rescode(server.answer(post("dutyinfo", body))), "300") << body.dump();
    }
    EXPECT_FALSE(server.stateSnapshot().data["cases"].contains("BJ2"));
}

RecordedRequest get(const std::string& word, nlohmann::json query) {
    RecordedRequest r;
    r.method = "GET";
    r.pathWord = word;
    r.query = std::move(query);
    return r;
}

TEST(LiabilityDefaults, ThePoliceDecideAfterAFewPollsForTheCasesParties) {
    StandInServer server;
    auto parties = nlohmann::json::array(
        {{{"casecarno", "%E4%BA%ACA12345"}, {"caseperson", "%E5%BC%A0%E4%B8%89"}, {"casephone", "13800138000"},
          {"localflag", "1"}, {"companycode", "PICC"}},
         {{"casecarno", "%E5%86%80B6H111"}, {"caseperson", "Li"}, {"casephone", "13900139000"}, {"localflag", "0"}}});
    server.answer(post("accidentcarinfo", {{"accidentno", "BJ1"}, {"casecarlist", parties}}));
    for (int poll = 0; poll < 2; ++poll) EXPECT_EQ(rescode(server.answer(get("processpapertimer", {{"accidentno", "BJ1"}}))), "201");
    auto decided = server.answer(get("processpapertimer", {{"accidentno", "BJ1"}}));
    ASSERT_EQ(rescode(decided), "200");
    auto list = decided.body["dutylist"];
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["carno"], "京A12345");
    EXPECT_EQ(list[0]["carname"], "张三");
    EXPECT_EQ(list[0]["dutytype"], "0");
    EXPECT_EQ(list[1]["carno"], "冀B6H111");
    EXPECT_EQ(list[1]["carphone"], "13900139000");
    EXPECT_EQ(list[1]["dutytype"], "1");
    // A case without parties on record gets two sample parties; no case number is refused.
    server.withState([](standin::SimulatedState& s) { s.data["policeDecisionAfterPolls"] = 0; });
    EXPECT_EQ(server.answer(get("processpapertimer", {{"accidentno", "BJ2"}})).body["dutylist"].size(), 2u);
    EXPECT_EQ(rescode(server.answer(get("processpapertimer", nlohmann::json::object()))), "300");
}

TEST(LiabilityDefaults, TheCodeSentIsTheCodeExpectedAndARejectionGetsTheNumberToCall) {
    StandInServer server;
    EXPECT_EQ(rescode(server.answer(post("verification", {{"phone", "1390013900"}}))), "300");
    EXPECT_EQ(rescode(server.answer(post("verification", {{"phone", "13900139000"}}))), "200");
    EXPECT_EQ(server.stateSnapshot().data["verification"]["13900139000"], "123456");
    auto sign = [&](const std::string& code) {
        auto own = nlohmann::json{{"content", "A"}, {"localflag", "1"}, {"phoneno", "13800138000"}};
        auto other = nlohmann::json{{"content", "B"}, {"localflag", "0"}, {"phoneno", "13900139000"}, {"valicode", code}};
        return rescode(server.answer(post("signprocesspaper", {{"accidentno", "BJ1"}, {"signlist", {own, other}}})));
    };
    EXPECT_EQ(sign("654321"), "300");
    EXPECT_EQ(sign("123456"), "200");
    EXPECT_EQ(server.stateSnapshot().data["cases"]["BJ1"]["signlist"].size(), 2u);

    auto rejected = server.answer(post("taskstate", {{"accidentno", "BJ1"}, {"accidenttype", "1"}, {"type", "0"}}));
    EXPECT_EQ(rescode(rejected), "200");
    EXPECT_EQ(rejected.body.value("phoneno", ""), "010-122");
    auto givenUp = server.answer(post("taskstate", {{"accidentno", "BJ1"}, {"accidenttype", "0"}, {"type", "0"}}));
    EXPECT_FALSE(givenUp.body.contains("phoneno"));
    EXPECT_EQ(server.stateSnapshot().data["cases"]["BJ1"]["taskaccidenttype"], "0");
}

}  // namespace
