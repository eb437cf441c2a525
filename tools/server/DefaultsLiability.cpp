#include "tools/server/StandInServer.h"

namespace standin {

// Percent-escapes undone (the application escapes plates, names and insurers).
std::string unescaped(const std::string& text) {
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

namespace {


std::string textOf(const nlohmann::json& object, const char* key) {
    if (!object.is_object() || !object.contains(key)) return "";
    const auto& value = object[key];
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number()) return value.dump();
    return "";
}


// Polls of "processpapertimer" answered "201" before the decision, unless a test or a walk set
// data["policeDecisionAfterPolls"].
constexpr int kDefaultPollsBeforeDecision = 2;
// The code "verification" would send by SMS.
constexpr const char* kVerificationCode = "123456";

// The police decision for the parties of a case: the own party (localflag "1") fully liable,
// the other none. Without parties on record, two sample parties.
nlohmann::json decisionFor(const nlohmann::json& parties, const std::string& date) {
    nlohmann::json own, other;
    if (parties.is_array()) {
        for (const auto& party : parties) {
            if (!party.is_object()) continue;
            (textOf(party, "localflag") == "1" ? own : other) = party;
        }
    }
    auto record = [&](const nlohmann::json& party, const char* duty, const char* name, const char* plate,
                      const char* phone) {
        bool known = party.is_object();
        return nlohmann::json{{"dutytype", duty},
                              {"dutytime", date},
                              {"carno", known ? unescaped(textOf(party, "casecarno")) : plate},
                              {"carphone", known ? textOf(party, "casephone") : phone},
                              {"carname", known ? unescaped(textOf(party, "caseperson")) : name},
                              {"insurecode", known ? textOf(party, "companycode") : "PICC"},
                              {"insurename", known ? unescaped(textOf(party, "companyname")) : "中国人民财产保险股份有限公司"}};
    };
    return nlohmann::json::array({record(own, "0", "张三", "京A12345", "13800138000"),
                                  record(other, "1", "李四", "京B6H111", "13900139000")});
}

}  // namespace

// The liability of a two-vehicle case, kept under data["cases"][number]:
// - "policecaseinfo" hands the case to the traffic police: ["police"] keeps where and when
//   ("caselon", "caselat", "casedate") and who calls ("reportcall").
// - "dutyinfo" takes the agreed liability with both signatures: ["dutylist"] keeps each
//   entry as sent ("carno", "dutytpe", "content" — the signature's Base64 JPEG —, "date",
//   "lon", "lat"). A list without two entries, or an entry without a liability code or a
//   signature, is refused.
// - "processpapertimer" counts the polls of a case (["decisionPolls"]): the first answer "201"
//   (the police have not decided yet), then "200" with "dutylist", the police decision for the
//   case's two parties as the parties' form sent them (own party "全责", other "无责").
// - "verification" sends the SMS code "123456" to "phone" and keeps it under
//   data["verification"][phone]; every SMS sent is added to data["sms"] as {"to", "text"}.
// - "signprocesspaper" signs the police paper: two "signlist" entries with signatures, the
//   other party's ("localflag" "0") with the code sent to its "phoneno" as "valicode"; kept
//   under ["signlist"].
// - "submitmsg" takes a chat message of a case: kept in order under ["messages"] with
//   "from", "msgtype", "content" (the escaped text, or the voice's Base64 MP3), "dataname",
//   "duration" and "type". A message without a case number, a sender or content is refused.
// - "voice/police.mp3" (a GET under the voice path, what a pushed voice message of the police
//   points at) is the police's voice message: four seconds of speech as MP3, made at the first
//   fetch.
void registerLiabilityDefaults(StandInServer& server) {
    server.registerDefault(std::string(kVoiceWord) + kPoliceVoiceName, [](const RecordedRequest&) {
        static const std::string mp3 = spokenVoiceMP3(4.0);
        Reply reply = Reply::raw(mp3);
        reply.contentType = "audio/mpeg";
        return reply;
    });
    server.registerDefault("submitmsg", [&server](const RecordedRequest& request) {
        auto number = request.param("accidentno");
        if (!number || number->empty()) return Reply::rescode("300", "案件编号不能为空");
        nlohmann::json message;
        for (const char* key : {"from", "msgtype", "content", "dataname", "duration", "type"}) {
            auto value = request.param(key);
            if (value) message[key] = *value;
        }
        if (message.value("from", "").empty() || message.value("content", "").empty())
            return Reply::rescode("300", "消息不完整");
        server.withState([&](SimulatedState& state) { state.caseRecord(*number)["messages"].push_back(message); });
        return Reply::rescode("200", "发送成功");
    });
    server.registerDefault("processpapertimer", [&server](const RecordedRequest& request) {
        auto number = request.param("accidentno");
        if (!number || number->empty()) return Reply::rescode("300", "案件编号不能为空");
        int polls = 0;
        int before = kDefaultPollsBeforeDecision;
        nlohmann::json parties;
        server.withState([&](SimulatedState& state) {
            auto& record = state.caseRecord(*number);
            polls = counter(record["decisionPolls"]) + 1;
            record["decisionPolls"] = polls;
            if (state.data.contains("policeDecisionAfterPolls")) before = counter(state.data["policeDecisionAfterPolls"]);
            parties = record.value("casecarlist", nlohmann::json());
        });
        if (polls <= before) return Reply::rescode("201", "交警正在定责");
        return Reply::rescode("200", "成功", {{"dutylist", decisionFor(parties, "2026-12-7 10:5:0")}});
    });
    server.registerDefault("verification", [&server](const RecordedRequest& request) {
        auto phone = request.param("phone");
        if (!phone || phone->size() != 11 || phone->find_first_not_of("0123456789") != std::string::npos)
            return Reply::rescode("300", "手机号码有误");
        server.withState([&](SimulatedState& state) {
            state.data["verification"][*phone] = kVerificationCode;
            state.data["sms"].push_back({{"to", *phone}, {"text", kVerificationCode}});
        });
        return Reply::rescode("200", "验证码已发送");
    });
    server.registerDefault("signprocesspaper", [&server](const RecordedRequest& request) {
        auto number = request.param("accidentno");
        if (!number || number->empty()) return Reply::rescode("300", "案件编号不能为空");
        const auto& list = request.body.is_object() ? request.body.value("signlist", nlohmann::json()) : nlohmann::json();
        if (!list.is_array() || list.size() != 2) return Reply::rescode("300", "签名信息不完整");
        nlohmann::json codes;
        server.withState([&](SimulatedState& state) { codes = state.data.value("verification", nlohmann::json()); });
        for (const auto& entry : list) {
            if (textOf(entry, "content").empty()) return Reply::rescode("300", "缺少签名");
            auto flag = textOf(entry, "localflag");
            if (flag != "0" && flag != "1") return Reply::rescode("300", "签名信息有误");
            if (flag == "0") {
                auto sent = textOf(codes, textOf(entry, "phoneno").c_str());
                if (sent.empty() || textOf(entry, "valicode") != sent) return Reply::rescode("300", "验证码错误");
            }
        }
        server.withState([&](SimulatedState& state) { state.caseRecord(*number)["signlist"] = list; });
        return Reply::rescode("200", "签署成功");
    });
    server.registerDefault("policecaseinfo", [&server](const RecordedRequest& request) {
        auto number = request.param("accidentno");
        if (!number || number->empty()) return Reply::rescode("300", "案件编号不能为空");
        server.withState([&](SimulatedState& state) {
            state.caseRecord(*number)["police"] = {{"caselon", request.param("caselon").value_or("")},
                                                    {"caselat", request.param("caselat").value_or("")},
                                                    {"casedate", request.param("casedate").value_or("")},
                                                    {"reportcall", request.param("reportcall").value_or("")}};
        });
        return Reply::rescode("200", "已提交交警");
    });
    server.registerDefault("dutyinfo", [&server](const RecordedRequest& request) {
        auto number = request.param("accidentno");
        if (!number || number->empty()) return Reply::rescode("300", "案件编号不能为空");
        const auto& list = request.body.is_object() ? request.body.value("dutylist", nlohmann::json()) : nlohmann::json();
        if (!list.is_array() || list.size() != 2) return Reply::rescode("300", "责任信息不完整");
        nlohmann::json kept = nlohmann::json::array();
        for (const auto& entry : list) {
            auto code = textOf(entry, "dutytpe");
            if (code != "0" && code != "1" && code != "2") return Reply::rescode("300", "责任类型有误");
            if (textOf(entry, "content").empty()) return Reply::rescode("300", "缺少签名");
            kept.push_back({{"carno", textOf(entry, "carno")},
                            {"dutytpe", code},
                            {"content", textOf(entry, "content")},
                            {"date", textOf(entry, "date")},
                            {"lon", textOf(entry, "lon")},
                            {"lat", textOf(entry, "lat")}});
        }
        server.withState([&](SimulatedState& state) { state.caseRecord(*number)["dutylist"] = kept; });
        return Reply::rescode("200", "提交成功");
    });
}

}  // namespace standin
