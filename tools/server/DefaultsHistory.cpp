#include <cairo.h>

#include <map>
#include <mutex>

#include "platform/graphics/Image.h"
#include "tools/server/StandInServer.h"

namespace standin {

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
// - "historycase": the cases of kCases, each with the two vehicles as plain entries.
// - "historycasedetail" by "casenumber": the case with its two vehicles and three photos
//   (served by "casephoto"); the finished case HC0005 also has its agreement image and a
//   compensation amount, the others none. An unknown case number is refused ("300").
// - "casephoto" by "name" (front, damage, licence, agreement): a JPEG; otherwise 404.
void registerHistoryDefaults(StandInServer& server) {
    server.registerDefault("historycase", [](const RecordedRequest&) {
        nlohmann::json list = nlohmann::json::array();
        for (const auto& c : kCases) list.push_back(listEntry(c));
        return Reply::rescode("200", "成功", {{"list", list}});
    });
    server.registerDefault("historycasedetail", [&server](const RecordedRequest& request) {
        auto number = request.param("casenumber");
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
