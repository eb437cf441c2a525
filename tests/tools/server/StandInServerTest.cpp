#include <curl/curl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/graphics/Image.h"
#include "platform/media/AudioPlayer.h"
#include "tools/server/StandInServer.h"

using standin::RecordedRequest;
using standin::Reply;
using standin::StandInServer;

namespace {

struct Outcome {
    CURLcode code = CURLE_OK;
    long status = 0;
    std::string body;
    std::string contentType;
};

size_t collect(char* data, size_t size, size_t count, void* out) {
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

std::string escape(const std::string& text) {
    char* escaped = curl_easy_escape(nullptr, text.data(), static_cast<int>(text.size()));
    std::string out = escaped ? escaped : "";
    curl_free(escaped);
    return out;
}

// One transfer the way the application's client makes it: GET with a query, POST with a JSON body.
Outcome fetch(const std::string& url, const std::optional<std::string>& postBody = std::nullopt,
              long timeoutMs = 10000) {
    Outcome o;
    CURL* curl = curl_easy_init();
    curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/json");
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &o.body);
    if (postBody) {
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, postBody->c_str());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(postBody->size()));
    }
    o.code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &o.status);
    char* type = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type) o.contentType = type;
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return o;
}

nlohmann::json parsed(const Outcome& o) { return nlohmann::json::parse(o.body, nullptr, false); }

class StandInServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.start()); }
    std::string url(const std::string& pathWord) const { return server.baseURL() + pathWord; }
    StandInServer server;
};

}  // namespace

TEST_F(StandInServerTest, RecordsGetQueryAndPostBody) {
    EXPECT_GT(server.port(), 0);
    EXPECT_EQ(server.baseURL(),
              "http://127.0.0.1:" + std::to_string(server.port()) + "/Veskard_mobile/mobile/standard/");

    Outcome get = fetch(url("queryCase") + "?carNo=" + escape("京A12345") + "&name=" + escape("张 三") +
                        "&phone=13800138000");
    ASSERT_EQ(get.code, CURLE_OK);
    EXPECT_EQ(get.status, 200);
    EXPECT_EQ(parsed(get), (nlohmann::json{{"rescode", "200"}, {"resdes", "成功"}}));

    nlohmann::json body = {{"address", "北京市朝阳区"}, {"count", 3}, {"cars", {{{"carNo", "京B54321"}}}}};
    Outcome post = fetch(url("uploadAccident"), body.dump());
    ASSERT_EQ(post.code, CURLE_OK);

    ASSERT_EQ(server.requests().size(), 2u);
    auto g = server.lastRequest("queryCase");
    ASSERT_TRUE(g.has_value());
    EXPECT_EQ(g->method, "GET");
    EXPECT_EQ(g->query, (nlohmann::json{{"carNo", "京A12345"}, {"name", "张 三"}, {"phone", "13800138000"}}));
    EXPECT_TRUE(g->body.is_null());

    auto p = server.lastRequest("uploadAccident");
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->method, "POST");
    EXPECT_EQ(p->body, body);
    EXPECT_EQ(p->rawBody, body.dump());
    EXPECT_EQ(p->param("count"), "3");
    EXPECT_EQ(server.count("uploadAccident"), 1u);
    EXPECT_EQ(server.requests("nothing").size(), 0u);
    EXPECT_FALSE(server.lastRequest("nothing").has_value());

    // A body that is not JSON is kept raw.
    fetch(url("uploadAccident"), std::string("not json {"));
    auto broken = server.lastRequest("uploadAccident");
    EXPECT_TRUE(broken->body.is_null());
    EXPECT_EQ(broken->rawBody, "not json {");

    server.clearRequests();
    EXPECT_TRUE(server.requests().empty());
}

// A long run keeps the bulk of its latest requests only: an older photo upload keeps its
// parameters, its count and the short form of its photo, not the photo.
TEST_F(StandInServerTest, BeyondTheWholeBodyLimitOldRequestsKeepTheirParametersAndShortTexts) {
    const std::string photo = "%2F9j%2F" + std::string(20000, 'A');
    const std::string remark(StandInServer::kLongText, 'r');  // not long: kept as it is
    auto upload = [&](int n) {
        nlohmann::json body = {{"imagetype", std::to_string(n)}, {"contentdata", photo}, {"remark", remark}};
        ASSERT_EQ(fetch(url("image"), body.dump()).code, CURLE_OK);
    };
    server.setWholeBodyLimit(3 * photo.size());
    for (int n = 1; n <= 4; ++n) upload(n);

    auto kept = server.requests("image");
    ASSERT_EQ(kept.size(), 4u);
    for (size_t i = 0; i < kept.size(); ++i) {
        const bool whole = i >= 2;  // the latest two fit within the limit
        EXPECT_EQ(kept[i].param("imagetype"), std::to_string(i + 1));
        EXPECT_EQ(kept[i].param("remark"), remark);
        EXPECT_EQ(kept[i].param("contentdata"), whole ? photo : standin::shortText(photo)) << i;
        EXPECT_EQ(kept[i].rawBody.empty(), !whole) << i;
    }
}

TEST_F(StandInServerTest, ScriptedStatusBodyAndOneShotBeforePersistent) {
    server.script("login", Reply::rescode("200", "成功", {{"userid", "10001"}}));
    server.scriptOnce("login", Reply::json({{"rescode", "500"}}, 503));
    server.scriptOnce("login", Reply::raw("{\"rescode\":"));

    Outcome first = fetch(url("login"));
    EXPECT_EQ(first.status, 503);
    EXPECT_EQ(parsed(first), (nlohmann::json{{"rescode", "500"}}));

    Outcome second = fetch(url("login"));
    EXPECT_EQ(second.status, 200);
    EXPECT_EQ(second.body, "{\"rescode\":");
    EXPECT_TRUE(parsed(second).is_discarded());

    for (int i = 0; i < 2; ++i) {
        Outcome later = fetch(url("login"));
        EXPECT_EQ(parsed(later), (nlohmann::json{{"rescode", "200"}, {"resdes", "成功"}, {"userid", "10001"}}));
    }

    // A handler sees the request; clearing the scripts brings back the plain default.
    server.scriptHandler("echo", [](const RecordedRequest& r) {
        return Reply::json({{"rescode", "200"}, {"echo", r.query.value("q", "")}});
    });
    EXPECT_EQ(parsed(fetch(url("echo") + "?q=" + escape("事故"))).value("echo", ""), "事故");
    server.clearScripts();
    EXPECT_EQ(parsed(fetch(url("login"))), (nlohmann::json{{"rescode", "200"}, {"resdes", "成功"}}));
    EXPECT_EQ(parsed(fetch(url("echo"))), (nlohmann::json{{"rescode", "200"}, {"resdes", "成功"}}));
}

TEST_F(StandInServerTest, DefaultHandlerAnswersWhenNothingIsScripted) {
    server.registerDefault("newCase", [this](const RecordedRequest&) {
        return Reply::rescode("200", "成功", {{"accidentNo", server.nextAccidentNumber()}});
    });
    EXPECT_TRUE(server.hasDefault("newCase"));
    EXPECT_EQ(parsed(fetch(url("newCase"))).value("accidentNo", ""), "BJ202612070001");
    EXPECT_EQ(parsed(fetch(url("newCase"))).value("accidentNo", ""), "BJ202612070002");

    server.scriptOnce("newCase", Reply::rescode("300", "失败"));
    EXPECT_EQ(parsed(fetch(url("newCase"))).value("rescode", ""), "300");

    server.withState([](standin::SimulatedState& s) { s.data["cases"] = 2; });
    EXPECT_EQ(server.stateSnapshot().data["cases"], 2);
    EXPECT_EQ(server.stateSnapshot().userid, "10001");
    EXPECT_EQ(server.stateSnapshot().phone, "13800138000");

    server.clearDefaults();
    EXPECT_EQ(parsed(fetch(url("newCase"))), (nlohmann::json{{"rescode", "200"}, {"resdes", "成功"}}));
}

TEST_F(StandInServerTest, VoiceFilesAreServedUnderTheVoicePathAndRecorded) {
    EXPECT_EQ(server.voiceURL("police.mp3"),
              "http://127.0.0.1:" + std::to_string(server.port()) + "/Veskard_mobile/voice/police.mp3");

    // The police's voice message is there from the start: four seconds of MP3, the same each time.
    Outcome police = fetch(server.voiceURL(standin::kPoliceVoiceName));
    ASSERT_EQ(police.code, CURLE_OK);
    EXPECT_EQ(police.status, 200);
    EXPECT_EQ(police.contentType, "audio/mpeg");
    media::MP3Info info = media::AudioPlayer::decodeMP3(police.body);
    ASSERT_TRUE(info.decodable) << info.problem;
    EXPECT_NEAR(info.duration, 4.0, 0.1);
    EXPECT_EQ(info.sampleRate, 44100);
    EXPECT_EQ(fetch(server.voiceURL(standin::kPoliceVoiceName)).body, police.body);
    auto recorded = server.lastRequest("voice/police.mp3");
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->method, "GET");
    EXPECT_EQ(server.count("voice/police.mp3"), 2u);

    // A name nothing serves is missing, and an API path word is no voice file.
    Outcome missing = fetch(server.voiceURL("gone.mp3?token=1"));
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(server.lastRequest("voice/gone.mp3")->query, (nlohmann::json{{"token", "1"}}));
    EXPECT_EQ(fetch(server.voiceURL("submitmsg")).status, 404);
    EXPECT_EQ(server.count("submitmsg"), 0u);

    // Another file, served from then on; a script can break a fetch like any other reply.
    const std::string longer = standin::spokenVoiceMP3(9.5);
    server.serveVoice("long.mp3", longer);
    EXPECT_EQ(fetch(server.voiceURL("long.mp3")).body, longer);
    EXPECT_NEAR(media::AudioPlayer::decodeMP3(longer).duration, 9.5, 0.1);
    server.scriptOnce("voice/long.mp3", Reply::dropped());
    EXPECT_NE(fetch(server.voiceURL("long.mp3")).code, CURLE_OK);
    EXPECT_EQ(fetch(server.voiceURL("long.mp3")).body, longer);
}

// Two uploads of 60 KB at once on a link of 100 KB/s: together they need 1.2 s of the link,
// and both arrive whole. The slowing can only lengthen a transfer, so only the lower bound is
// checked.
TEST_F(StandInServerTest, ASlowedLinkIsSharedByEveryUpload) {
    server.setLink({100 * 1024, -1});
    EXPECT_DOUBLE_EQ(server.link().bytesPerSecond, 100 * 1024);
    const std::string a = nlohmann::json{{"imagename", "a.jpg"}, {"contentdata", std::string(60 * 1024, 'A')}}.dump();
    const std::string b = nlohmann::json{{"imagename", "b.jpg"}, {"contentdata", std::string(60 * 1024, 'B')}}.dump();
    auto started = std::chrono::steady_clock::now();
    Outcome first, second;
    std::thread other([&] { second = fetch(url("image"), b); });
    first = fetch(url("image"), a);
    other.join();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(first.status, 200);
    EXPECT_EQ(second.status, 200);
    EXPECT_GE(seconds, 1.0);
    ASSERT_EQ(server.count("image"), 2u);
    for (const auto& request : server.requests("image")) EXPECT_TRUE(request.rawBody == a || request.rawBody == b);
    EXPECT_EQ(server.cutUploads(), 0u);
}

TEST_F(StandInServerTest, ALinkCutAfterSomeBytesDropsLargerUploadsUnanswered) {
    server.setLink({0, 1000});
    Outcome cut = fetch(url("image"), std::string(5000, ' ') + "{}");
    EXPECT_NE(cut.code, CURLE_OK);
    EXPECT_TRUE(cut.body.empty());
    EXPECT_EQ(server.cutUploads(), 1u);
    EXPECT_EQ(server.count("image"), 0u);  // it never arrived whole

    Outcome small = fetch(url("image"), R"({"imagename":"small.jpg"})");
    EXPECT_EQ(small.status, 200);
    EXPECT_EQ(server.lastRequest("image")->param("imagename"), "small.jpg");

    server.setLink({});
    EXPECT_EQ(fetch(url("image"), std::string(5000, ' ') + "{}").status, 200);
    EXPECT_EQ(server.cutUploads(), 1u);
}

TEST_F(StandInServerTest, DroppedConnectionGetsNoReply) {
    server.scriptOnce("heart", Reply::dropped());
    Outcome dropped = fetch(url("heart"));
    EXPECT_EQ(dropped.code, CURLE_GOT_NOTHING);
    EXPECT_TRUE(dropped.body.empty());
    EXPECT_EQ(server.count("heart"), 1u);

    Outcome after = fetch(url("heart"));
    EXPECT_EQ(after.code, CURLE_OK);
    EXPECT_EQ(after.status, 200);
}

TEST_F(StandInServerTest, DelayedReplyIsRecordedAtOnceAndAnsweredLater) {
    server.script("slow", Reply::delayed(0.3, {{"rescode", "200"}, {"resdes", "慢"}}));

    // A client that gives up first sees a time-out, yet the request was recorded.
    Outcome impatient = fetch(url("slow"), std::nullopt, 50);
    EXPECT_EQ(impatient.code, CURLE_OPERATION_TIMEDOUT);
    EXPECT_TRUE(server.waitForRequests("slow", 1, 5));

    Outcome patient = fetch(url("slow"));
    ASSERT_EQ(patient.code, CURLE_OK);
    EXPECT_EQ(parsed(patient).value("resdes", ""), "慢");
}

TEST_F(StandInServerTest, WaitForRequestsFromAnotherThread) {
    EXPECT_FALSE(server.waitForRequests("later", 1, 0.05));
    std::thread client([this] {
        fetch(url("later"));
        fetch(url("later"));
    });
    EXPECT_TRUE(server.waitForRequests("later", 2, 10));
    client.join();
    EXPECT_EQ(server.count("later"), 2u);
}

TEST_F(StandInServerTest, SignatureIsCheckedWhenUserIdAndSnArePresent) {
    // An independently computed digest of "1039485726" "Vk7#pS2q-9fLm" "10001".
    EXPECT_EQ(standin::signatureFor("10001"), "c75a2c719341e708f05e14215571c4f3");

    server.script("myCases", Reply::rescode("200", "成功", {{"list", nlohmann::json::array()}}));
    Outcome good = fetch(url("myCases") + "?userid=10001&sn=" + standin::signatureFor("10001"));
    EXPECT_EQ(parsed(good).value("rescode", ""), "200");
    EXPECT_TRUE(parsed(good).contains("list"));

    Outcome bad = fetch(url("myCases") + "?userid=10002&sn=" + standin::signatureFor("10001"));
    EXPECT_EQ(parsed(bad), (nlohmann::json{{"rescode", "401"}, {"resdes", "签名错误"}}));

    nlohmann::json body = {{"userid", 10001}, {"sn", "0000"}};
    EXPECT_EQ(parsed(fetch(url("myCases"), body.dump())).value("rescode", ""), "401");
    body["sn"] = standin::signatureFor("10001");
    EXPECT_EQ(parsed(fetch(url("myCases"), body.dump())).value("rescode", ""), "200");

    // Without both values there is nothing to check.
    EXPECT_EQ(parsed(fetch(url("myCases") + "?userid=10002")).value("rescode", ""), "200");
    EXPECT_EQ(server.count("myCases"), 5u);
}

TEST(StandInServerLifecycle, StopsWhileAReplyIsDelayedAndRestarts) {
    StandInServer server(false);
    ASSERT_TRUE(server.start());
    server.script("slow", Reply::delayed(60, {{"rescode", "200"}}));
    std::atomic<CURLcode> code{CURLE_OK};
    std::thread client([&] { code = fetch(server.baseURL() + "slow").code; });
    ASSERT_TRUE(server.waitForRequests("slow", 1, 10));
    server.stop();
    client.join();
    EXPECT_NE(code.load(), CURLE_OK);
    EXPECT_FALSE(server.isRunning());

    ASSERT_TRUE(server.start());
    server.clearScripts();
    EXPECT_EQ(fetch(server.baseURL() + "again").status, 200);
}

TEST(StandInServerLifecycle, UnknownPathsAreNotFound) {
    StandInServer server;
    ASSERT_TRUE(server.start());
    Outcome o = fetch("http://127.0.0.1:" + std::to_string(server.port()) + "/elsewhere/login");
    EXPECT_EQ(o.status, 404);
    EXPECT_TRUE(server.requests().empty());
}

namespace {

TEST_F(StandInServerTest, TheHistoryListsTheCasesOfThisRunNewestFirstInTheStateEachReachedBeforeItsExamples) {
    auto open = [this](const char* type) {
        return parsed(fetch(url(std::string("accidentinfor?accidenttype=") + type))).value("accidentno", "");
    };
    std::string twoCars = open("1"), singleCar = open("0");
    fetch(url("claimcaseinfo?accidentno=" + twoCars));
    auto list = parsed(fetch(url("historycase")))["list"];
    ASSERT_GE(list.size(), 3u);
    EXPECT_EQ(list[0].value("accidentno", ""), singleCar);
    EXPECT_EQ(list[0].value("state", ""), "2");  // a single-car case awaits its report
    EXPECT_EQ(list[1].value("accidentno", ""), twoCars);
    EXPECT_EQ(list[1].value("state", ""), "3");  // reported: awaiting the claim
    EXPECT_EQ(list[2].value("casenumber", ""), "HC0001");

    auto detail = parsed(fetch(url("historycasedetail?casenumber=" + twoCars)));
    EXPECT_EQ(detail.value("rescode", ""), "200");
    EXPECT_EQ(detail.value("state", ""), "3");
}

TEST_F(StandInServerTest, TheCasePhotosAreWholeJpegsOfTheirSizeAndAnUnknownNameIsNotFound) {
    struct Expected {
        const char* name;
        int width, height;
    };
    for (const auto& e : {Expected{"front", 480, 360}, Expected{"damage", 480, 360}, Expected{"licence", 480, 360},
                          Expected{"agreement", 480, 640}}) {
        SCOPED_TRACE(e.name);
        auto reply = fetch(url(std::string("casephoto?name=") + e.name));
        EXPECT_EQ(reply.status, 200);
        EXPECT_EQ(reply.contentType, "image/jpeg");
        auto image = graphics::Image::fromData(reply.body);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->pixelWidth(), e.width);
        EXPECT_EQ(image->pixelHeight(), e.height);
        image->surface();
        EXPECT_FALSE(image->isBroken());
    }
    EXPECT_EQ(fetch(url("casephoto?name=other")).status, 404);
    EXPECT_EQ(fetch(url("casephoto")).status, 404);
}

}  // namespace
