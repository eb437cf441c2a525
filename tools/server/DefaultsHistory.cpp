#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>

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

void roundedBox(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// Text in the application's CJK font, its top left at (x, y).
void text(cairo_t* cr, const char* words, double x, double y, double size, bool bold, double grey) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* desc = pango_font_description_new();
    pango_font_description_set_family(desc, "WenQuanYi Micro Hei");
    pango_font_description_set_absolute_size(desc, size * PANGO_SCALE);
    pango_font_description_set_weight(desc, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_layout_set_font_description(layout, desc);
    pango_layout_set_text(layout, words, -1);
    cairo_set_source_rgb(cr, grey, grey, grey);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(desc);
    g_object_unref(layout);
}

// A small car seen from above, centred on the origin, its nose towards +x.
void car(cairo_t* cr, double r, double g, double b) {
    cairo_set_source_rgba(cr, 0, 0, 0, 0.25);  // shadow
    roundedBox(cr, -56, -24, 116, 54, 14);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);  // wheels
    for (double wx : {-34.0, 26.0})
        for (double wy : {-28.0, 22.0}) {
            cairo_rectangle(cr, wx, wy, 18, 6);
            cairo_fill(cr);
        }
    cairo_set_source_rgb(cr, r, g, b);
    roundedBox(cr, -58, -25, 116, 50, 13);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.16, 0.2, 0.26);  // windscreen, rear window
    roundedBox(cr, 10, -19, 18, 38, 5);
    cairo_fill(cr);
    roundedBox(cr, -44, -18, 12, 36, 4);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, r * 0.8, g * 0.8, b * 0.8);  // roof
    roundedBox(cr, -30, -19, 38, 38, 6);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 1, 0.95, 0.7);  // headlights
    cairo_rectangle(cr, 54, -21, 4, 9);
    cairo_rectangle(cr, 54, 12, 4, 9);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.8, 0.1, 0.1);  // tail lights
    cairo_rectangle(cr, -58, -21, 3, 8);
    cairo_rectangle(cr, -58, 13, 3, 8);
    cairo_fill(cr);
}

// A road seen from above a kerb: two lanes, dashed marks, and two cars touching at an angle.
void scene(cairo_t* cr, double width, double height) {
    cairo_set_source_rgb(cr, 0.45, 0.58, 0.36);  // verge
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.33, 0.34, 0.36);  // asphalt
    cairo_rectangle(cr, 0, 40, width, height - 80);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.72, 0.72, 0.7);  // kerbs
    cairo_rectangle(cr, 0, 34, width, 6);
    cairo_rectangle(cr, 0, height - 40, width, 6);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.95, 0.95, 0.92);
    cairo_rectangle(cr, 0, 52, width, 3);  // edge lines
    cairo_rectangle(cr, 0, height - 55, width, 3);
    cairo_fill(cr);
    for (double x = -10; x < width; x += 70) {  // lane marks
        cairo_rectangle(cr, x, height / 2 - 2, 40, 5);
        cairo_fill(cr);
    }
    cairo_save(cr);  // the rear car, nose into the other's flank
    cairo_translate(cr, width / 2 - 57, height / 2 + 55);
    cairo_rotate(cr, -0.45);
    car(cr, 0.85, 0.86, 0.88);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, width / 2 + 50, height / 2 + 8);
    cairo_rotate(cr, 0.12);
    car(cr, 0.16, 0.36, 0.66);
    cairo_restore(cr);
    cairo_set_source_rgba(cr, 0.9, 0.9, 0.88, 0.9);  // bits of a broken light
    for (auto [x, y] : {std::pair{-18.0, 12.0}, {-10.0, 26.0}, {-26.0, 30.0}, {2.0, 34.0}}) {
        cairo_rectangle(cr, width / 2 + x, height / 2 + y, 3, 2);
        cairo_fill(cr);
    }
}

// The vehicle's licence lying on a desk.
void licence(cairo_t* cr, double width, double height) {
    cairo_set_source_rgb(cr, 0.55, 0.42, 0.3);  // desk
    cairo_paint(cr);
    cairo_save(cr);
    cairo_translate(cr, width / 2, height / 2);
    cairo_rotate(cr, -0.04);
    cairo_translate(cr, -180, -115);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.3);
    roundedBox(cr, 4, 6, 360, 230, 10);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.93, 0.93, 0.88);
    roundedBox(cr, 0, 0, 360, 230, 10);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.2, 0.35, 0.55);
    cairo_rectangle(cr, 0, 14, 360, 30);
    cairo_fill(cr);
    text(cr, "中华人民共和国机动车行驶证", 40, 19, 18, true, 1);
    static const char* lines[] = {"号牌号码  京A12345", "车辆类型  小型轿车", "所有人  李娜",
                                  "住址  北京市丰台区南三环西路", "注册日期  2012-03-15"};
    double y = 60;
    for (const char* line : lines) {
        text(cr, line, 18, y, 14, false, 0.15);
        y += 28;
    }
    cairo_set_source_rgba(cr, 0.8, 0.1, 0.1, 0.85);  // the issuing office's seal
    cairo_set_line_width(cr, 3);
    cairo_new_path(cr);
    cairo_arc(cr, 300, 150, 38, 0, 2 * M_PI);
    cairo_stroke(cr);
    cairo_move_to(cr, 300, 130);
    for (int i = 1; i <= 5; ++i) {
        double angle = -M_PI / 2 + i * 4 * M_PI / 5;
        cairo_line_to(cr, 300 + 18 * std::cos(angle), 148 + 18 * std::sin(angle));
    }
    cairo_fill(cr);
    cairo_restore(cr);
}

// A signature: a quick looping stroke from (x, y).
void signature(cairo_t* cr, double x, double y, double seed) {
    cairo_set_source_rgb(cr, 0.08, 0.12, 0.35);
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, x, y + 10);
    double px = x;
    for (int i = 0; i < 4; ++i) {
        double up = 14 + 8 * std::sin(seed + i * 1.7);
        cairo_curve_to(cr, px + 6, y - up, px + 20, y - up, px + 14, y + 8);
        cairo_curve_to(cr, px + 10, y + 16, px + 22, y + 12, px + 26, y + 2);
        px += 20;
    }
    cairo_curve_to(cr, px + 10, y - 6, px + 20, y + 6, px + 34, y - 2);
    cairo_stroke(cr);
    cairo_move_to(cr, x - 4, y + 20);  // the underline flourish
    cairo_curve_to(cr, x + 40, y + 14, px - 20, y + 26, px + 30, y + 12);
    cairo_stroke(cr);
}

// The signed agreement page.
void agreement(cairo_t* cr, double width, double) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    text(cr, "事故责任协议书", width / 2 - 77, 40, 22, true, 0.1);
    static const char* lines[] = {"事故时间: 2016-11-30 18:22",
                                  "事故地点: 北京市丰台区南三环西路16号",
                                  "甲方车辆: 京A12345  驾驶人: 李娜",
                                  "乙方车辆: 京B67890  驾驶人: 王强",
                                  "事故经过: 乙方车辆变更车道时与甲方",
                                  "车辆右侧发生刮擦。",
                                  "责任认定: 乙方负全部责任,甲方无责任。",
                                  "双方同意按上述认定向保险公司理赔。"};
    double y = 100;
    for (const char* line : lines) {
        text(cr, line, 40, y, 15, false, 0.2);
        y += 34;
    }
    cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
    cairo_set_line_width(cr, 1);
    for (double x : {40.0, 260.0}) {
        cairo_move_to(cr, x + 72, 500.5);
        cairo_line_to(cr, x + 200, 500.5);
        cairo_stroke(cr);
    }
    text(cr, "甲方签字:", 40, 470, 14, false, 0.2);
    text(cr, "乙方签字:", 260, 470, 14, false, 0.2);
    signature(cr, 118, 478, 0.3);
    signature(cr, 338, 478, 2.1);
    text(cr, "2016年11月30日", width - 170, 540, 14, false, 0.2);
}

// A photo of the stand-in's cases, drawn once per name and kept as JPEG bytes.
std::optional<std::string> casePhoto(const std::string& name) {
    struct Look {
        const char* name;
        void (*paint)(cairo_t*, double, double);
        double width, height;
    };
    static const Look looks[] = {{"front", scene, 480, 360},
                                 {"damage",
                                  [](cairo_t* cr, double width, double height) {
                                      // Closer in on where the two cars touch.
                                      cairo_translate(cr, width / 2, height / 2);
                                      cairo_scale(cr, 2.4, 2.4);
                                      cairo_translate(cr, -width / 2 + 10, -height / 2 - 22);
                                      scene(cr, width, height);
                                  },
                                  480, 360},
                                 {"licence", licence, 480, 360},
                                 {"agreement", agreement, 480, 640}};
    static std::mutex mutex;
    static std::map<std::string, std::string> made;
    std::lock_guard lock(mutex);
    if (auto it = made.find(name); it != made.end()) return it->second;
    for (const auto& look : looks) {
        if (name != look.name) continue;
        auto image = graphics::Image::draw({look.width, look.height}, 1, true,
                                           [&look](cairo_t* cr) { look.paint(cr, look.width, look.height); });
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
// - "casephoto" by "name": a JPEG of the scene (front), a closer look where the two cars touch
//   (damage), the vehicle's licence (licence) or the signed agreement page (agreement);
//   otherwise 404.
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
