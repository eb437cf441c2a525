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
    RequestOutcome outcome;
    bool spinnerAtBlock = false;
    std::string toastAtBlock;
};

std::string toastText() {
    auto hud = ProgressHUD::current();
    return hud && hud->isToast() ? hud->text() : "";
}
bool spinnerShown() { return ProgressHUD::currentSpinner() != nullptr; }

using Record = std::function<void(const json& result, const RequestOutcome& outcome)>;

// The expectation for one outcome of one operation. Every outcome calls the block once; a
// "late" block comes after the operation has hidden the spinner and shown its toast.
struct Expect {
    json result;            // the block's result, summarised as JSON
    bool spinnerAtBlock = false;
    bool spinnerAfter = false;
    std::string toast;      // the toast shown afterwards ("" for none)
    bool late = false;
};
// The block runs before the toast.
Expect call(json result, bool spinnerAtBlock, bool spinnerAfter, std::string toast = "") {
    return {std::move(result), spinnerAtBlock, spinnerAfter, std::move(toast), false};
}
// The block runs last, with the empty result.
Expect late(bool spinnerAfter, std::string toast = "") { return {nullptr, spinnerAfter, spinnerAfter, std::move(toast), true}; }

struct Operation {
    std::string name;
    std::string method;
    std::string word;
    std::function<void(const json& params, Record record)> send;
    Expect ok, rejected, transport;
};

RequestManager& api() { return RequestManager::shareRequestManager(); }

// Blocks of each result type, summarised as JSON.
RequestManager::BackCodeBlock backCodeBlock(Record r) {
    return [r](const std::shared_ptr<BackCodeModel>& m, const RequestOutcome& o) { r(m ? m->keyValues() : json(), o); };
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

std::vector<Operation> makeOperations() {
    const bool S = true, H = false;  // spinner shown, hidden
    return {
        {"accidentInfor", "POST", "accidentinfor",
         [](const json& p, Record r) {
             api().request_accidentInfor_WithParams(p, [r](const std::optional<std::string>& no, const RequestOutcome& o) {
                 r(no ? json(*no) : json(), o);
             });
         },
         call("BJ202612070001", S, S), late(H, kRejected), late(H, kNetwork)},
        {"carList", "GET", "getusercarlist", [](const json& p, Record r) { api().request_carList_WithParams(p, r); },
         call(kOkReply, S, S), call(kRejectedReply, S, S), call(nullptr, H, H)},
        {"image", "POST", "image", [](const json& p, Record r) { api().request_image_WithParams(p, backCodeBlock(r)); },
         call(kBackCode, S, S), late(S), call(nullptr, S, S)},
        {"Taskstate", "POST", "taskstate", [](const json& p, Record r) { api().request_Taskstate_WithParams(p, r); },
         call(kOkReply, S, S), call(nullptr, H, H, kRejected), call(nullptr, S, H, kNetwork)},
        {"insturanceList", "GET", "insurerlist", [](const json& p, Record r) { api().request_insturanceList_WithParams(p, r); },
         call(kList, S, S), late(S, kRejected), call(nullptr, S, S)},
        {"Insurerlist", "GET", "insurerlist",
         [](const json& p, Record r) {
             api().request_Insurerlist_WithParams(p, [r](const auto& list, const RequestOutcome& o) { r(summary(list), o); });
         },
         call(kList, S, S), call(nullptr, S, S, kRejected), call(nullptr, S, S)},
        {"accidentcarinfo", "POST", "accidentcarinfo", [](const json& p, Record r) { api().request_accidentcarinfo_WithParams(p, r); },
         call(kOkReply, S, S), late(H, kRejected), late(H, kNetwork)},
        {"policecaseinfo", "POST", "policecaseinfo", [](const json& p, Record r) { api().request_policecaseinfo_WithParams(p, r); },
         call(kOkReply, S, S), late(H, kRejected), call(nullptr, S, H, kNetwork)},
        {"dutyinfo", "POST", "dutyinfo", [](const json& p, Record r) { api().request_dutyinfo_WithParams(p, backCodeBlock(r)); },
         call(kBackCode, S, S), late(H, kRejected), late(H, kNetwork)},
        {"processpapertimer", "GET", "processpapertimer",
         [](const json& p, Record r) { api().request_processpapertimer_WithParams(p, r); },
         call(kOkReply, S, S), call(kRejectedReply, S, S), call(nullptr, S, S)},
        {"Verification", "POST", "verification", [](const json& p, Record r) { api().request_Verification_WithParams(p, r); },
         call(kOkReply, S, S), late(S, kRejected), call(nullptr, S, S)},
        {"signprocesspaper", "POST", "signprocesspaper",
         [](const json& p, Record r) { api().request_signprocesspaper_WithParams(p, r); },
         call(kOkReply, S, S), late(H, kRejected), late(H, kNetwork)},
        {"reasons", "GET", "getreason", [](const json& p, Record r) { api().request_reasons_WithParams(p, r); },
         call(kOkReply, S, S), call(nullptr, S, S, kRejected), call(nullptr, S, S, kNetwork)},
        {"Appraisal", "POST", "evaluationInfo", [](const json& p, Record r) { api().request_Appraisal_WithParams(p, r); },
         call(kOkReply, S, S), call(nullptr, S, S, kRejected), call(nullptr, S, S, kNetwork)},
        {"Report", "POST", "claimcaseinfo", [](const json& p, Record r) { api().request_Report_WithParams(p, r); },
         call(kOkReply, S, S), call(nullptr, S, S, kRejected), call(nullptr, S, S, kNetwork)},
        {"Result", "GET", "claimresult", [](const json& p, Record r) { api().request_Result_WithParams(p, r); },
         call(kOkReply, S, S), call(nullptr, S, S), call(nullptr, S, S, kNetwork)},
        {"getphotoresult", "GET", "getphotoresult", [](const json& p, Record r) { api().request_getphotoresult_WithParams(p, r); },
         call(kOkReply, H, H), late(H), call(nullptr, H, H)},
        {"cancelcheck", "POST", "cancelcheck", [](const json& p, Record r) { api().request_cancelcheck_WithParams(p, r); },
         call(kOkReply, H, H), late(H, kRejected), late(H, kNetwork)},
        {"History", "GET", "historycase",
         [](const json& p, Record r) {
             api().request_History_WithParams(p, [r](const auto& list, const RequestOutcome& o) { r(summary(list), o); });
         },
         call(kList, S, S), call(nullptr, S, S, kRejected), call(nullptr, S, S, kNetwork)},
        {"History_Detail", "GET", "historycasedetail",
         [](const json& p, Record r) {
             api().request_History_Detail_WithParams(p, [r](const std::shared_ptr<Story>& s, const RequestOutcome& o) {
                 r(s ? s->keyValues() : json(), o);
             });
         },
         call(kDetailStory, S, S), call(nullptr, S, S, kRejected), call(nullptr, S, S, kNetwork)},
        {"submitmsg", "POST", "submitmsg", [](const json& p, Record r) { api().request_submitmsg_WithParams(p, r); },
         call(kOkReply, S, S), call(kRejectedReply, S, S), call(nullptr, S, S)},
        {"situation", "GET", "getdictionary", [](const json& p, Record r) { api().request_situation_WithParams(p, r); },
         call(kList, S, S), late(S, kRejected), call(nullptr, S, S)},
    };
}

// Built once: every start of the program names its parameterised cases from it.
const std::vector<Operation>& operations() {
    static const std::vector<Operation> table = makeOperations();
    return table;
}

// One way the server can end a call, and the column of the table whose rules it follows.
enum class Column { Ok, Rejected, Transport };
struct ServerEnd {
    std::string name;
    Column column;
    std::function<Reply()> reply;
    json body;                                   // the JSON object the client receives, if any
    std::optional<std::string> rescode;          // the outcome's rescode
    std::optional<RequestError::Kind> errorKind;  // the outcome's transport error
};

std::vector<ServerEnd> serverEnds() {
    json numeric = kOkReply;
    numeric["rescode"] = 200;
    json noEnvelope = {{"resdes", kRejected}, {"list", json::array()}};
    return {
        {"200", Column::Ok, [] { return Reply::json(kOkReply); }, kOkReply, "200", std::nullopt},
        {"200AsNumber", Column::Ok, [numeric] { return Reply::json(numeric); }, numeric, "200", std::nullopt},
        {"refused500", Column::Rejected, [] { return Reply::json(kRejectedReply); }, kRejectedReply, "500", std::nullopt},
        // A broken reply: its "resdes" is never shown as the server's word.
        {"noRescode", Column::Transport, [noEnvelope] { return Reply::json(noEnvelope); }, nullptr, std::nullopt,
         RequestError::Kind::NotJSON},
        {"booleanRescode", Column::Transport, [noEnvelope] {
             json reply = noEnvelope;
             reply["rescode"] = true;
             return Reply::json(reply);
         }, nullptr, std::nullopt, RequestError::Kind::NotJSON},
        {"truncatedBody", Column::Transport, [] { return Reply::raw("{\"rescode\":\"200\",\"resdes\":\"成"); }, nullptr,
         std::nullopt, RequestError::Kind::NotJSON},
        {"httpStatus500", Column::Transport, [] { return Reply::json(kOkReply, 500); }, nullptr, std::nullopt,
         RequestError::Kind::HTTPStatus},
        {"dropped", Column::Transport, [] { return Reply::dropped(); }, nullptr, std::nullopt,
         RequestError::Kind::ConnectionFailed},
    };
}

RequestOutcome::Kind kindOf(Column column) {
    return column == Column::Ok         ? RequestOutcome::Kind::Answered
           : column == Column::Rejected ? RequestOutcome::Kind::Refused
                                        : RequestOutcome::Kind::Failed;
}

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
        lastObserved = observed;
        size_t before = server.count(word);
        send([observed](const json& result, const RequestOutcome& outcome) {
            ++observed->calls;
            observed->result = result;
            observed->outcome = outcome;
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
    std::shared_ptr<Observed> lastObserved;  // what the last run's block saw, also after it returned
};

class OperationOutcomeTest : public ServerTest, public ::testing::WithParamInterface<std::tuple<size_t, size_t>> {};

TEST_P(OperationOutcomeTest, BlockOnceWithTheOutcomeSpinnerAndToastAsTheOperationSays) {
    auto [index, endIndex] = GetParam();
    const Operation op = operations().at(index);
    const ServerEnd end = serverEnds().at(endIndex);
    const Expect& expect = end.column == Column::Ok         ? op.ok
                           : end.column == Column::Rejected ? op.rejected
                                                            : op.transport;
    server.script(op.word, end.reply());
    ProgressHUD::showMessage("加载中...");
    ASSERT_TRUE(spinnerShown());

    json params = signedParams();
    Observed seen = run([&](Record r) { op.send(params, r); }, op.word);

    auto request = server.lastRequest(op.word);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, op.method);
    EXPECT_EQ(op.method == "GET" ? request->query : request->body, params);

    ASSERT_EQ(seen.calls, 1);
    // Operations that hand on the whole reply hand on what this server end sent.
    json result = expect.result == kOkReply || expect.result == kRejectedReply ? end.body : expect.result;
    EXPECT_EQ(seen.result, result);
    EXPECT_EQ(seen.outcome.kind, kindOf(end.column));
    EXPECT_EQ(seen.outcome.rescode, end.rescode);
    if (end.column == Column::Transport) {
        ASSERT_TRUE(seen.outcome.error);
        EXPECT_EQ(seen.outcome.error->kind, end.errorKind);
        EXPECT_FALSE(seen.outcome.resdes);
    } else {
        EXPECT_FALSE(seen.outcome.error);
        EXPECT_EQ(seen.outcome.resdes, end.body.is_object() && end.body.contains("resdes")
                                           ? std::optional<std::string>(end.body["resdes"].get<std::string>())
                                           : std::nullopt);
    }
    EXPECT_EQ(seen.spinnerAtBlock, expect.spinnerAtBlock) << "spinner when the block ran";
    EXPECT_EQ(seen.toastAtBlock, expect.late ? expect.toast : "")
        << (expect.late ? "a late block comes after the toast" : "the toast comes after the block");
    EXPECT_EQ(spinnerShown(), expect.spinnerAfter) << "spinner afterwards";
    EXPECT_EQ(toastText(), expect.toast);

    // Nothing more arrives later.
    advance(31);
    EXPECT_EQ(lastObserved->calls, 1);
}

INSTANTIATE_TEST_SUITE_P(
    EveryOperation, OperationOutcomeTest,
    ::testing::Combine(::testing::Range<size_t>(0, operations().size()), ::testing::Range<size_t>(0, serverEnds().size())),
    [](const ::testing::TestParamInfo<std::tuple<size_t, size_t>>& info) {
        return operations().at(std::get<0>(info.param)).name + "_" + serverEnds().at(std::get<1>(info.param)).name;
    });

TEST_F(ServerTest, InsurerListIsSavedForTheChooser) {
    auto file = foundation::Sandbox::current().documents() / "insurance.plist";
    server.script("insurerlist", Reply::rescode("500", kRejected));
    run([](Record r) { api().request_Insurerlist_WithParams({{"areaid", "0"}}, [r](const auto& l, const RequestOutcome& o) { r(summary(l), o); }); },
        "insurerlist");
    EXPECT_FALSE(foundation::files::exists(file));

    json list = json::array({{{"inscomname", "人保"}, {"inscomcode", "PICC"}, {"insphone", "95518"}, {"insreporttel", "95518"}},
                             {{"inscomname", "平安"}, {"inscomcode", "PAIC"}}});
    server.script("insurerlist", Reply::json({{"rescode", "200"}, {"list", list}}));
    auto seen = run([](Record r) { api().request_Insurerlist_WithParams({{"areaid", "0"}}, [r](const auto& l, const RequestOutcome& o) { r(summary(l), o); }); },
                    "insurerlist");
    EXPECT_EQ(seen.result, list);
    EXPECT_EQ(foundation::plist::read(file), list);
}

TEST_F(ServerTest, ClaimResultPassesTheWaitingCodeOn) {
    json waiting = {{"rescode", "203"}, {"resdes", "理赔处理中"}};
    server.script("claimresult", Reply::json(waiting));
    auto seen = run([](Record r) { api().request_Result_WithParams(json::object(), r); }, "claimresult");
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.result, waiting);
    // Not "200": a refusal whose reply still goes on.
    EXPECT_TRUE(seen.outcome.refused());
    EXPECT_EQ(seen.outcome.rescode, "203");
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
    auto seen = run([&](Record r) { api().request_Report_WithParams(params, r); }, "claimcaseinfo");
    EXPECT_EQ(RequestManager::rescodeOf(seen.result), "200");

    params["sn"] = StringExtension::snWithString("10002");
    ProgressHUD::resetForTesting();
    auto refused = run([&](Record r) { api().request_Report_WithParams(params, r); }, "claimcaseinfo");
    EXPECT_TRUE(refused.result.is_null());
    EXPECT_FALSE(toastText().empty());
}
