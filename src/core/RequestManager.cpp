#include "core/RequestManager.h"

#include "core/AppConfig.h"
#include "core/KeyValue.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"

namespace {

using Error = RequestManager::Error;

bool isSuccess(const nlohmann::json& reply) { return RequestManager::rescodeOf(reply) == "200"; }

void hideSpinner() { ProgressHUD::hideHUD(); }
void toastNetworkFailure() { ProgressHUD::showError(AppConfig::kNetworkFailureText); }
void toastResdes(const nlohmann::json& reply) { ProgressHUD::showError(RequestManager::resdesOf(reply)); }

template <class Block, class... Args>
void call(const Block& block, Args&&... args) {
    if (block) block(std::forward<Args>(args)...);
}

nlohmann::json member(const nlohmann::json& reply, const char* key) {
    if (!reply.is_object()) return nullptr;
    auto it = reply.find(key);
    return it == reply.end() ? nlohmann::json() : *it;
}

nlohmann::json wholeReply(const nlohmann::json& reply) { return reply; }

// On "200" only, the block gets `convert(reply)`. Any other outcome hides the spinner and shows
// why (the server's text or the network failure text); the block is not called.
template <class Block, class Convert>
RequestClient::Completion successOnly(Block block, Convert convert) {
    return [block, convert](const nlohmann::json& reply, const Error& error) {
        if (!error && isSuccess(reply)) {
            call(block, convert(reply), Error());
            return;
        }
        hideSpinner();
        if (error) {
            toastNetworkFailure();
        } else {
            toastResdes(reply);
        }
    };
}

// Every outcome reaches the block (`failed` stands for the result of a failure, with the transport
// error if any), then the reason of a failure is shown. The spinner is left alone.
template <class Block, class Convert, class Failed>
RequestClient::Completion answerThenToast(Block block, Convert convert, Failed failed) {
    return [block, convert, failed](const nlohmann::json& reply, const Error& error) {
        if (error) {
            call(block, failed, error);
            toastNetworkFailure();
        } else if (isSuccess(reply)) {
            call(block, convert(reply), Error());
        } else {
            call(block, failed, Error());
            toastResdes(reply);
        }
    };
}

// "200" and transport failures reach the block (the failure with its error and no toast); any
// other rescode shows the server's text and calls nothing.
template <class Block, class Convert>
RequestClient::Completion successOrTransportError(Block block, Convert convert) {
    return [block, convert](const nlohmann::json& reply, const Error& error) {
        if (error) {
            call(block, nlohmann::json(), error);
        } else if (isSuccess(reply)) {
            call(block, convert(reply), Error());
        } else {
            toastResdes(reply);
        }
    };
}

nlohmann::json listOf(const nlohmann::json& reply) { return member(reply, "list"); }

// Every server answer reaches the block whatever its rescode; a transport failure passes the error.
RequestClient::Completion anyAnswer(RequestManager::JsonBlock block) {
    return [block](const nlohmann::json& reply, const Error& error) {
        if (error) {
            call(block, nlohmann::json(), error);
        } else {
            call(block, reply, Error());
        }
    };
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
    }));
}

void RequestManager::request_carList_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->GET("getusercarlist", params, [block](const nlohmann::json& reply, const Error& error) {
        if (error) {
            hideSpinner();
            call(block, nlohmann::json(), error);
        } else {
            call(block, reply, Error());
        }
    });
}

void RequestManager::request_image_WithParams(const nlohmann::json& params, BackCodeBlock block) {
    client_->POST("image", params, [block](const nlohmann::json& reply, const Error& error) {
        if (error) {
            call(block, std::shared_ptr<BackCodeModel>(), error);
        } else if (isSuccess(reply)) {
            call(block, BackCodeModel::objectWithKeyValues(reply), Error());
        }
    });
}

void RequestManager::request_Taskstate_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->POST("taskstate", params, [block](const nlohmann::json& reply, const Error& error) {
        if (error) {
            call(block, nlohmann::json(), error);
            hideSpinner();
            toastNetworkFailure();
        } else if (isSuccess(reply)) {
            call(block, reply, Error());
        } else {
            hideSpinner();
            call(block, nlohmann::json(), Error());
            toastResdes(reply);
        }
    });
}

void RequestManager::request_insturanceList_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->GET("insurerlist", params, successOrTransportError(block, listOf));
}

void RequestManager::request_Insurerlist_WithParams(const nlohmann::json& params, InsuranceBlock block) {
    client_->GET("insurerlist", params, [block](const nlohmann::json& reply, const Error& error) {
        if (error) {
            call(block, std::nullopt, error);
        } else if (isSuccess(reply)) {
            nlohmann::json list = member(reply, "list");
            if (list.is_array()) {
                auto path = foundation::Sandbox::current().documents() / "insurance.plist";
                if (!foundation::plist::write(path, list)) foundation::log("RequestManager: cannot write insurance.plist");
            }
            call(block, InsuranceCompany::objectArrayWithKeyValuesArray(list), Error());
        } else {
            call(block, std::nullopt, Error());
            toastResdes(reply);
        }
    });
}

void RequestManager::request_accidentcarinfo_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->POST("accidentcarinfo", params, successOnly(block, wholeReply));
}

void RequestManager::request_policecaseinfo_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->POST("policecaseinfo", params, [block](const nlohmann::json& reply, const Error& error) {
        if (error) {
            call(block, nlohmann::json(), error);
            hideSpinner();
            toastNetworkFailure();
        } else if (isSuccess(reply)) {
            call(block, reply, Error());
        } else {
            hideSpinner();
            toastResdes(reply);
        }
    });
}

void RequestManager::request_dutyinfo_WithParams(const nlohmann::json& params, BackCodeBlock block) {
    client_->POST("dutyinfo", params, successOnly(block, [](const nlohmann::json& reply) {
        return BackCodeModel::objectWithKeyValues(reply);
    }));
}

void RequestManager::request_processpapertimer_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->GET("processpapertimer", params, anyAnswer(block));
}

void RequestManager::request_Verification_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->POST("verification", params, successOrTransportError(block, wholeReply));
}

void RequestManager::request_signprocesspaper_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->POST("signprocesspaper", params, successOnly(block, wholeReply));
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
    client_->GET("claimresult", params, [block](const nlohmann::json& reply, const Error& error) {
        if (error) {
            call(block, nlohmann::json(), error);
            toastNetworkFailure();
            return;
        }
        auto code = rescodeOf(reply);
        if (code == "200" || code == "203") {
            call(block, reply, Error());
        } else {
            call(block, nlohmann::json(), Error());
        }
    });
}

void RequestManager::request_getphotoresult_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->GET("getphotoresult", params, [block](const nlohmann::json& reply, const Error& error) {
        hideSpinner();
        if (error) {
            call(block, nlohmann::json(), error);
        } else if (isSuccess(reply)) {
            call(block, reply, Error());
        }
    });
}

void RequestManager::request_cancelcheck_WithParams(const nlohmann::json& params, JsonBlock block) {
    client_->POST("cancelcheck", params, [block](const nlohmann::json& reply, const Error& error) {
        hideSpinner();
        if (error) {
            toastNetworkFailure();
        } else if (isSuccess(reply)) {
            call(block, reply, Error());
        } else {
            toastResdes(reply);
        }
    });
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
