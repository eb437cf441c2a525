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

}  // namespace
