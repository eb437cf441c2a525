#include "core/RequestManager.h"

#include "core/AppConfig.h"
#include "core/KeyValue.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"

namespace {

using Error = std::optional<RequestError>;

void hideSpinner() { ProgressHUD::hideHUD(); }
void toastNetworkFailure() { ProgressHUD::showError(AppConfig::kNetworkFailureText); }
void toastResdes(const RequestOutcome& outcome) { ProgressHUD::showError(outcome.resdes.value_or("")); }
// The toast a refusal or a transport failure shows.
void toastWhy(const RequestOutcome& outcome) {
    if (outcome.failed()) {
        toastNetworkFailure();
    } else {
        toastResdes(outcome);
    }
}

template <class Block, class Result>
void call(const Block& block, Result&& result, const RequestOutcome& outcome) {
    if (block) block(std::forward<Result>(result), outcome);
}

nlohmann::json member(const nlohmann::json& reply, const char* key) {
    if (!reply.is_object()) return nullptr;
    auto it = reply.find(key);
    return it == reply.end() ? nlohmann::json() : *it;
}

nlohmann::json wholeReply(const nlohmann::json& reply) { return reply; }
nlohmann::json listOf(const nlohmann::json& reply) { return member(reply, "list"); }

// The client's completion: the reply classified once, then handed to the operation's rules.
template <class Rules>
RequestClient::Completion classified(Rules rules) {
    return [rules](const nlohmann::json& reply, const Error& error) { rules(reply, RequestOutcome::of(reply, error)); };
}

// "200": block(convert(reply)). Otherwise the spinner is hidden and the reason shown; the block
// comes last with `nil`.
template <class Block, class Convert, class Nil>
RequestClient::Completion successOnly(Block block, Convert convert, Nil nil) {
    return classified([block, convert, nil](const nlohmann::json& reply, const RequestOutcome& outcome) {
        if (outcome.answered()) {
            call(block, convert(reply), outcome);
            return;
        }
        hideSpinner();
        toastWhy(outcome);
        call(block, nil, outcome);
    });
}

// Every outcome reaches the block (`nil` stands for the result of a refusal or a failure), then
// the reason of a refusal or a failure is shown. The spinner is left alone.
template <class Block, class Convert, class Nil>
RequestClient::Completion answerThenToast(Block block, Convert convert, Nil nil) {
    return classified([block, convert, nil](const nlohmann::json& reply, const RequestOutcome& outcome) {
        if (outcome.answered()) {
            call(block, convert(reply), outcome);
            return;
        }
        call(block, nil, outcome);
        toastWhy(outcome);
    });
}

// "200": block(convert(reply)); a transport failure: block(null), no toast; a refusal shows the
// server's text, then the block comes last with null.
template <class Block, class Convert>
RequestClient::Completion successOrTransportError(Block block, Convert convert) {
    return classified([block, convert](const nlohmann::json& reply, const RequestOutcome& outcome) {
        if (outcome.answered()) {
            call(block, convert(reply), outcome);
        } else if (outcome.failed()) {
            call(block, nlohmann::json(), outcome);
        } else {
            toastResdes(outcome);
            call(block, nlohmann::json(), outcome);
        }
    });
}

// Every server answer reaches the block as it is, whatever its rescode; a transport failure
// passes null.
RequestClient::Completion anyAnswer(RequestManager::JsonBlock block) {
    return classified([block](const nlohmann::json& reply, const RequestOutcome& outcome) {
        call(block, outcome.failed() ? nlohmann::json() : reply, outcome);
    });
}

}  // namespace

RequestManager& RequestManager::shareRequestManager() {
    static RequestManager manager(RequestClient::shared());
    return manager;
}

RequestManager::RequestManager(std::shared_ptr<RequestClient> client) : client_(std::move(client)) {}

std::optional<std::string> RequestManager::rescodeOf(const nlohmann::json& reply) {
    return BackCodeModel::objectWithKeyValues(reply)->rescode;
}

std::string RequestManager::resdesOf(const nlohmann::json& reply) {
    return BackCodeModel::objectWithKeyValues(reply)->resdes.value_or("");
}

void RequestManager::request_accidentInfor_WithParams(const nlohmann::json& params, StringBlock block) {
    client_->POST("accidentinfor", params, successOnly(block, [](const nlohmann::json& reply) {
        return keyvalue::stringFromJson(member(reply, "accidentno"));
    }, std::optional<std::string>()));
}

void RequestManager::request_carList_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->GET("getusercarlist", params, classified([block](const nlohmann::json& reply, const RequestOutcome& outcome) {
        if (outcome.failed()) {
            hideSpinner();
            call(block, nlohmann::json(), outcome);
        } else {
            call(block, reply, outcome);
        }
    }));
}

void RequestManager::request_image_WithParams(const nlohmann::json& params, BackCodeBlock block) {
    client_->POST("image", params, classified([block](const nlohmann::json& reply, const RequestOutcome& outcome) {
        call(block, outcome.answered() ? BackCodeModel::objectWithKeyValues(reply) : std::shared_ptr<BackCodeModel>(),
             outcome);
    }));
}

void RequestManager::request_Taskstate_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->POST("taskstate", params, classified([block](const nlohmann::json& reply, const RequestOutcome& outcome) {
        if (outcome.failed()) {
            call(block, nlohmann::json(), outcome);
            hideSpinner();
            toastNetworkFailure();
        } else if (outcome.answered()) {
            call(block, reply, outcome);
        } else {
            hideSpinner();
            call(block, nlohmann::json(), outcome);
            toastResdes(outcome);
        }
    }));
}

void RequestManager::request_insturanceList_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->GET("insurerlist", params, successOrTransportError(block, listOf));
}

void RequestManager::request_Insurerlist_WithParams(const nlohmann::json& params, InsuranceBlock block) {
    client_->GET("insurerlist", params, classified([block](const nlohmann::json& reply, const RequestOutcome& outcome) {
        if (outcome.failed()) {
            call(block, std::nullopt, outcome);
        } else if (outcome.answered()) {
            nlohmann::json list = member(reply, "list");
            if (list.is_array()) {
                auto path = foundation::Sandbox::current().documents() / "insurance.plist";
                if (!foundation::plist::write(path, list)) foundation::log("RequestManager: cannot write insurance.plist");
            }
            call(block, InsuranceCompany::objectArrayWithKeyValuesArray(list), outcome);
        } else {
            call(block, std::nullopt, outcome);
            toastResdes(outcome);
        }
    }));
}

void RequestManager::request_accidentcarinfo_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->POST("accidentcarinfo", params, successOnly(block, wholeReply, nlohmann::json()));
}

void RequestManager::request_policecaseinfo_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->POST("policecaseinfo", params, classified([block](const nlohmann::json& reply, const RequestOutcome& outcome) {
        if (outcome.failed()) {
            call(block, nlohmann::json(), outcome);
            hideSpinner();
            toastNetworkFailure();
        } else if (outcome.answered()) {
            call(block, reply, outcome);
        } else {
            hideSpinner();
            toastResdes(outcome);
            call(block, nlohmann::json(), outcome);
        }
    }));
}

void RequestManager::request_dutyinfo_WithParams(const nlohmann::json& params, BackCodeBlock block) {
    client_->POST("dutyinfo", params, successOnly(block, [](const nlohmann::json& reply) {
        return BackCodeModel::objectWithKeyValues(reply);
    }, std::shared_ptr<BackCodeModel>()));
}

void RequestManager::request_processpapertimer_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->GET("processpapertimer", params, anyAnswer(block));
}

void RequestManager::request_Verification_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->POST("verification", params, successOrTransportError(block, wholeReply));
}

void RequestManager::request_signprocesspaper_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->POST("signprocesspaper", params, successOnly(block, wholeReply, nlohmann::json()));
}

void RequestManager::request_reasons_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->GET("getreason", params, answerThenToast(block, wholeReply, nlohmann::json()));
}

void RequestManager::request_Appraisal_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->POST("evaluationInfo", params, answerThenToast(block, wholeReply, nlohmann::json()));
}

void RequestManager::request_Report_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->POST("claimcaseinfo", params, answerThenToast(block, wholeReply, nlohmann::json()));
}

void RequestManager::request_Result_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->GET("claimresult", params, classified([block](const nlohmann::json& reply, const RequestOutcome& outcome) {
        if (outcome.failed()) {
            call(block, nlohmann::json(), outcome);
            toastNetworkFailure();
            return;
        }
        // "203": the claim is still being handled; the reply goes on like an answer.
        bool passed = outcome.answered() || outcome.rescode == "203";
        call(block, passed ? reply : nlohmann::json(), outcome);
    }));
}

void RequestManager::request_getphotoresult_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->GET("getphotoresult", params, classified([block](const nlohmann::json& reply, const RequestOutcome& outcome) {
        hideSpinner();
        call(block, outcome.answered() ? reply : nlohmann::json(), outcome);
    }));
}

void RequestManager::request_cancelcheck_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->POST("cancelcheck", params, classified([block](const nlohmann::json& reply, const RequestOutcome& outcome) {
        hideSpinner();
        if (outcome.answered()) {
            call(block, reply, outcome);
            return;
        }
        toastWhy(outcome);
        call(block, nlohmann::json(), outcome);
    }));
}

void RequestManager::request_History_WithParams(const nlohmann::json& params, StoriesBlock block) {
    client_->GET("historycase", params, answerThenToast(block, [](const nlohmann::json& reply) {
        return Story::objectArrayWithKeyValuesArray(member(reply, "list"));
    }, std::optional<std::vector<std::shared_ptr<Story>>>()));
}

void RequestManager::request_History_Detail_WithParams(const nlohmann::json& params, StoryBlock block) {
    client_->GET("historycasedetail", params, answerThenToast(block, [](const nlohmann::json& reply) {
        return Story::storyWithDetailReply(reply);
    }, std::shared_ptr<Story>()));
}

void RequestManager::request_submitmsg_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->POST("submitmsg", params, anyAnswer(block));
}

void RequestManager::request_situation_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->GET("getdictionary", params, successOrTransportError(block, listOf));
}
