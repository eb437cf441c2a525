#include <cairo.h>

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/graphics/Image.h"
#include "tools/server/StandInServer.h"

namespace standin {

// Percent-escapes undone (the application escapes plates, names and insurers).
std::string unescaped(const std::string& text);

namespace {

struct HistoryCase {
    const char* casenumber;
    const char* accidentno;
    const char* state;
    const char* casetype;
    const char* reportime;
    const char* caseaddress;
};

// One case in each state the history resumes (1, 2, 3, 4, 7), a finished one (5), a revoked
// one (6) and one in a state the application does not know (9).
const HistoryCase kCases[] = {
    {"HC0001", "BJ201612070001", "1", "1", "2016-12-07 09:12:00", "北京市朝阳区建国路88号"},
    {"HC0002", "BJ201612060002", "2", "0", "2016-12-06 17:40:00", "北京市海淀区中关村大街1号"},
    {"HC0003", "BJ201612050003", "3", "1", "2016-12-05 08:05:00", "北京市东城区东长安街1号"},
    {"HC0004", "BJ201612040004", "4", "1", "2016-12-04 12:30:00", "北京市西城区西单北大街120号"},
    {"HC0005", "BJ201611300005", "5", "2", "2016-11-30 18:22:00", "北京市丰台区南三环西路16号"},
    {"HC0006", "BJ201611280006", "6", "0", "2016-11-28 07:55:00", "北京市石景山区石景山路22号"},
    {"HC0007", "BJ201612070007", "7", "1", "2016-12-07 10:01:00", "北京市朝阳区三里屯路19号"},
    {"HC0009", "BJ201611200009", "9", "1", "2016-11-20 21:10:00", "北京市通州区新华大街3号"},
};

nlohmann::json cars() {
    return nlohmann::json::array({
        {{"casecarno", "京A12345"}, {"carownname", "张伟"}, {"carownphone", "13800138000"}},
        {{"casecarno", "京B67890"}, {"carownname", "李娜"}, {"carownphone", "13900139000"}},
    });
}

nlohmann::json listEntry(const HistoryCase& c) {
    return {{"casenumber", c.casenumber},   {"accidentno", c.accidentno}, {"state", c.state},
            {"casetype", c.casetype},       {"reportime", c.reportime},   {"caseaddress", c.caseaddress},
            {"casecarno", "京A12345"},      {"inscomname", "中国人民财产保险股份有限公司"},
            {"inscomcode", "PICC"},         {"instel", "95518"},          {"insreporttel", "95518"},
            {"casecarlist", cars()}};
}

// The state a case of this run reached, read from the requests that named it: opened ("1" a
// two-vehicle case awaiting its liability, "2" a single-car case awaiting its report), photos
// under review ("7"), the parties' data sent ("1", or "2" for a single car), the liability
// agreed or signed ("2"), reported to the insurer ("3"), rated ("5", finished), revoked ("6").
std::string stateReached(const std::string& accidentno, bool twoVehicles, const std::vector<RecordedRequest>& log) {
    std::string state = twoVehicles ? "1" : "2";
    for (const auto& r : log) {
        if (r.param("accidentno").value_or("") != accidentno) continue;
        const std::string& word = r.pathWord;
        if (word == "taskstate" && r.param("type") == "1" && r.param("accidenttype") == "0") state = "6";
        else if (word == "taskstate" && r.param("accidenttype") == "7") state = "7";
        else if (word == "accidentcarinfo") state = twoVehicles ? "1" : "2";
        else if (word == "dutyinfo" || word == "signprocesspaper") state = "2";
        else if (word == "claimcaseinfo") state = "3";
        else if (word == "evaluationInfo") state = "5";
        if (state == "6") break;
    }
    return state;
}

// The cases opened in this run ("accidentinfor"), newest first, as history entries; their case
// number stands for both numbers.
nlohmann::json casesOfThisRun(StandInServer& server) {
    nlohmann::json cases;
    server.withState([&](SimulatedState& state) { cases = state.data.value("cases", nlohmann::json::object()); });
    auto log = server.requests();
    nlohmann::json list = nlohmann::json::array();
    for (const auto& [number, record] : cases.items()) {
        if (!record.is_object() || !record.contains("accidenttype")) continue;  // not opened in this run
        bool two = record.value("accidenttype", "") == "1";
        nlohmann::json cars = nlohmann::json::array();
        if (record.contains("casecarlist") && record["casecarlist"].is_array()) {
            for (const auto& car : record["casecarlist"]) {
                if (!car.is_object()) continue;
                auto text = [&car](const char* key) {
                    return car.contains(key) && car[key].is_string() ? unescaped(car[key].get<std::string>()) : "";
                };
                cars.push_back({{"casecarno", text("casecarno")},
                                {"carownname", text("caseperson")},
                                {"carownphone", text("casephone")}});
            }
        }
        std::string plate = cars.empty() ? "" : cars[0].value("casecarno", "");
        list.push_back({{"casenumber", number},
                        {"accidentno", number},
                        {"state", stateReached(number, two, log)},
                        {"casetype", two ? "1" : "0"},
                        {"reportime", record.value("accidentdate", "")},
                        {"caseaddress", "北京市东城区东长安街(本次运行的案件)"},
                        {"casecarno", plate},
                        {"inscomname", "中国人民财产保险股份有限公司"},
                        {"inscomcode", "PICC"},
                        {"instel", "95518"},
                        {"insreporttel", "95518"},
                        {"casecarlist", cars}});
    }
    // Case numbers grow with the run: the newest first.
    std::sort(list.begin(), list.end(), [](const nlohmann::json& a, const nlohmann::json& b) {
        return a.value("accidentno", "") > b.value("accidentno", "");
    });
    return list;
}

// A photo of the stand-in's cases, drawn once per name and kept as JPEG bytes.
std::optional<std::string> casePhoto(const std::string& name) {
    struct Look {
        const char* name;
        double r, g, b;
        double width, height;
    };
    static const Look looks[] = {{"front", 0.17, 0.43, 0.62, 480, 360},
                                 {"damage", 0.56, 0.35, 0.17, 480, 360},
                                 {"licence", 0.25, 0.55, 0.35, 480, 360},
                                 {"agreement", 0.97, 0.97, 0.95, 480, 640}};
    static std::mutex mutex;
    static std::map<std::string, std::string> made;
    std::lock_guard lock(mutex);
    if (auto it = made.find(name); it != made.end()) return it->second;
    for (const auto& look : looks) {
        if (name != look.name) continue;
        auto image = graphics::Image::draw({look.width, look.height}, 1, true, [&look](cairo_t* cr) {
            cairo_set_source_rgb(cr, look.r, look.g, look.b);
            cairo_paint(cr);
            cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
            for (int i = 0; i < 6; ++i) {
                cairo_rectangle(cr, 40, 60 + i * 50, look.width - 80 - i * 30, 18);
                cairo_fill(cr);
            }
        });
        if (!image) return std::nullopt;
        return made[name] = image->jpegData(0.8);
    }
    return std::nullopt;
}

}  // namespace

// The case history:
// - "historycase": first the cases opened in this run, newest first, each in the state it
//   reached (see stateReached) with the vehicles its parties' form sent; then the examples of
//   kCases, each with the two vehicles as plain entries.
// - "historycasedetail" by "casenumber": a case of this run as listed, without photos; an
//   example with its two vehicles and three photos (served by "casephoto"); the finished
//   example HC0005 also has its agreement image and a compensation amount, the others none. An
//   unknown case number is refused ("300").
// - "casephoto" by "name" (front, damage, licence, agreement): a JPEG; otherwise 404.
void registerHistoryDefaults(StandInServer& server) {
    server.registerDefault("historycase", [&server](const RecordedRequest&) {
        nlohmann::json list = casesOfThisRun(server);
        for (const auto& c : kCases) list.push_back(listEntry(c));
        return Reply::rescode("200", "成功", {{"list", list}});
    });
    server.registerDefault("historycasedetail", [&server](const RecordedRequest& request) {
        auto number = request.param("casenumber");
        for (const auto& own : casesOfThisRun(server)) {
            if (number && own.value("casenumber", "") == *number) {
                auto detail = own;
                detail["accidentimagelist"] = nlohmann::json::array();
                return Reply::rescode("200", "成功", detail);
            }
        }
        for (const auto& c : kCases) {
            if (!number || *number != c.casenumber) continue;
            auto detail = listEntry(c);
            auto photo = server.baseURL() + "casephoto?name=";
            detail["accidentimagelist"] = nlohmann::json::array({
                {{"imagetype", "1"}, {"imageurl", photo + "front"}, {"imagedate", c.reportime}, {"imageaddress", c.caseaddress}},
                {{"imagetype", "3"}, {"imageurl", photo + "damage"}, {"imagedate", c.reportime}, {"imageaddress", c.caseaddress}},
                {{"imagetype", "6"}, {"imageurl", photo + "licence"}, {"imagedate", c.reportime}, {"imageaddress", c.caseaddress}},
            });
            if (std::string(c.casenumber) == "HC0005") {
                detail["resbookimgurl"] = photo + "agreement";
                detail["cpsmoney"] = "3200.00元";
            }
            return Reply::rescode("200", "成功", detail);
        }
        return Reply::rescode("300", "没有找到该案件");
    });
    server.registerDefault("casephoto", [](const RecordedRequest& request) {
        auto name = request.param("name");
        auto bytes = name ? casePhoto(*name) : std::nullopt;
        if (!bytes) return Reply::raw("not found", 404);
        auto reply = Reply::raw(*bytes);
        reply.contentType = "image/jpeg";
        return reply;
    });
}

}  // namespace standin
