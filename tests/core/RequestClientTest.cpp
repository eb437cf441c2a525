#include <gtest/gtest.h>

#include "core/AppConfig.h"
#include "core/InsuranceCompany.h"
#include "core/RequestClient.h"
#include "platform/foundation/Log.h"
#include "support/HeldReply.h"
#include "support/HostileServer.h"
#include "support/PlatformTest.h"
#include "tools/server/StandInServer.h"

using nlohmann::json;
using standin::Reply;

namespace {

struct Outcome {
    bool done = false;
    bool onMainThread = false;
    json reply;
    std::optional<RequestError> error;
};

}  // namespace

class RequestClientTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ASSERT_TRUE(server.start());
        client = std::make_shared<RequestClient>(server.baseURL(), 5.0);
    }
    void TearDown() override {
        client->cancelAll();
        server.stop();
        PlatformTest::TearDown();
    }

    Outcome get(const std::string& word, const json& params) { return wait([&](auto done) { client->GET(word, params, done); }); }
    Outcome post(const std::string& word, const json& params) { return wait([&](auto done) { client->POST(word, params, done); }); }

    Outcome wait(const std::function<void(RequestClient::Completion)>& send) {
        auto outcome = std::make_shared<Outcome>();
        send([outcome](const json& reply, const std::optional<RequestError>& error) {
            outcome->done = true;
            outcome->onMainThread = foundation::isMainThread();
            outcome->reply = reply;
            outcome->error = error;
        });
        EXPECT_TRUE(runUntil([&] { return outcome->done; }, 20));
        return *outcome;
    }

    standin::StandInServer server{false};
    std::shared_ptr<RequestClient> client;
};

TEST_F(RequestClientTest, GetSendsAnEscapedQueryAndPostAJsonBody) {
    server.script("historycase", Reply::json({{"rescode", "200"}, {"list", json::array()}}));
    auto got = get("historycase", {{"city", "北京市"}, {"text", "a b&c=d/+%"}, {"count", 5}, {"none", nullptr}});
    EXPECT_FALSE(got.error);
    EXPECT_TRUE(got.onMainThread);
    EXPECT_EQ(got.reply["rescode"], "200");
    auto seen = server.lastRequest("historycase");
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->method, "GET");
    EXPECT_EQ(seen->query, (json{{"city", "北京市"}, {"text", "a b&c=d/+%"}, {"count", "5"}}));

    json body = {{"userid", "10001"}, {"content", "%2B%2F%3D"}, {"list", json::array({{{"localflag", "1"}}})}};
    auto posted = post("policecaseinfo", body);
    EXPECT_FALSE(posted.error);
    auto sent = server.lastRequest("policecaseinfo");
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->method, "POST");
    EXPECT_EQ(sent->body, body);
}

TEST_F(RequestClientTest, LargeWholeNumbersKeepTheirDigitsInRepliesAndParameters) {
    server.script("insurerlist", Reply::raw(R"({"rescode":"200","list":[{"inscomcode":12345678901234567890,)"
                                            R"("insphone":123456789012345678901234567890,"insreporttel":-5}]})"));
    auto got = get("insurerlist", {{"areaid", 12345678901234567890ull}, {"page", -3}});
    ASSERT_FALSE(got.error);
    auto companies = InsuranceCompany::objectArrayWithKeyValuesArray(got.reply["list"]);
    ASSERT_TRUE(companies && companies->size() == 1);
    EXPECT_EQ((*companies)[0]->inscomcode, "12345678901234567890");
    EXPECT_EQ((*companies)[0]->insphone, "123456789012345678901234567890");
    EXPECT_EQ((*companies)[0]->insreporttel, "-5");
    EXPECT_EQ(server.lastRequest("insurerlist")->query, (json{{"areaid", "12345678901234567890"}, {"page", "-3"}}));

    // Sent back in a body, the record carries the same digits.
    post("policecaseinfo", (*companies)[0]->keyValues());
    EXPECT_EQ(server.lastRequest("policecaseinfo")->body["inscomcode"], "12345678901234567890");
    post("policecaseinfo", {{"n", 12345678901234567890ull}});
    EXPECT_EQ(server.lastRequest("policecaseinfo")->body["n"].get<unsigned long long>(), 12345678901234567890ull);
}

TEST_F(RequestClientTest, TransportFailuresSayWhich) {
    struct Case {
        const char* word;
        Reply reply;
        RequestError::Kind kind;
    };
    const std::vector<Case> cases = {
        {"status", Reply::json({{"rescode", "200"}}, 500), RequestError::Kind::HTTPStatus},
        {"missing", Reply::raw("not found", 404), RequestError::Kind::HTTPStatus},
        {"malformed", Reply::raw("{rescode: 200"), RequestError::Kind::NotJSON},
        {"truncated", Reply::raw("{\"rescode\":\"200\",\"resdes\":\"成"), RequestError::Kind::NotJSON},
        {"array", Reply::raw("[{\"rescode\":\"200\"}]"), RequestError::Kind::NotJSON},
        {"empty", Reply::raw(""), RequestError::Kind::NotJSON},
        {"binary", Reply::raw(std::string("\xff\xd8\xff\x00", 4)), RequestError::Kind::NotJSON},
        {"dropped", Reply::dropped(), RequestError::Kind::ConnectionFailed},
        // Nests so deeply that copying the parsed value would overflow the stack.
        {"nested", Reply::raw("{\"rescode\":\"200\",\"list\":" + std::string(1000000, '[') +
                                  std::string(1000000, ']') + "}"),
         RequestError::Kind::NotJSON},
        // Larger than any reply: refused before it is all held in memory.
        {"oversized", Reply::raw("{\"rescode\":\"200\",\"resdes\":\"" + std::string(17 * 1024 * 1024, 'x') + "\"}"),
         RequestError::Kind::NotJSON},
    };
    for (const auto& c : cases) {
        server.script(c.word, c.reply);
        auto outcome = post(c.word, json::object());
        ASSERT_TRUE(outcome.error) << c.word;
        EXPECT_EQ(outcome.error->kind, c.kind) << c.word << ": " << outcome.error->description;
        EXPECT_TRUE(outcome.reply.is_null()) << c.word;
        EXPECT_TRUE(outcome.onMainThread) << c.word;
    }
    auto status = post("status", json::object());
    EXPECT_EQ(status.error->status, 500);
}

TEST_F(RequestClientTest, TimeOutAndRefusedConnection) {
    auto quick = std::make_shared<RequestClient>(server.baseURL(), 0.3);
    HeldReply never;
    server.script("claimresult", never(Reply::json({{"rescode", "200"}})));
    auto outcome = wait([&](auto done) { quick->GET("claimresult", json::object(), done); });
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->kind, RequestError::Kind::TimedOut);

    standin::StandInServer closed(false);
    ASSERT_TRUE(closed.start());
    std::string url = closed.baseURL();
    auto refused = std::make_shared<RequestClient>(url, 5.0);
    // One answered request first: the server is surely listening when it is stopped.
    EXPECT_FALSE(wait([&](auto done) { refused->GET("getreason", json::object(), done); }).error);
    closed.stop();
    auto failed = wait([&](auto done) { refused->POST("image", json::object(), done); });
    ASSERT_TRUE(failed.error);
    EXPECT_EQ(failed.error->kind, RequestError::Kind::ConnectionFailed);
}

TEST_F(RequestClientTest, CancelledTransfersDeliverNothing) {
    HeldReply never;
    server.script("processpapertimer", never(Reply::json({{"rescode", "200"}})));
    bool called = false;
    client->GET("processpapertimer", json::object(), [&](const json&, const std::optional<RequestError>&) { called = true; });
    ASSERT_TRUE(server.waitForRequests("processpapertimer", 1));
    client->cancelAll();
    EXPECT_EQ(client->activeTransfers(), 0u);
    drain();
    EXPECT_FALSE(called);
}

TEST(RequestClientConfig, BaseUrlFromConfigurationAndQueryText) {
    RequestClient client;
    EXPECT_EQ(client.baseURL(), "http://api.veskard.cn:8091/Veskard_mobile/mobile/standard/");
    AppConfig::setHost("127.0.0.1");
    AppConfig::setPort(18091);
    EXPECT_EQ(client.baseURL(), "http://127.0.0.1:18091/Veskard_mobile/mobile/standard/");
    EXPECT_EQ(client.timeout(), 30);
    AppConfig::reset();
    EXPECT_EQ(RequestClient::queryString({{"b", "北"}, {"a", 1.5}, {"c", true}}), "a=1.5&b=%E5%8C%97&c=true");
    EXPECT_EQ(RequestClient::queryString(json::array()), "");
}

TEST_F(RequestClientTest, TheLogNamesThePathWordAndTheParameterNamesButNoValue) {
    std::vector<std::string> lines;
    std::mutex mutex;
    foundation::setLogSink([&](const std::string& line) {
        std::lock_guard lock(mutex);
        lines.push_back(line);
    });
    const json personal = {{"userid", "U20001X"},        {"sn", "5f2b9c0e7d41a3b8c6e9f0a1b2c3d4e5"},
                           {"telephone", "13911112222"}, {"phone", "13833334444"},
                           {"drivername", "王建国"},     {"carno", "京N8K276"}};
    server.script("historycase", Reply::json({{"rescode", "200"}}));
    EXPECT_FALSE(get("historycase", personal).error);
    EXPECT_FALSE(post("accidentcarinfo", personal).error);
    // A server that is not there: the failure is logged too.
    client = std::make_shared<RequestClient>("http://127.0.0.1:1/Veskard_mobile/mobile/standard/", 5.0);
    EXPECT_TRUE(get("claimresult", personal).error);
    foundation::setLogSink(nullptr);

    std::string all;
    for (const auto& line : lines) all += line + "\n";
    for (const auto& [name, value] : personal.items()) {
        EXPECT_EQ(all.find(value.get<std::string>()), std::string::npos) << name << " in:\n" << all;
        EXPECT_NE(all.find(name), std::string::npos) << all;
    }
    for (const char* word : {"GET historycase", "POST accidentcarinfo", "GET claimresult"})
        EXPECT_NE(all.find(word), std::string::npos) << all;
    EXPECT_NE(all.find("claimresult (carno, drivername, phone, sn, telephone, userid) failed"), std::string::npos)
        << all;
}

// The API client over https, against a server with a certificate the test trusts or another.
enum class Trust { TrustedCertificate, OtherCertificate, SystemAuthoritiesOnly };

class RequestClientTLSTest : public PlatformTest, public ::testing::WithParamInterface<Trust> {
protected:
    void TearDown() override {
        AppConfig::reset();
        PlatformTest::TearDown();
    }
};

TEST_P(RequestClientTLSTest, TheServerIsReachedOverHttpsOnlyWithAValidCertificate) {
    const auto trusted = hostile::Certificate::make(sandboxRoot / "certificates", "trusted");
    const auto other = hostile::Certificate::make(sandboxRoot / "certificates", "other");
    hostile::Server server(GetParam() == Trust::OtherCertificate ? other : trusted);
    const std::string path = std::string(AppConfig::kBasePath) + "historycase";
    server.serve(path, R"({"rescode":"200","resdes":"成功"})", "application/json");
    std::string error;
    auto address = ServerAddress::parse("https://127.0.0.1:" + std::to_string(server.port()), error);
    ASSERT_TRUE(address) << error;
    AppConfig::setServerAddress(*address);
    if (GetParam() != Trust::SystemAuthoritiesOnly)
        AppConfig::setCertificateAuthorities(trusted.certificateFile.string());

    RequestClient client;
    EXPECT_EQ(client.baseURL(), server.url(path.substr(0, path.size() - std::string("historycase").size())));
    Outcome outcome;
    client.GET("historycase", {{"userid", "20001"}}, [&](const json& reply, const std::optional<RequestError>& e) {
        outcome.done = true;
        outcome.reply = reply;
        outcome.error = e;
    });
    ASSERT_TRUE(runUntil([&] { return outcome.done; }, 20));
    if (GetParam() == Trust::TrustedCertificate) {
        ASSERT_FALSE(outcome.error) << outcome.error->description;
        EXPECT_EQ(outcome.reply["rescode"], "200");
        EXPECT_EQ(server.hits(path), 1);
    } else {
        ASSERT_TRUE(outcome.error);
        EXPECT_EQ(outcome.error->kind, RequestError::Kind::ConnectionFailed);
        EXPECT_EQ(server.hits(path), 0) << "nothing was sent to a server that could not prove who it is";
    }
}

INSTANTIATE_TEST_SUITE_P(Certificates, RequestClientTLSTest,
                         ::testing::Values(Trust::TrustedCertificate, Trust::OtherCertificate,
                                           Trust::SystemAuthoritiesOnly));

// What a server address may be written as.
class ServerAddressTest : public ::testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(ServerAddressTest, ParsesTheSchemeHostAndPortOrSaysWhatIsWrong) {
    const auto& [text, origin] = GetParam();
    std::string error;
    auto address = ServerAddress::parse(text, error);
    if (origin.empty()) {
        EXPECT_FALSE(address) << address->origin();
        EXPECT_NE(error.find(text), std::string::npos) << error;
    } else {
        ASSERT_TRUE(address) << error;
        EXPECT_EQ(address->origin(), origin);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, ServerAddressTest,
                         ::testing::Values(std::pair{"api.veskard.cn", "http://api.veskard.cn:8091"},
                                           std::pair{"127.0.0.1:18091", "http://127.0.0.1:18091"},
                                           std::pair{"HTTPS://Api.Veskard.cn/", "https://api.veskard.cn:8091"},
                                           std::pair{"https://api.veskard.cn:8443", "https://api.veskard.cn:8443"},
                                           std::pair{"http://[::1]:8091", "http://[::1]:8091"},
                                           std::pair{"ftp://api.veskard.cn", ""}, std::pair{"file:///etc/passwd", ""},
                                           std::pair{"https://", ""}, std::pair{":80", ""}, std::pair{"host:99999", ""},
                                           std::pair{"host:8o91", ""}, std::pair{"https://https://host", ""},
                                           std::pair{"http://host/Veskard_mobile", ""},
                                           std::pair{"http://user:pw@host", ""}, std::pair{"host?x=1", ""},
                                           std::pair{"ho st", ""}, std::pair{"::1", ""}));
