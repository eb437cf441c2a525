#include <gtest/gtest.h>

#include "core/AppConfig.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "support/PlatformTest.h"
#include "tools/server/StandInServer.h"

using nlohmann::json;
using standin::Reply;

namespace {

const std::string kRejected = "案件状态不允许该操作";
const std::string kNetwork = AppConfig::kNetworkFailureText;

const json kOkReply = {{"rescode", "200"},
                       {"resdes", "成功"},
                       {"accidentno", "BJ202612070001"},
                       {"list", json::array({{{"inscomname", "人保"}, {"inscomcode", "PICC"}}})}};
const json kList = kOkReply["list"];
const json kRejectedReply = {{"rescode", "500"}, {"resdes", kRejected}};

// What one call did: the block's arguments, and the HUD when the block ran and after the reply.
struct Observed {
    int calls = 0;
    json result;
    bool error = false;
    bool spinnerAtBlock = false;
    std::string toastAtBlock;
};

std::string toastText() {
    auto hud = ProgressHUD::current();
    return hud && hud->isToast() ? hud->text() : "";
}
bool spinnerShown() { return ProgressHUD::currentSpinner() != nullptr; }

using Record = std::function<void(const json& result, bool error)>;

// The expectation for one outcome of one operation.
struct Expect {
    bool called = false;
    json result;            // the block's result, summarised as JSON
    bool error = false;     // the block got an error
    bool spinnerAtBlock = false;
    bool spinnerAfter = false;
    std::string toast;      // the toast shown afterwards ("" for none)
};
Expect call(json result, bool spinnerAtBlock, bool spinnerAfter, std::string toast = "") {
    return {true, std::move(result), false, spinnerAtBlock, spinnerAfter, std::move(toast)};
}
Expect callWithError(bool spinnerAtBlock, bool spinnerAfter, std::string toast = "") {
    return {true, nullptr, true, spinnerAtBlock, spinnerAfter, std::move(toast)};
}
Expect noCall(bool spinnerAfter, std::string toast = "") { return {false, nullptr, false, false, spinnerAfter, std::move(toast)}; }

struct Operation {
    std::string name;
    std::string method;
    std::string word;
    std::function<void(const json& params, Record record)> send;
    Expect ok, rejected, transport;
};

RequestManager& api() { return RequestManager::shareRequestManager(); }

// Blocks of each result type, summarised as JSON.
RequestManager::JsonBlock jsonBlock(Record r) {
    return [r](const json& result, const RequestManager::Error& e) { r(result, e.has_value()); };
}
RequestManager::BackCodeBlock backCodeBlock(Record r) {
    return [r](const std::shared_ptr<BackCodeModel>& m, const RequestManager::Error& e) {
        r(m ? m->keyValues() : json(), e.has_value());
    };
}
template <class M>
json summary(const std::optional<std::vector<std::shared_ptr<M>>>& list) {
    if (!list) return nullptr;
    json out = json::array();
    for (const auto& m : *list) out.push_back(m->keyValues());
    return out;
}

const json kBackCode = {{"rescode", "200"}, {"resdes", "成功"}};
const json kDetailStory = {{"accidentno", "BJ202612070001"}, {"accidentimageList", json::array()}, {"casecarlist", json::array()}};

std::vector<Operation> operations() {
    const bool S = true, H = false;  // spinner shown, hidden
    return {
        {"accidentInfor", "POST", "accidentinfor",
         [](const json& p, Record r) {
             api().request_accidentInfor_WithParams(p, [r](const std::optional<std::string>& no, const RequestManager::Error& e) {
                 r(no ? json(*no) : json(), e.has_value());
             });
         },
         call("BJ202612070001", S, S), noCall(H, kRejected), noCall(H, kNetwork)},
        {"carList", "GET", "getusercarlist", [](const json& p, Record r) { api().request_carList_WithParams(p, jsonBlock(r)); },
         call(kOkReply, S, S), call(kRejectedReply, S, S), callWithError(H, H)},
        {"image", "POST", "image", [](const json& p, Record r) { api().request_image_WithParams(p, backCodeBlock(r)); },
         call(kBackCode, S, S), noCall(S), callWithError(S, S)},
        {"Taskstate", "POST", "taskstate", [](const json& p, Record r) { api().request_Taskstate_WithParams(p, jsonBlock(r)); },
         call(kOkReply, S, S), call(nullptr, H, H, kRejected), callWithError(S, H, kNetwork)},
        {"insturanceList", "GET", "insurerlist",
         [](const json& p, Record r) { api().request_insturanceList_WithParams(p, jsonBlock(r)); },
         call(kList, S, S), noCall(S, kRejected), callWithError(S, S)},
        {"Insurerlist", "GET", "insurerlist",
         [](const json& p, Record r) {
             api().request_Insurerlist_WithParams(p, [r](const auto& list, const RequestManager::Error& e) { r(summary(list), e.has_value()); });
         },
         call(kList, S, S), call(nullptr, S, S, kRejected), callWithError(S, S)},
        {"accidentcarinfo", "POST", "accidentcarinfo",
         [](const json& p, Record r) { api().request_accidentcarinfo_WithParams(p, jsonBlock(r)); },
         call(kOkReply, S, S), noCall(H, kRejected), noCall(H, kNetwork)},
        {"policecaseinfo", "POST", "policecaseinfo",
         [](const json& p, Record r) { api().request_policecaseinfo_WithParams(p, jsonBlock(r)); },
         call(kOkReply, S, S), noCall(H, kRejected), callWithError(S, H, kNetwork)},
        {"dutyinfo", "POST", "dutyinfo", [](const json& p, Record r) { api().request_dutyinfo_WithParams(p, backCodeBlock(r)); },
         call(kBackCode, S, S), noCall(H, kRejected), noCall(H, kNetwork)},
        {"processpapertimer", "GET", "processpapertimer",
         [](const json& p, Record r) { api().request_processpapertimer_WithParams(p, jsonBlock(r)); },
         call(kOkReply, S, S), call(kRejectedReply, S, S), callWithError(S, S)},
        {"Verification", "POST", "verification",
         [](const json& p, Record r) { api().request_Verification_WithParams(p, jsonBlock(r)); },
         call(kOkReply, S, S), noCall(S, kRejected), callWithError(S, S)},
        {"signprocesspaper", "POST", "signprocesspaper",
         [](const json& p, Record r) { api().request_signprocesspaper_WithParams(p, jsonBlock(r)); },
         call(kOkReply, S, S), noCall(H, kRejected), noCall(H, kNetwork)},
        {"reasons", "GET", "getreason", [](const json& p, Record r) { api().request_reasons_WithParams(p, jsonBlock(r)); },
         call(kOkReply, S, S), call(nullptr, S, S, kRejected), callWithError(S, S, kNetwork)},
        {"Appraisal", "POST", "evaluationInfo", [](const json& p, Record r) { api().request_Appraisal_WithParams(p, jsonBlock(r)); },
         call(kOkReply, S, S), call(nullptr, S, S, kRejected), callWithError(S, S, kNetwork)},
        {"Report", "POST", "claimcaseinfo", [](const json& p, Record r) { api().request_Report_WithParams(p, jsonBlock(r)); },
         call(kOkReply, S, S), call(nullptr, S, S, kRejected), callWithError(S, S, kNetwork)},
        {"Result", "GET", "claimresult", [](const json& p, Record r) { api().request_Result_WithParams(p, jsonBlock(r)); },
         call(kOkReply, S, S), call(nullptr, S, S), callWithError(S, S, kNetwork)},
        {"getphotoresult", "GET", "getphotoresult",
         [](const json& p, Record r) { api().request_getphotoresult_WithParams(p, jsonBlock(r)); },
         call(kOkReply, H, H), noCall(H), callWithError(H, H)},
        {"cancelcheck", "POST", "cancelcheck", [](const json& p, Record r) { api().request_cancelcheck_WithParams(p, jsonBlock(r)); },
         call(kOkReply, H, H), noCall(H, kRejected), noCall(H, kNetwork)},
        {"History", "GET", "historycase",
         [](const json& p, Record r) {
             api().request_History_WithParams(p, [r](const auto& list, const RequestManager::Error& e) { r(summary(list), e.has_value()); });
         },
         call(kList, S, S), call(nullptr, S, S, kRejected), callWithError(S, S, kNetwork)},
        {"History_Detail", "GET", "historycasedetail",
         [](const json& p, Record r) {
             api().request_History_Detail_WithParams(p, [r](const std::shared_ptr<Story>& s, const RequestManager::Error& e) {
                 r(s ? s->keyValues() : json(), e.has_value());
             });
         },
         call(kDetailStory, S, S), call(nullptr, S, S, kRejected), callWithError(S, S, kNetwork)},
        {"submitmsg", "POST", "submitmsg", [](const json& p, Record r) { api().request_submitmsg_WithParams(p, jsonBlock(r)); },
         call(kOkReply, S, S), call(kRejectedReply, S, S), callWithError(S, S)},
        {"situation", "GET", "getdictionary", [](const json& p, Record r) { api().request_situation_WithParams(p, jsonBlock(r)); },
         call(kList, S, S), noCall(S, kRejected), callWithError(S, S)},
    };
}

enum class Outcome { Ok, Rejected, Transport };

}  // namespace

// A window to show the HUD over, and the stand-in server as the API client's host.
class ServerTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        ProgressHUD::resetForTesting();
        window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        window->setRootViewController(std::make_shared<ui::ViewController>());
        window->makeKeyAndVisible();
        ASSERT_TRUE(server.start());
        AppConfig::setHost("127.0.0.1");
        AppConfig::setPort(server.port());
        UserDateSingleton::shareUserDateInstance().reset();
    }
    void TearDown() override {
        RequestManager::shareRequestManager().client()->cancelAll();
        server.stop();
        AppConfig::reset();
        UserDateSingleton::shareUserDateInstance().reset();
        ProgressHUD::resetForTesting();
        ui::resetForTests();
        PlatformTest::TearDown();
    }

    // Sends, waits for the reply to be handled, and reports what the block and the HUD saw.
    Observed run(const std::function<void(Record)>& send, const std::string& word) {
        auto observed = std::make_shared<Observed>();
        size_t before = server.count(word);
        send([observed](const json& result, bool error) {
            ++observed->calls;
            observed->result = result;
            observed->error = error;
            observed->spinnerAtBlock = spinnerShown();
            observed->toastAtBlock = toastText();
        });
        auto client = RequestManager::shareRequestManager().client();
        EXPECT_TRUE(runUntil([&] { return server.count(word) > before && client->activeTransfers() == 0; }, 20));
        drain();
        return *observed;
    }

    json signedParams() {
        return {{"userid", "10001"}, {"sn", StringExtension::snWithString("10001")}, {"appkey", AppConfig::kAppKey},
                {"accidentno", "BJ1"}, {"content", "京A 1+2"}};
    }

    standin::StandInServer server{false};
    std::shared_ptr<ui::Window> window;
};

class OperationOutcomeTest : public ServerTest, public ::testing::WithParamInterface<std::tuple<size_t, Outcome>> {};

TEST_P(OperationOutcomeTest, BlockSpinnerAndToastAsTheOperationSays) {
    auto [index, outcome] = GetParam();
    const Operation op = operations().at(index);
    const Expect& expect = outcome == Outcome::Ok ? op.ok : outcome == Outcome::Rejected ? op.rejected : op.transport;
    Reply reply = outcome == Outcome::Ok         ? Reply::json(kOkReply)
                  : outcome == Outcome::Rejected ? Reply::json(kRejectedReply)
                                                 : Reply::raw("{\"rescode\":\"200\",\"resdes\":\"成");  // truncated
    server.script(op.word, reply);
    ProgressHUD::showMessage("加载中...");
    ASSERT_TRUE(spinnerShown());

    json params = signedParams();
    Observed seen = run([&](Record r) { op.send(params, r); }, op.word);

    auto request = server.lastRequest(op.word);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, op.method);
    EXPECT_EQ(op.method == "GET" ? request->query : request->body, params);

    EXPECT_EQ(seen.calls, expect.called ? 1 : 0);
    if (expect.called) {
        EXPECT_EQ(seen.result, expect.result);
        EXPECT_EQ(seen.error, expect.error);
        EXPECT_EQ(seen.spinnerAtBlock, expect.spinnerAtBlock) << "spinner when the block ran";
        EXPECT_EQ(seen.toastAtBlock, "") << "the toast comes after the block";
    }
    EXPECT_EQ(spinnerShown(), expect.spinnerAfter) << "spinner afterwards";
    EXPECT_EQ(toastText(), expect.toast);
}

INSTANTIATE_TEST_SUITE_P(
    EveryOperation, OperationOutcomeTest,
    ::testing::Combine(::testing::Range<size_t>(0, operations().size()),
                       ::testing::Values(Outcome::Ok, Outcome::Rejected, Outcome::Transport)),
    [](const ::testing::TestParamInfo<std::tuple<size_t, Outcome>>& info) {
        Outcome o = std::get<1>(info.param);
        return operations().at(std::get<0>(info.param)).name +
               (o == Outcome::Ok ? "_200" : o == Outcome::Rejected ? "_rejected" : "_transport");
    });

TEST_F(ServerTest, InsurerListIsSavedForTheChooser) {
    auto file = foundation::Sandbox::current().documents() / "insurance.plist";
    server.script("insurerlist", Reply::rescode("500", kRejected));
    run([](Record r) { api().request_Insurerlist_WithParams({{"areaid", "0"}}, [r](const auto& l, const auto& e) { r(summary(l), e.has_value()); }); },
        "insurerlist");
    EXPECT_FALSE(foundation::files::exists(file));

    json list = json::array({{{"inscomname", "人保"}, {"inscomcode", "PICC"}, {"insphone", "95518"}, {"insreporttel", "95518"}},
                             {{"inscomname", "平安"}, {"inscomcode", "PAIC"}}});
    server.script("insurerlist", Reply::json({{"rescode", "200"}, {"list", list}}));
    auto seen = run([](Record r) { api().request_Insurerlist_WithParams({{"areaid", "0"}}, [r](const auto& l, const auto& e) { r(summary(l), e.has_value()); }); },
                    "insurerlist");
    EXPECT_EQ(seen.result, list);
    EXPECT_EQ(foundation::plist::read(file), list);
}

TEST_F(ServerTest, ClaimResultPassesTheWaitingCodeOn) {
    json waiting = {{"rescode", "203"}, {"resdes", "理赔处理中"}};
    server.script("claimresult", Reply::json(waiting));
    auto seen = run([](Record r) { api().request_Result_WithParams(json::object(), jsonBlock(r)); }, "claimresult");
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.result, waiting);
    EXPECT_EQ(toastText(), "");
}

TEST_F(ServerTest, CaseDetailBuildsPhotosAndVehicles) {
    json detail = {{"rescode", "200"},
                   {"accidentno", "BJ9"},
                   {"state", 4},
                   {"casecarlist", json::array({{{"casecarno", "京A12345"}, {"carownphone", "13800138000"}}})},
                   {"accidentimagelist", json::array({{{"imagetype", "6"}, {"imageurl", "http://x/6.jpg"}}, "junk"})}};
    server.script("historycasedetail", Reply::json(detail));
    std::shared_ptr<Story> story;
    bool done = false;
    api().request_History_Detail_WithParams({{"casenumber", "C1"}}, [&](const std::shared_ptr<Story>& s, const auto&) {
        story = s;
        done = true;
    });
    ASSERT_TRUE(runUntil([&] { return done; }, 20));
    ASSERT_TRUE(story);
    EXPECT_EQ(story->state, "4");
    ASSERT_EQ(story->accidentimageList->size(), 1u);
    EXPECT_EQ((*story->accidentimageList)[0]->imageurl, "http://x/6.jpg");
    ASSERT_EQ(story->casecarlist->size(), 1u);
    EXPECT_EQ((*story->casecarlist)[0]->carownphone, "13800138000");
}

TEST_F(ServerTest, SignatureFromTheUserStateIsAccepted) {
    // Without a script the server answers "200" to a correct signature and "401" otherwise.
    auto& state = UserDateSingleton::shareUserDateInstance();
    state.setUserid("10001");
    state.setSn(StringExtension::snWithString("10001"));
    json params = state.signedParams();
    params["accidentno"] = "BJ1";
    auto seen = run([&](Record r) { api().request_Report_WithParams(params, jsonBlock(r)); }, "claimcaseinfo");
    EXPECT_EQ(RequestManager::rescodeOf(seen.result), "200");

    params["sn"] = StringExtension::snWithString("10002");
    ProgressHUD::resetForTesting();
    auto refused = run([&](Record r) { api().request_Report_WithParams(params, jsonBlock(r)); }, "claimcaseinfo");
    EXPECT_TRUE(refused.result.is_null());
    EXPECT_FALSE(toastText().empty());
}
