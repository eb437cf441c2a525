#include <gtest/gtest.h>

#include "EntryTestSupport.h"
#include "core/RequestManager.h"

namespace {

// The stand-in server's answers for case opening, vehicles and photos, as the client sees them.
class CaptureDefaultsTest : public EntryTest {
protected:
    nlohmann::json call(const std::string& method, const std::string& pathWord, const nlohmann::json& params) {
        nlohmann::json reply;
        bool done = false;
        auto client = RequestManager::shareRequestManager().client();
        auto completion = [&](const nlohmann::json& r, const std::optional<RequestError>& error) {
            EXPECT_FALSE(error) << pathWord;
            reply = r;
            done = true;
        };
        if (method == "GET") client->GET(pathWord, params, completion);
        else client->POST(pathWord, params, completion);
        EXPECT_TRUE(runUntil([&] { return done; }));
        return reply;
    }
    nlohmann::json signedParams() const { return UserDateSingleton::shareUserDateInstance().signedParams(); }
};

TEST_F(CaptureDefaultsTest, EachCaseGetsAFreshNumberAndAKnownType) {
    auto params = signedParams();
    params["accidenttype"] = "0";
    auto first = call("POST", "accidentinfor", params);
    params["accidenttype"] = "1";
    auto second = call("POST", "accidentinfor", params);
    EXPECT_EQ(first["rescode"], "200");
    EXPECT_EQ(second["rescode"], "200");
    ASSERT_TRUE(first["accidentno"].is_string());
    EXPECT_NE(first["accidentno"], second["accidentno"]);

    params["accidenttype"] = "2";
    EXPECT_EQ(call("POST", "accidentinfor", params)["rescode"], "300");

    // Photos are taken and counted for their case.
    auto photo = signedParams();
    photo["accidentno"] = first["accidentno"];
    photo["imagetype"] = "1";
    EXPECT_EQ(call("POST", "image", photo)["rescode"], "200");
    auto cases = server.stateSnapshot().data["cases"];
    EXPECT_EQ(cases[first["accidentno"].get<std::string>()]["photos"], 1);
    EXPECT_EQ(cases[second["accidentno"].get<std::string>()]["accidenttype"], "1");
}

TEST_F(CaptureDefaultsTest, TheAccountsVehiclesComeWithTheirPolicies) {
    auto reply = call("GET", "getusercarlist", signedParams());
    EXPECT_EQ(reply["rescode"], "200");
    ASSERT_TRUE(reply["list"].is_array());
    ASSERT_EQ(reply["list"].size(), 2u);
    for (const auto& vehicle : reply["list"]) {
        for (const char* key : {"carno", "ownername", "engineno", "insureperson", "jqxcode", "jqxname", "jqpaperno",
                                "jqxstart", "jqxend", "syxcode", "syxname", "sypaperno", "syxstart", "syxend"}) {
            EXPECT_TRUE(vehicle[key].is_string()) << key;
        }
        EXPECT_EQ(vehicle["carno"].get<std::string>().size(), std::string("京A").size() + 5);
        EXPECT_TRUE(vehicle["drivinglicense"]["url"].is_string());
    }

    // A test or a walk may give the account its own list.
    server.withState([](standin::SimulatedState& state) {
        state.data["vehicles"][standin::kDemoUserId] = nlohmann::json::array();
    });
    EXPECT_EQ(call("GET", "getusercarlist", signedParams())["list"], nlohmann::json::array());
}

}  // namespace
