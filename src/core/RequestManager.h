#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/BackCodeModel.h"
#include "core/InsuranceCompany.h"
#include "core/RequestClient.h"
#include "core/RequestOutcome.h"
#include "core/Story.h"

// The server API client: one operation per server call. Each takes the parameter dictionary
// (a request model's keyValues() where the operation names one) and one block, called exactly
// once on the main run loop with (result, outcome). The outcome tells how the call ended:
// answered "200", refused with another rescode (or a reply with no usable envelope), or failed
// in transport (connection, time-out, HTTP status, a body that is not a JSON object), with the
// rescode, resdes and transport error.
//
// Each operation decides on its own what the result is for each outcome, whether the spinner
// (ProgressHUD::hideHUD) is hidden and whether the error toast (ProgressHUD::showError with
// "resdes", or AppConfig::kNetworkFailureText on a transport failure) is shown, and in which
// order relative to the block; see each line. Where a line says "late block", the application's
// screens have nothing to do for that outcome: the block comes last, after the spinner and the
// toast, with the empty result, so that a screen can clear its own state (a guard against a
// second tap, its own loading overlay) and otherwise return.
class RequestManager {
public:
    // Result: the reply dictionary (or a part of it); null (nullopt, nullptr) when the line says nil.
    using JsonBlock = std::function<void(const nlohmann::json& result, const RequestOutcome& outcome)>;
    using StringBlock = std::function<void(const std::optional<std::string>& result, const RequestOutcome& outcome)>;
    using BackCodeBlock = std::function<void(const std::shared_ptr<BackCodeModel>& result, const RequestOutcome& outcome)>;
    using InsuranceBlock = std::function<void(const std::optional<std::vector<std::shared_ptr<InsuranceCompany>>>& result,
                                              const RequestOutcome& outcome)>;
    using StoriesBlock = std::function<void(const std::optional<std::vector<std::shared_ptr<Story>>>& result,
                                            const RequestOutcome& outcome)>;
    using StoryBlock = std::function<void(const std::shared_ptr<Story>& result, const RequestOutcome& outcome)>;

    static RequestManager& shareRequestManager();

    explicit RequestManager(std::shared_ptr<RequestClient> client);
    std::shared_ptr<RequestClient> client() const { return client_; }

    // POST "accidentinfor". "200": block(reply "accidentno", nullopt when absent). Other rescode:
    // hide spinner, "resdes" toast, late block(nullopt). Transport: hide spinner, network toast,
    // late block(nullopt).
    void request_accidentInfor_WithParams(const nlohmann::json& params, StringBlock block);
    // GET "getusercarlist". Any reply: block(reply), "200" or not. Transport: hide spinner,
    // block(null). No toast.
    void request_carList_WithParams(const nlohmann::json& params, JsonBlock block);
    // POST "image" (ImageRequestModel). "200": block(BackCodeModel). Other rescode: late
    // block(nullptr). Transport: block(nullptr). Never a toast or the spinner.
    void request_image_WithParams(const nlohmann::json& params, BackCodeBlock block);
    // POST "taskstate". "200": block(reply). Other rescode: hide spinner, block(null), then
    // "resdes" toast. Transport: block(null), hide spinner, network toast.
    void request_Taskstate_WithParams(const nlohmann::json& params, JsonBlock block);
    // GET "insurerlist". "200": block(reply "list"). Other rescode: "resdes" toast, late
    // block(null). Transport: block(null), no toast.
    void request_insturanceList_WithParams(const nlohmann::json& params, JsonBlock block);
    // GET "insurerlist". "200": writes "list" to Documents/insurance.plist, block(list as
    // InsuranceCompany records). Other rescode: block(nullopt), "resdes" toast.
    // Transport: block(nullopt), no toast.
    void request_Insurerlist_WithParams(const nlohmann::json& params, InsuranceBlock block);
    // POST "accidentcarinfo". "200": block(reply). Other rescode: hide spinner, "resdes" toast,
    // late block(null). Transport: hide spinner, network toast, late block(null).
    void request_accidentcarinfo_WithParams(const nlohmann::json& params, JsonBlock block);
    // POST "policecaseinfo". "200": block(reply). Other rescode: hide spinner, "resdes" toast,
    // late block(null). Transport: block(null), then hide spinner and network toast.
    void request_policecaseinfo_WithParams(const nlohmann::json& params, JsonBlock block);
    // POST "dutyinfo". "200": block(BackCodeModel). Other rescode: hide spinner, "resdes" toast,
    // late block(nullptr). Transport: hide spinner, network toast, late block(nullptr).
    void request_dutyinfo_WithParams(const nlohmann::json& params, BackCodeBlock block);
    // GET "processpapertimer" (HeartRequestModel). Any reply: block(reply), "200" or not.
    // Transport: block(null). No toast, no spinner.
    void request_processpapertimer_WithParams(const nlohmann::json& params, JsonBlock block);
    // POST "verification" {"phone"}. "200": block(reply). Other rescode: "resdes" toast, late
    // block(null). Transport: block(null), no toast.
    void request_Verification_WithParams(const nlohmann::json& params, JsonBlock block);
    // POST "signprocesspaper". "200": block(reply). Other rescode: hide spinner, "resdes" toast,
    // late block(null). Transport: hide spinner, network toast, late block(null).
    void request_signprocesspaper_WithParams(const nlohmann::json& params, JsonBlock block);
    // GET "getreason". "200": block(reply). Other rescode: block(null), "resdes" toast.
    // Transport: block(null), network toast.
    void request_reasons_WithParams(const nlohmann::json& params, JsonBlock block);
    // POST "evaluationInfo". "200": block(reply). Other rescode: block(null), "resdes" toast.
    // Transport: block(null), network toast.
    void request_Appraisal_WithParams(const nlohmann::json& params, JsonBlock block);
    // POST "claimcaseinfo" (CaseInfoRequest). "200": block(reply). Other rescode: block(null),
    // then "resdes" toast. Transport: block(null), then network toast.
    void request_Report_WithParams(const nlohmann::json& params, JsonBlock block);
    // GET "claimresult". "200": block(reply). "203" (still waiting; a refused outcome):
    // block(reply). Other rescode: block(null), no toast. Transport: block(null), then network toast.
    void request_Result_WithParams(const nlohmann::json& params, JsonBlock block);
    // GET "getphotoresult" (PhotoResultRequest). "200": hide spinner, block(reply). Other
    // rescode: hide spinner, late block(null). Transport: hide spinner, block(null). No toast.
    void request_getphotoresult_WithParams(const nlohmann::json& params, JsonBlock block);
    // POST "cancelcheck". "200": hide spinner, block(reply). Other rescode: hide spinner,
    // "resdes" toast, late block(null). Transport: hide spinner, network toast, late block(null).
    void request_cancelcheck_WithParams(const nlohmann::json& params, JsonBlock block);
    // GET "historycase". "200": block("list" as Story records). Other rescode: block(nullopt),
    // "resdes" toast. Transport: block(nullopt), network toast.
    void request_History_WithParams(const nlohmann::json& params, StoriesBlock block);
    // GET "historycasedetail". "200": block(Story::storyWithDetailReply(reply)). Other rescode:
    // block(nullptr), "resdes" toast. Transport: block(nullptr), network toast.
    void request_History_Detail_WithParams(const nlohmann::json& params, StoryBlock block);
    // POST "submitmsg" (MessageRequest). Any reply: block(reply), "200" or not. Transport:
    // block(null). No toast, no spinner.
    void request_submitmsg_WithParams(const nlohmann::json& params, JsonBlock block);
    // GET "getdictionary" ({"type": "accidentdes"}). "200": block(reply "list"). Other rescode:
    // "resdes" toast, late block(null). Transport: block(null), no toast.
    void request_situation_WithParams(const nlohmann::json& params, JsonBlock block);

    // The rescode of a reply as text ("200"...; a number is taken as its decimal text), or nullopt.
    static std::optional<std::string> rescodeOf(const nlohmann::json& reply);
    // The toast text for a rejected reply: its "resdes" ("" when absent).
    static std::string resdesOf(const nlohmann::json& reply);

private:
    std::shared_ptr<RequestClient> client_;
};
