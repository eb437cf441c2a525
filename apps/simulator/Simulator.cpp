#include "apps/simulator/Simulator.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/Navigator.h"
#include "apps/simulator/AppStartup.h"
#include "apps/simulator/SimulatorOptions.h"
#include "core/AppConfig.h"
#include "core/FailedImageRetry.h"
#include "core/FailedImageStore.h"
#include "core/ScreenRegistry.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "liability/chat/ChatLog.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/JsonText.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/location/LocationManager.h"
#include "platform/location/PushRegistrar.h"
#include "platform/media/CameraSimulation.h"
#include "platform/media/DeviceOrientation.h"
#include "platform/media/ImagePickerCamera.h"
#include "platform/media/Microphone.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextInput.h"
#include "tools/server/StandInServer.h"

#ifndef VESKARD_RESOURCE_DIR
#define VESKARD_RESOURCE_DIR "resources"
#endif

namespace simulator {

namespace {

// How many polls of the police wait the stand-in's traffic police let pass before deciding:
// about a minute at one poll every 2 s.
constexpr int kPolicePolls = 30;

// The raw request bodies the stand-in server keeps whole, newest first: about the last road's
// photos (a road uploads some 60 KB of them); of every older request the log keeps the
// parameters, with the photos and recordings in the short form its listing shows anyway.
constexpr size_t kWholeRequestBodies = 64 * 1024;

// What a push payload's "$SERVER" stands for: the server's "http://HOST:PORT".
constexpr const char* kServerToken = "$SERVER";

std::string inQuotes(const std::string& s) { return "\"" + s + "\""; }

std::string joined(const std::vector<std::string>& words, size_t from) {
    std::string s;
    for (size_t i = from; i < words.size(); ++i) s += (i > from ? " " : "") + words[i];
    return s;
}

bool parseInt(const std::string& s, int& out) {
    double v = 0;
    if (!parseDouble(s, v) || v != std::floor(v) || std::fabs(v) > 1e9) return false;
    out = static_cast<int>(v);
    return true;
}

std::string trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

Simulator::Result ok(std::string message = "") { return {Simulator::Status::Ok, std::move(message)}; }
Simulator::Result failed(std::string message) { return {Simulator::Status::Failed, std::move(message)}; }
Simulator::Result fromOutcome(const driver::Outcome& o) { return o ? ok(o.message()) : failed(o.message()); }

nlohmann::json parameters(const standin::RecordedRequest& r) {
    nlohmann::json p = r.query.is_object() ? r.query : nlohmann::json::object();
    if (r.body.is_object()) {
        for (auto& [k, v] : r.body.items()) p[k] = v;
    } else if (!r.body.is_null()) {
        p["(body)"] = r.body;
    }
    return p;
}

// A value inside the parameters by a dotted path of keys and list positions
// ("dutylist.0.dutytpe"); texts as they are, numbers as their text.
std::optional<std::string> nestedParam(const nlohmann::json& parameters, const std::string& path) {
    const nlohmann::json* at = &parameters;
    size_t start = 0;
    while (start <= path.size()) {
        size_t dot = path.find('.', start);
        std::string part = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (at->is_object()) {
            auto it = at->find(part);
            if (it == at->end()) return std::nullopt;
            at = &*it;
        } else if (at->is_array()) {
            int index = 0;
            if (!parseInt(part, index) || index < 0 || static_cast<size_t>(index) >= at->size()) return std::nullopt;
            at = &(*at)[static_cast<size_t>(index)];
        } else {
            return std::nullopt;
        }
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    if (at->is_string()) return at->get<std::string>();
    if (at->is_number() || at->is_boolean()) return at->dump();
    return std::nullopt;
}

std::string requestLine(const standin::RecordedRequest& r) {
    nlohmann::json p = parameters(r);
    std::string line = r.method + " " + r.pathWord + " {";
    bool first = true;
    for (auto& [k, v] : p.items()) {
        line += (first ? "" : ", ") + nlohmann::json(k).dump() + ": " + shortValue(v);
        first = false;
    }
    return line + "}";
}

// Views as a person reads them: top to bottom, then left to right.
std::vector<std::shared_ptr<ui::View>> inReadingOrder(std::vector<std::shared_ptr<ui::View>> views) {
    auto place = [](const std::shared_ptr<ui::View>& v) { return v->convertRectToView(v->bounds(), nullptr); };
    std::stable_sort(views.begin(), views.end(), [&](const auto& a, const auto& b) {
        ui::Rect ra = place(a), rb = place(b);
        if (std::fabs(ra.y() - rb.y()) > 0.5) return ra.y() < rb.y();
        return ra.x() < rb.x();
    });
    return views;
}

// A point written X,Y.
bool parsePoint(const std::string& word, ui::Point& point) {
    auto comma = word.find(',');
    double x = 0, y = 0;
    if (comma == std::string::npos || !parseDouble(word.substr(0, comma), x) || !parseDouble(word.substr(comma + 1), y) ||
        std::fabs(x) > 1e5 || std::fabs(y) > 1e5)
        return false;
    point = {x, y};
    return true;
}

// Sets where the watch reports for as long as a command runs.
class ReportTarget {
public:
    ReportTarget(std::ostream*& slot, std::ostream& out) : slot_(slot), old_(slot) { slot_ = &out; }
    ~ReportTarget() { slot_ = old_; }
    ReportTarget(const ReportTarget&) = delete;
    ReportTarget& operator=(const ReportTarget&) = delete;

private:
    std::ostream*& slot_;
    std::ostream* old_;
};

}  // namespace

std::string shortValue(const nlohmann::json& value) {
    auto dump = [](const nlohmann::json& v) { return v.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace); };
    // A long text as its short form, still a JSON string so that the line reads as JSON (the
    // stand-in server keeps the long texts of old requests in this same form).
    if (value.is_string()) return dump(standin::shortText(value.get_ref<const std::string&>()));
    if (value.is_array() || value.is_object()) {
        // Each entry shortened; a long list shows its first entries and its size.
        constexpr size_t kEntries = 8;
        std::string out = value.is_array() ? "[" : "{";
        size_t count = 0;
        for (auto& [k, v] : value.items()) {
            if (count == kEntries) {
                std::string more = "... " + std::to_string(value.size()) + " entries";
                out += ", " + (value.is_object() ? std::string("\"...\": ") : std::string()) + nlohmann::json(more).dump();
                break;
            }
            out += (count ? ", " : "") + (value.is_object() ? nlohmann::json(k).dump() + ": " : "") + shortValue(v);
            ++count;
        }
        return out + (value.is_array() ? "]" : "}");
    }
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

bool splitWords(const std::string& line, std::vector<std::string>& words) {
    words.clear();
    std::string cur;
    bool inWord = false, quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                cur += line[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                cur += c;
            }
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (inWord) words.push_back(cur);
            cur.clear();
            inWord = false;
        } else {
            cur += c;
            inWord = true;
        }
    }
    if (quoted) return false;
    if (inWord) words.push_back(cur);
    return true;
}

std::vector<std::string> scriptOptions(const std::filesystem::path& script) {
    std::vector<std::string> out;
    std::ifstream in(script);
    std::string line;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.rfind("#!", 0) != 0) break;
        std::vector<std::string> words;
        if (!splitWords(line.substr(2), words)) break;
        for (auto& w : words) out.push_back(w);
    }
    return out;
}

Simulator::Simulator(SimulatorOptions options) : options_(std::move(options)) {}

Simulator::~Simulator() {
    watch_.stop();
    driver_.setStepObserver(nullptr);
    if (started_) {
        ui::resetForTests();
        foundation::dispatch::waitIdle(10);
        foundation::RunLoop::main().drain();
        foundation::RunLoop::main().reset();
        media::CameraScene::shared().reset();
        media::Microphone::shared().reset();
        media::Device::current().setOrientation(media::DeviceOrientation::Portrait);
        ScreenRegistry::reset();
        AppConfig::reset();
    }
    if (server_) server_->stop();
    if (ownsSandbox_ && !sandbox_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(sandbox_, ec);
    }
}

bool Simulator::start(std::string& error) {
    foundation::setLogEnabled(options_.log);
    if (!std::getenv("TZ")) {
        setenv("TZ", std::filesystem::exists("/usr/share/zoneinfo/Asia/Shanghai") ? "Asia/Shanghai" : "CST-8", 1);
        tzset();
    }

    auto& loop = foundation::RunLoop::main();
    loop.reset();
    loop.adoptCurrentThread();
    if (options_.manualClock) loop.setClock(std::make_shared<foundation::ManualClock>());
    ui::Screen::mainScreen().setSize({options_.screenWidth, options_.screenHeight});

    // The installation.
    if (options_.sandbox.empty()) {
        sandbox_ = foundation::Sandbox::makeTemporary("veskard-simulator");
        if (sandbox_.empty()) {
            error = "cannot make a temporary sandbox";
            return false;
        }
        ownsSandbox_ = true;
    } else {
        std::error_code ec;
        std::filesystem::create_directories(options_.sandbox, ec);
        if (!std::filesystem::is_directory(options_.sandbox)) {
            error = "cannot use " + options_.sandbox.string() + " as the sandbox";
            return false;
        }
        sandbox_ = std::filesystem::absolute(options_.sandbox);
        foundation::Sandbox::setRoot(sandbox_);
    }
    foundation::UserDefaults::standard().reload();
    std::filesystem::path resources = options_.resources.empty() ? VESKARD_RESOURCE_DIR : options_.resources;
    if (!std::filesystem::is_directory(resources)) {
        error = "no application bundle at " + resources.string();
        return false;
    }
    foundation::setBundleRoot(resources);

    // The phone's hardware.
    if (!options_.cameraFolder.empty()) {
        if (auto problem = media::CameraScene::folderProblem(options_.cameraFolder); !problem.empty()) {
            error = "--camera: " + problem + "; the camera needs a folder with at least one readable JPEG photo";
            return false;
        }
        media::CameraScene::shared().setFolder(options_.cameraFolder);
    }
    // The system picker takes its pictures with the same camera.
    media::installImagePickerCamera();
    if (!options_.microphoneWav.empty() && !media::Microphone::shared().setWavFile(options_.microphoneWav)) {
        error = "--microphone: " + options_.microphoneWav.string() + " is not a readable 16-bit PCM WAV file";
        return false;
    }
    // The server.
    StartupContext& context = context_;
    if (options_.server.empty()) {
        server_ = std::make_unique<standin::StandInServer>();
        if (!server_->start(0)) {
            error = "the stand-in server could not listen on 127.0.0.1";
            server_.reset();
            return false;
        }
        // A run may go through many cases: the request log keeps the photos and recordings of
        // the latest requests whole, and of older ones their parameters and listing.
        server_->setWholeBodyLimit(kWholeRequestBodies);
        if (options_.refuseUploads) server_->script("image", standin::Reply::rescode("201", "上传失败"));
        // The traffic police take about a minute to decide (long enough to chat), unless
        // "police-decide" asks them at once.
        server_->withState(
            [](standin::SimulatedState& state) { state.data["policeDecisionAfterPolls"] = kPolicePolls; });
        context.server.host = "127.0.0.1";
        context.server.port = server_->port();
    } else {
        std::string why;
        auto address = ServerAddress::parse(options_.server, why);
        if (!address) {
            error = "--server: " + why;
            return false;
        }
        context.server = *address;
    }
    serverAddress_ = context.server.origin();

    auto place = location::locationSimulation();
    place.coordinate = {options_.latitude, options_.longitude};
    location::setLocationSimulation(place);
    push::installRemoteNotificationRegistrar();

    context.accountUserId = options_.accountUserId;
    context.accountPhone = options_.accountPhone;
    context.noAccount = options_.noAccount;
    context.firstLaunch = options_.firstLaunch;
    context.placeholderOnly = options_.placeholderOnly;
    started_ = true;
    if (server_) watch_.setNewsSource([this] { return smsNews(); });
    return launch(error);
}

bool Simulator::launch(std::string& error) {
    if (!startApplication(context_, error)) return false;
    // A person's finger: the keyboard takes the touches on its part of the screen.
    driver_.setKeyboardTakesTouches(true);
    driver_.settle();
    watch_.start(driver_);
    driver_.setStepObserver([this] {
        if (reportTo_) watch_.report(*reportTo_);
    });
    return true;
}

Simulator::Result Simulator::relaunch() {
    // The application quits: its windows, timers, work in flight and what it held in memory
    // go. The sandbox, the server, the camera, the microphone and the position stay.
    watch_.stop();
    driver_.setStepObserver(nullptr);
    ui::resetForTests();
    ProgressHUD::resetForTesting();
    foundation::dispatch::waitIdle(10);
    auto& loop = foundation::RunLoop::main();
    loop.drain();
    loop.reset();
    loop.adoptCurrentThread();
    if (options_.manualClock) loop.setClock(std::make_shared<foundation::ManualClock>());
    foundation::NotificationCenter::defaultCenter().reset();
    UserDateSingleton::shareUserDateInstance().reset();
    ChatLog::shared().reset();
    FailedImageRetry::shared().reset();
    ScreenRegistry::reset();
    ui::Screen::mainScreen().setSize({options_.screenWidth, options_.screenHeight});
    media::installImagePickerCamera();
    push::installRemoteNotificationRegistrar();
    foundation::UserDefaults::standard().reload();
    // It opens again as a person reopens it: the first-launch guide was seen already.
    context_.firstLaunch = false;
    std::string error;
    if (!launch(error)) return failed("the application did not open again: " + error);
    driver_.settle();
    return ok("the application opened again on the same sandbox: " + driver_.topScreenName());
}

std::vector<std::string> Simulator::smsNews() {
    std::vector<std::string> lines;
    if (!server_) return lines;
    nlohmann::json sent;
    server_->withState(
        [&](standin::SimulatedState& state) { sent = state.data.value("sms", nlohmann::json::array()); });
    if (!sent.is_array()) return lines;
    for (size_t i = smsSeen_; i < sent.size(); ++i) {
        const auto& sms = sent[i];
        if (!sms.is_object()) continue;
        lines.push_back("[sms to " + sms.value("to", "?") + ": " + sms.value("text", "") + "]");
    }
    smsSeen_ = sent.size();
    return lines;
}

// ---- The commands -----------------------------------------------------------------------------

// One command line as the handlers read it.
struct Simulator::Line {
    std::string text;                // the whole line, trimmed
    std::vector<std::string> words;  // split as splitWords does; words[0] is the command
    std::ostream& out;

    size_t arguments() const { return words.size() - 1; }
    const std::string& arg(size_t i) const { return words[i + 1]; }
    std::vector<std::string> args() const { return {words.begin() + 1, words.end()}; }
    // The arguments from the i-th on, joined by single spaces.
    std::string joinedFrom(size_t i) const { return joined(words, i + 1); }
    // The line's own text after the command and `skip` arguments (JSON keeps its spaces and quotes).
    std::string rawAfter(size_t skip) const {
        size_t at = 0;
        for (size_t word = 0; word <= skip; ++word) {
            at = text.find_first_not_of(" \t", at);
            if (at == std::string::npos) return "";
            bool quoted = false;
            for (; at < text.size() && (quoted || (text[at] != ' ' && text[at] != '\t')); ++at) {
                if (text[at] == '\\' && quoted && at + 1 < text.size()) ++at;
                else if (text[at] == '"') quoted = !quoted;
            }
        }
        return trimmed(text.substr(std::min(at, text.size())));
    }
};

// The handlers, one per command; the table below names them.
struct Simulator::Commands {
    using Line = Simulator::Line;

    static Result help(Simulator&, const Line& l) {
        l.out << Simulator::help();
        return ok();
    }
    static Result quit(Simulator&, const Line&) { return {Status::Quit, ""}; }
    static Result screen(Simulator& s, const Line& l) { return s.screen(l.out); }
    static Result tap(Simulator& s, const Line& l) {
        if (l.arguments() < 1) return failed("tap needs the text of what to tap");
        s.driver_.settle();
        std::string text = l.joinedFrom(0);
        auto found = s.driver_.candidates(text);
        int which = 0;  // from 1; 0: the only one
        if (found.empty() && l.arguments() >= 2 && parseInt(l.words.back(), which) && which >= 1) {
            text = joined(std::vector<std::string>(l.words.begin(), l.words.end() - 1), 1);
            found = s.driver_.candidates(text);
        } else {
            which = 0;
        }
        if (found.empty()) return fromOutcome(s.driver_.tap(text));  // says what shows instead
        if (which == 0 && found.size() > 1)
            return failed(inQuotes(text) + " could mean " + std::to_string(found.size()) +
                          " controls; say which with tap " + text + " N:" + listed(found));
        if (static_cast<size_t>(which) > found.size())
            return failed(inQuotes(text) + " shows on " + std::to_string(found.size()) + " controls, not " +
                          std::to_string(which) + ":" + listed(found));
        return fromOutcome(s.driver_.tap(found[which == 0 ? 0 : static_cast<size_t>(which - 1)]));
    }
    static Result type(Simulator& s, const Line& l) {
        if (l.arguments() < 2) return failed("type needs a placeholder (or index) and the text");
        s.driver_.settle();
        const std::string& placeholder = l.arg(0);
        auto sharing = inReadingOrder(s.driver_.findAll(driver::ViewQuery::byPlaceholder(placeholder)));
        if (sharing.size() <= 1) return fromOutcome(s.driver_.type(placeholder, l.joinedFrom(1)));
        int which = 0;  // from 1
        if (l.arguments() >= 3 && parseInt(l.arg(1), which) && which >= 1) {
            if (static_cast<size_t>(which) > sharing.size())
                return failed(inQuotes(placeholder) + " is the placeholder of " + std::to_string(sharing.size()) +
                              " inputs, not " + std::to_string(which) + ":" + listed(sharing));
            return fromOutcome(s.driver_.type(sharing[static_cast<size_t>(which - 1)], l.joinedFrom(2)));
        }
        // A placeholder shows only while its input is empty: the one still showing it is meant.
        std::vector<std::shared_ptr<ui::View>> empty;
        for (const auto& input : sharing) {
            if (driver::content::text(*input).empty()) empty.push_back(input);
        }
        if (empty.size() == 1) return fromOutcome(s.driver_.type(empty.front(), l.joinedFrom(1)));
        return failed(inQuotes(placeholder) + " is the placeholder of " + std::to_string(sharing.size()) +
                      " inputs; say which with type " + placeholder + " N TEXT:" + listed(sharing));
    }
    // Candidates numbered from 1, one a line.
    static std::string listed(const std::vector<std::shared_ptr<ui::View>>& views) {
        std::string out;
        for (size_t i = 0; i < views.size(); ++i)
            out += "\n  " + std::to_string(i + 1) + ". " + driver::Driver::describeCandidate(*views[i]);
        return out;
    }
    static Result clear(Simulator& s, const Line& l) {
        if (l.arguments() != 1) return failed("clear needs the placeholder (or index) of one text input");
        return fromOutcome(s.driver_.clear(l.arg(0)));
    }
    static Result pick(Simulator& s, const Line& l) {
        int column = 0;
        if (l.arguments() < 3 || !parseInt(l.arg(1), column))
            return failed("pick needs the sheet's title (\"\" for the front-most picker), a column from 0 and the row's text");
        return fromOutcome(s.driver_.pick(l.arg(0), column, l.joinedFrom(2)));
    }
    static Result pressReturn(Simulator& s, const Line&) { return fromOutcome(s.driver_.pressReturn()); }
    static Result row(Simulator& s, const Line& l) {
        int section = 0, row = 0;
        if (l.arguments() != 2 || !parseInt(l.arg(0), section) || !parseInt(l.arg(1), row))
            return failed("row needs a section and a row number");
        return fromOutcome(s.driver_.selectRow(section, row));
    }
    static Result alert(Simulator& s, const Line& l) {
        if (l.arguments() < 1) return failed("alert needs the title of a button");
        return fromOutcome(s.driver_.answerAlert(l.joinedFrom(0)));
    }
    static Result back(Simulator& s, const Line&) { return fromOutcome(s.driver_.goBack()); }
    static Result page(Simulator& s, const Line& l) {
        int page = 0;
        if (l.arguments() != 1 || !parseInt(l.arg(0), page) || page < 0)
            return failed("page needs a page number (from 0)");
        return fromOutcome(s.driver_.page(page));
    }
    static Result scroll(Simulator& s, const Line& l) {
        double y = 0;
        if (l.arguments() != 1 || !parseDouble(l.arg(0), y) || std::fabs(y) > 1e6)
            return failed("scroll needs the content offset Y to scroll to");
        s.driver_.settle();
        auto table = s.driver_.find<ui::ScrollView>(driver::ViewQuery::byClass("TableView"));
        if (!table) table = s.driver_.find<ui::ScrollView>(driver::ViewQuery::byClass("ScrollView"));
        if (!table) return failed("no table or scroll view on the screen");
        return fromOutcome(s.driver_.scroll(table.view(), {table.view()->contentOffset().x, y}));
    }
    static Result draw(Simulator& s, const Line& l) { return s.draw(l.args()); }
    static Result hold(Simulator& s, const Line& l) { return s.hold(l.args()); }
    static Result takePhoto(Simulator& s, const Line& l) {
        if (l.arguments() > 1 || (l.arguments() == 1 && l.arg(0) != "cancel"))
            return failed("take-photo takes nothing or cancel");
        return s.pick(l.arguments() == 1);
    }
    static Result rotate(Simulator& s, const Line& l) {
        static const std::vector<std::pair<std::string, media::DeviceOrientation>> kinds{
            {"portrait", media::DeviceOrientation::Portrait},
            {"upside-down", media::DeviceOrientation::PortraitUpsideDown},
            {"landscape-left", media::DeviceOrientation::LandscapeLeft},
            {"landscape-right", media::DeviceOrientation::LandscapeRight},
            {"face-up", media::DeviceOrientation::FaceUp},
            {"face-down", media::DeviceOrientation::FaceDown}};
        for (auto& [word, orientation] : kinds) {
            if (l.arguments() == 1 && l.arg(0) == word) return fromOutcome(s.driver_.rotate(orientation));
        }
        return failed("rotate wants portrait, upside-down, landscape-left, landscape-right, face-up or face-down");
    }
    static Result wait(Simulator& s, const Line& l) {
        double seconds = 0;
        if (l.arguments() != 1 || !parseDouble(l.arg(0), seconds) || seconds < 0 || seconds > 86400)
            return failed("wait needs a number of seconds (0 to 86400)");
        s.driver_.wait(seconds);
        return ok();
    }
    static Result until(Simulator& s, const Line& l) {
        if (l.arguments() < 1) return failed("until needs a text");
        double seconds = 10;
        size_t last = l.words.size();
        if (l.arguments() >= 2 && parseDouble(l.words.back(), seconds)) {
            if (seconds < 0 || seconds > 86400) return failed("until: seconds must be 0 to 86400");
            last = l.words.size() - 1;
        }
        std::vector<std::string> textWords(l.words.begin(), l.words.begin() + static_cast<long>(last));
        auto o = s.driver_.waitForText(joined(textWords, 1), seconds);
        if (o) return ok();
        l.out << s.driver_.describeScreen();
        return {Status::Expectation, o.message()};
    }
    static Result untilUploaded(Simulator& s, const Line& l) {
        double seconds = 60;
        if (l.arguments() > 1 ||
            (l.arguments() == 1 && (!parseDouble(l.arg(0), seconds) || seconds < 0 || seconds > 86400)))
            return failed("until-uploaded takes a number of seconds (0 to 86400)");
        auto drained = [] { return FailedImageStore::count() == 0 && !FailedImageRetry::shared().roundUnderWay(); };
        if (s.driver_.waitUntil(drained, seconds)) return ok();
        return {Status::Expectation, std::to_string(FailedImageStore::count()) +
                                         " photo upload(s) still waiting after " +
                                         std::to_string(static_cast<long long>(seconds)) + " s"};
    }
    static Result expect(Simulator& s, const Line& l) {
        if (l.arguments() < 1) return failed("expect needs a text");
        return s.expect(l.joinedFrom(0), l.out);
    }
    static Result expectSide(Simulator& s, const Line& l) { return s.expectSide(l.args(), l.out); }
    static Result expectAnimation(Simulator& s, const Line& l) { return s.expectAnimation(l.args(), l.out); }
    static Result expectUrl(Simulator& s, const Line& l) {
        if (l.arguments() != 1) return failed("expect-url needs the URL");
        s.driver_.settle();
        const auto& urls = ui::Application::shared().openedURLs();
        if (std::find(urls.begin(), urls.end(), l.arg(0)) != urls.end()) return ok();
        std::string seen;
        for (const auto& url : urls) seen += " " + url;
        return {Status::Expectation, "the application did not open " + inQuotes(l.arg(0)) +
                                         " (opened:" + (seen.empty() ? std::string(" nothing") : seen) + ")"};
    }
    static Result push(Simulator& s, const Line& l) {
        std::string payload = l.rawAfter(0);
        if (payload.empty()) return failed("push needs a JSON payload");
        for (size_t at = payload.find(kServerToken); at != std::string::npos;
             at = payload.find(kServerToken, at + s.serverAddress_.size()))
            payload.replace(at, std::string(kServerToken).size(), s.serverAddress_);
        auto json = foundation::parseJson(payload);
        if (json.is_discarded()) return failed("push: not JSON (or nested too deeply): " + payload);
        return fromOutcome(s.driver_.deliverPush(json));
    }
    static Result open(Simulator& s, const Line& l) {
        if (l.arguments() < 1) return failed("open needs a screen name (and its arguments as JSON)");
        const std::string& name = l.arg(0);
        std::string rest = l.rawAfter(1);
        nlohmann::json arguments;
        if (!rest.empty()) {
            arguments = foundation::parseJson(rest);
            if (arguments.is_discarded()) return failed("open: the arguments are not JSON: " + rest);
        }
        if (!ScreenRegistry::isRegistered(name)) return failed("open: no screen is called " + name);
        if (rest.empty()) {
            auto described = ScreenRegistry::argumentsOf(name);
            if (!described.empty()) return ok(argumentList(name, described));
        }
        auto screen = ScreenRegistry::make(name, arguments);
        if (!screen) return failed("open: " + name + " refused its arguments (the error above says why)");
        auto navigation = app::currentNavigation();
        if (!navigation) return failed("open: no navigation to show " + name + " in");
        navigation->pushViewController(screen, true);
        s.driver_.finishTransitions();
        return ok();
    }
    // What `open NAME` without arguments prints: each argument, whether it is needed, what its
    // values mean, and an example that opens the screen.
    static std::string argumentList(const std::string& name, const std::vector<ScreenArguments::Described>& described) {
        std::string out = name + " takes these arguments (give them as JSON after the name):";
        nlohmann::json example = nlohmann::json::object();
        for (const auto& d : described) {
            std::string meaning;
            if (d.kind == "practice flag") {
                meaning = "1 a real case (sent to the server), 0 practice (nothing is sent)";
                example[d.key] = 1;
            } else if (d.kind == "flag") {
                meaning = "true or false";
                if (d.required) example[d.key] = false;
            } else if (d.kind == "text") {
                meaning = "a text";
                if (d.required)
                    example[d.key] = d.key.find("accidentno") != std::string::npos ? "BJ202612070001" : "TEXT";
            } else if (d.kind == "dictionary") {
                meaning = "a dictionary of the record's fields";
                if (d.required) example[d.key] = nlohmann::json::object();
            } else {
                meaning = "any value";
            }
            out += "\n  " + inQuotes(d.key) + "  " + meaning +
                   (d.required           ? " (needed)"
                    : d.fallback.empty() ? " (may be left out)"
                                         : " (left out: " + d.fallback + ")");
        }
        return out + "\ne.g. open " + name + " " + example.dump();
    }
    static Result requests(Simulator& s, const Line& l) {
        if (l.arguments() == 1 && l.arg(0) == "clear") {
            if (!s.server_) return failed("only the built-in stand-in server keeps a request log");
            foundation::RunLoop::main().drain();
            s.server_->clearRequests();
            return ok("the request log is empty; what is sent from now on is counted afresh");
        }
        if (l.arguments() != 0) return failed("requests takes nothing, or clear");
        return s.requests(l.out);
    }
    static Result policeDecide(Simulator& s, const Line& l) {
        if (!s.server_) return failed("only the built-in stand-in server has traffic police to ask");
        if (l.arguments() != 0) return failed("police-decide takes nothing");
        s.server_->withState([](standin::SimulatedState& state) { state.data["policeDecisionAfterPolls"] = 0; });
        return ok("the traffic police decide now: the next poll of the wait (or of the chat) brings their decision");
    }
    static Result practice(Simulator& s, const Line& l) {
        if (l.arguments() != 0) return failed("practice takes nothing");
        auto navigation = app::currentNavigation();
        if (!navigation) return failed("practice: no navigation to show the accident entry in");
        auto screen = ScreenRegistry::make("DangrousTipViewController", {{"simulateState", 0}});
        if (!screen) return failed("practice: the accident entry could not be made (the error above says why)");
        s.watch_.setPractice(true);
        navigation->pushViewController(screen, true);
        s.driver_.finishTransitions();
        return ok("a practice case: the same screens as a real case, on sample data; nothing is sent to the server");
    }
    static Result relaunch(Simulator& s, const Line& l) {
        if (l.arguments() != 0) return failed("relaunch takes nothing");
        return s.relaunch();
    }
    static Result expectRequest(Simulator& s, const Line& l) { return s.expectRequest(l.args()); }
    static Result expectCount(Simulator& s, const Line& l) { return s.expectCount(l.args()); }
    static Result serverData(Simulator& s, const Line& l) {
        if (!s.server_) return failed("only the built-in stand-in server can be told what to answer");
        if (l.arguments() < 2) return failed("server-data needs a key and a JSON value");
        auto rest = l.rawAfter(1);
        auto value = foundation::parseJson(rest);
        if (value.is_discarded()) return failed("server-data: not JSON: " + rest);
        s.server_->withState([&](standin::SimulatedState& state) { state.data[l.arg(0)] = value; });
        return ok();
    }
    static Result fault(Simulator& s, const Line& l) { return s.fault(l.args()); }
    static Result screenshot(Simulator& s, const Line& l) {
        if (l.arguments() != 1) return failed("screenshot needs one file name");
        return s.screenshot(l.arg(0));
    }
};

namespace {

// A command: its name, how it is written, what it does (a "\n" starts a further line of the
// explanation), its handler, and whether it runs before the application started.
struct CommandSpec {
    const char* name;
    const char* usage;
    const char* help;
    Simulator::Result (*run)(Simulator&, const Simulator::Line&);
    bool beforeStart = false;
};

using C = Simulator::Commands;

// Every command, in the order `help` lists them. `help`, the dispatcher and the header's
// comment all go by this table.
const std::vector<CommandSpec>& commandTable() {
    static const std::vector<CommandSpec> table{
        // Looking at the screen.
        {"screen", "screen", "print the visible screen, front-most alert or sheet first", C::screen},
        {"screenshot", "screenshot FILE", "write the screen as a PNG file", C::screenshot},
        // Touching it.
        {"tap", "tap TEXT [N]",
         "tap the visible control whose title, text or image name is TEXT (an image button by its "
         "image name); when TEXT shows on several, it lists them (top to bottom, with their rows) "
         "and N picks the N-th\ne.g. tap 处理 2",
         C::tap},
        {"type", "type PLACEHOLDER [N] TEXT",
         "type into the text input with that placeholder; when several inputs have it, N picks "
         "the N-th (top to bottom), and without N the only one still empty (still showing it) is "
         "meant, else they are listed. A number instead of the placeholder: the input at that "
         "index on the screen (from 0, top to bottom)\ne.g. type 请输入车牌号 2 B5678",
         C::type},
        {"clear", "clear PLACEHOLDER|INDEX", "empty that text input with the delete key\ne.g. clear 请输入驾驶人姓名",
         C::clear},
        {"return", "return", "press the return key of the input that has the keyboard", C::pressReturn},
        {"pick", "pick SHEET COLUMN TEXT",
         "turn the picker wheel in the sheet titled SHEET (\"\" for the front-most one), "
         "column from 0, to the row TEXT\ne.g. pick 号码 1 B",
         C::pick},
        {"row", "row SECTION ROW", "select a row of the visible table (both from 0)", C::row},
        {"alert", "alert BUTTON", "answer the alert or action sheet with its button", C::alert},
        {"back", "back", "the navigation bar's back button (or its left item)", C::back},
        {"page", "page N", "swipe the visible pager to page N (from 0)", C::page},
        {"scroll", "scroll Y",
         "scroll the visible table (or scroll view) to the content offset Y "
         "(0 the top; a larger value stops at the end)",
         C::scroll},
        {"draw", "draw [VIEW [N]] X1,Y1 X2,Y2 ...",
         "drag one finger through the points (a stroke): screen points, or with VIEW (a class "
         "name as screen shows it; N picks the N-th of several, top to bottom) points in that "
         "view, from its top-left corner on the screen\ne.g. draw SignView 160,100 160,400",
         C::draw},
        {"hold", "hold TEXT SECONDS [out]",
         "press what shows TEXT, keep the finger down for the time, then release it "
         "there (or, with out, drag it away and release outside)",
         C::hold},
        {"take-photo", "take-photo [cancel]",
         "the system camera picker on the screen takes a picture (or is cancelled)", C::takePhoto},
        {"rotate", "rotate ORIENTATION",
         "hold the phone portrait, upside-down, landscape-left, landscape-right, "
         "face-up or face-down",
         C::rotate},
        // Time.
        {"wait", "wait SECONDS", "let time pass", C::wait},
        {"until", "until TEXT [SECONDS]", "wait until TEXT shows (default 10 s)", C::until},
        {"until-uploaded", "until-uploaded [SECONDS]",
         "wait until no photo upload waits to be answered \"200\" (default 60 s)", C::untilUploaded},
        // What the phone receives.
        {"push", "push JSON",
         "deliver a push payload as the phone receives it ($SERVER in it stands for "
         "the server's address, http://HOST:PORT); the forms are listed below",
         C::push},
        {"open", "open SCREEN [JSON]",
         "push a screen by its registered name with its arguments; without them it lists the screen's "
         "arguments and what their values mean\n"
         "e.g. open ReportViewController {\"simualateState\":0}",
         C::open},
        // Checking.
        {"expect", "expect TEXT", "stop with an error unless TEXT or the top screen's class shows", C::expect},
        {"expect-side", "expect-side left|right TEXT",
         "stop with an error unless what shows TEXT (a text or an image name) lies "
         "nearer that side of the screen (a chat message, say)",
         C::expectSide},
        {"expect-animation", "expect-animation running|stopped TEXT",
         "stop with an error unless the image whose name contains TEXT is (or is not) "
         "animating\ne.g. expect-animation running leftvoice",
         C::expectAnimation},
        {"expect-url", "expect-url URL",
         "stop with an error unless the application opened the URL (a dialled number, "
         "say: telprompt:122)",
         C::expectUrl},
        // The stand-in server.
        {"requests", "requests [clear]",
         "the stand-in server's request log (long values shortened); clear forgets it, so that "
         "expect-count counts what is sent from then on",
         C::requests},
        {"expect-request", "expect-request PATHWORD [KEY=VALUE]...",
         "stop with an error unless such a request was sent (waits up to 5 s); KEY may "
         "reach into lists and objects\ne.g. expect-request dutyinfo dutylist.0.dutytpe=0",
         C::expectRequest},
        {"expect-count", "expect-count PATHWORD N [KEY=VALUE]...",
         "stop with an error unless exactly N such requests were sent (PATHWORD * counts every request)\n"
         "e.g. expect-count * 0",
         C::expectCount},
        {"police-decide", "police-decide",
         "the stand-in's traffic police decide the case now (on their own they take about a minute, "
         "time to chat): the police wait, or the chat, then shows \"交警给您发来事故责任认定意见,请接收\"",
         C::policeDecide},
        {"server-data", "server-data KEY JSON",
         "set what the stand-in server's default replies read\n"
         "e.g. server-data photoReview [\"pending\",\"reject\",\"accept\"]",
         C::serverData},
        {"fault", "fault PATHWORD KIND [COUNT]",
         "the stand-in server answers that path word with a fault, the next COUNT times "
         "(default: every time). KIND: refuse (\"201\"), error (HTTP 500), broken (not "
         "JSON), empty (no body), wrong (\"200\" with data of the wrong kind), drop (no "
         "answer, connection closed), hang (an answer after 90 s); fault off ends every fault",
         C::fault},
        // The application.
        {"practice", "practice",
         "start the practice walkthrough from the accident entry: the screens of a case on the "
         "application's sample data, sending nothing to the server (its screens are marked "
         "\"practice\")",
         C::practice},
        {"relaunch", "relaunch",
         "quit the application and open it again on the same sandbox, as a person reopens it: after "
         "the first-launch guide and its login page, the saved account opens the home page",
         C::relaunch},
        // The simulator itself.
        {"help", "help", "this text", C::help, true},
        {"quit", "quit", "leave (also: exit, or the end of the input)", C::quit, true},
        {"exit", "", "", C::quit, true},
    };
    return table;
}

const CommandSpec* findCommand(const std::string& name) {
    for (const auto& c : commandTable()) {
        if (name == c.name) return &c;
    }
    return nullptr;
}

}  // namespace

namespace {
// The explanation of a command in lines of at most `width` characters after `indent`; a "\n"
// in it starts a new line, and a line that starts "e.g. " (an example) is never broken.
std::string wrapped(const std::string& text, size_t indent, size_t width) {
    std::string out, line;
    auto flush = [&] {
        out += (out.empty() ? "" : "\n" + std::string(indent, ' ')) + line;
        line.clear();
    };
    std::istringstream paragraphs(text);
    std::string paragraph;
    while (std::getline(paragraphs, paragraph)) {
        if (paragraph.rfind("e.g. ", 0) == 0) {  // an example stays whole
            line = paragraph;
            flush();
            continue;
        }
        std::istringstream words(paragraph);
        std::string word;
        while (words >> word) {
            if (!line.empty() && ui::text::length(line) + 1 + ui::text::length(word) > width) flush();
            line += (line.empty() ? "" : " ") + word;
        }
        flush();
    }
    return out;
}
}  // namespace

std::string Simulator::help() {
    constexpr size_t kColumn = 34, kWidth = 96;
    std::string out = "commands (one per line; quote arguments with spaces: \"like this\"; # starts a comment):\n";
    for (const auto& c : commandTable()) {
        if (!*c.usage) continue;  // another name of a command listed
        std::string usage = std::string("  ") + c.usage;
        if (ui::text::length(usage) + 1 > kColumn) out += usage + "\n" + std::string(kColumn, ' ');
        else out += usage + std::string(kColumn - ui::text::length(usage), ' ');
        out += wrapped(c.help, kColumn, kWidth - kColumn) + "\n";
    }
    out +=
        "what the server pushes, ready to copy (the case number as the screen shows it):\n"
        "  a chat message:  push {\"aps\":{\"key\":\"MSG\",\"content\":{\"accidentno\":\"BJ202612070001\","
        "\"msgtype\":\"0\",\"content\":\"交警正在查看\"}}}\n"
        "  a voice message: push {\"aps\":{\"key\":\"MSG\",\"content\":{\"accidentno\":\"BJ202612070001\","
        "\"msgtype\":\"1\",\"content\":\"$SERVER/Veskard_mobile/voice/police.mp3\"}}}\n"
        "  a claim result:  push {\"aps\":{\"key\":\"ClAIMRESULT\",\"content\":{\"accidentno\":\"BJ202612070001\"}}}\n"
        "  a case notice:   push {\"aps\":{\"key\":\"ClAIM\",\"content\":{\"accidentno\":\"BJ202612070001\","
        "\"claimstate\":1}}}\n"
        "                   (claimstate 1 the loss estimate with \"撤销案件\", 2 the assessment centre, 0 or any\n"
        "                   other key the empty notice; the claim result notice opens by name:\n"
        "                   open NotificationInfoViewController {\"notiType\":3,\"accidentno\":\"BJ202612070001\"})\n"
        "after each command, and while time passes, what appeared or went is printed in brackets:\n"
        "  [screen: ...] [message: ...] [spinner: ...] [alert: ...] [sheet: ...] [call: ...] [sms to ...: ...]\n"
        "  [gone: ...]; a screen of a practice case says (practice: nothing is sent)\n";
    return out;
}

Simulator::Result Simulator::execute(const std::string& line, std::ostream& out) {
    ReportTarget target(reportTo_, out);
    auto result = perform(line, out);
    if (started_) watch_.report(out);
    return result;
}

Simulator::Result Simulator::perform(const std::string& rawLine, std::ostream& out) {
    Line line{trimmed(rawLine), {}, out};
    if (line.text.empty() || line.text[0] == '#') return ok();
    if (!splitWords(line.text, line.words)) return failed("unterminated quote in: " + line.text);
    if (line.words.empty()) return ok();
    const CommandSpec* command = findCommand(line.words[0]);
    if (!command) return failed("unknown command " + inQuotes(line.words[0]) + " (type help)");
    if (!command->beforeStart && !started_) return failed("the application has not started");
    return command->run(*this, line);
}

Simulator::Result Simulator::screen(std::ostream& out) {
    driver_.settle();
    if (watch_.practice()) out << "(a practice case: nothing is sent to the server)\n";
    out << driver_.describeScreen();
    return ok();
}

Simulator::Result Simulator::expect(const std::string& text, std::ostream& out) {
    driver_.settle();
    if (driver_.isOnScreen(text) || driver_.topScreenName() == text) return ok();
    out << driver_.describeScreen();
    return {Status::Expectation, "expected " + inQuotes(text) + " on the screen (top screen: " +
                                     (driver_.topScreenName().empty() ? "none" : driver_.topScreenName()) + ")"};
}

Simulator::Result Simulator::requests(std::ostream& out) {
    if (!server_) return failed("only the built-in stand-in server keeps a request log");
    foundation::RunLoop::main().drain();
    auto all = server_->requests();
    if (all.empty()) out << "(no requests)\n";
    for (size_t i = 0; i < all.size(); ++i) out << (i + 1) << ". " << requestLine(all[i]) << "\n";
    return ok();
}

Simulator::Result Simulator::expectRequest(const std::vector<std::string>& args) {
    if (!server_) return failed("only the built-in stand-in server keeps a request log");
    if (args.empty()) return failed("expect-request needs a path word");
    const std::string& pathWord = args[0];
    std::vector<std::pair<std::string, std::string>> wanted;
    for (size_t i = 1; i < args.size(); ++i) {
        auto eq = args[i].find('=');
        if (eq == std::string::npos || eq == 0) return failed("expect-request wants KEY=VALUE, not " + inQuotes(args[i]));
        wanted.emplace_back(args[i].substr(0, eq), args[i].substr(eq + 1));
    }
    auto matches = [&](const standin::RecordedRequest& r) {
        for (auto& [k, v] : wanted) {
            auto p = k.find('.') == std::string::npos ? r.param(k) : nestedParam(parameters(r), k);
            if (!p || *p != v) return false;
        }
        return true;
    };
    auto found = [&] {
        for (auto& r : server_->requests(pathWord)) {
            if (matches(r)) return true;
        }
        return false;
    };
    // The request may still be on its way: wait for it in real time (the clock stays).
    if (foundation::RunLoop::main().runUntil(found, requestWait_) || found()) return ok();
    std::string msg = "no " + pathWord + " request";
    if (!wanted.empty()) {
        msg += " with";
        for (auto& [k, v] : wanted) msg += " " + k + "=" + v;
    }
    auto same = server_->requests(pathWord);
    if (same.empty()) {
        msg += "; path words seen:";
        auto all = server_->requests();
        if (all.empty()) msg += " none";
        std::vector<std::string> seen;
        for (auto& r : all) {
            if (std::find(seen.begin(), seen.end(), r.pathWord) == seen.end()) seen.push_back(r.pathWord);
        }
        for (auto& s : seen) msg += " " + s;
    } else {
        msg += "; " + pathWord + " requests:";
        for (auto& r : same) msg += "\n  " + requestLine(r);
    }
    return {Status::Expectation, msg};
}

Simulator::Result Simulator::draw(std::vector<std::string> args) {
    driver_.settle();
    // Screen points; or, after a view's class name (and which of several), points in that view.
    std::shared_ptr<ui::View> on;
    ui::Point point;
    if (!args.empty() && !parsePoint(args.front(), point)) {
        const std::string name = args.front();
        args.erase(args.begin());
        int which = 0;  // from 1; 0: the only one
        if (!args.empty() && args.front().find(',') == std::string::npos) {
            if (!parseInt(args.front(), which) || which < 1)
                return failed("draw wants a view's class name, which of them (from 1) and points X,Y; not " +
                              inQuotes(args.front()));
            args.erase(args.begin());
        }
        auto views = inReadingOrder(driver_.findAll(driver::ViewQuery::byClass(name)));
        if (views.empty()) return failed("no visible " + name + " on the screen to draw on");
        if (which == 0 && views.size() > 1)
            return failed(name + " could mean " + std::to_string(views.size()) + " views; say which with draw " + name +
                          " N X,Y ...:" + Commands::listed(views));
        if (static_cast<size_t>(which) > views.size())
            return failed(std::to_string(views.size()) + " " + name + " views show, not " + std::to_string(which) + ":" +
                          Commands::listed(views));
        on = views[which == 0 ? 0 : static_cast<size_t>(which - 1)];
    }
    if (args.size() < 2) return failed("draw needs two or more points X,Y");
    std::vector<ui::Point> points;
    for (const auto& word : args) {
        if (!parsePoint(word, point)) return failed("draw wants points as X,Y, not " + inQuotes(word));
        if (on) {
            // From the corner the screen shows top-left, whichever way the view is turned (a
            // turned view's corner, a hair off the point it lies on, is read as that point).
            const ui::Rect turned = on->convertRectToView(on->bounds(), nullptr);
            auto snapped = [](double v) {
                double near = std::round(v * 64) / 64;
                return std::fabs(v - near) < 1e-9 ? near : v;
            };
            const ui::Rect frame(snapped(turned.x()), snapped(turned.y()), snapped(turned.width()),
                                 snapped(turned.height()));
            if (point.x < 0 || point.y < 0 || point.x > frame.width() || point.y > frame.height()) {
                std::ostringstream size;
                size << frame.width() << "x" << frame.height();
                return failed(word + " lies outside " + on->className() + " (" + size.str() +
                              " points on the screen; points in a view count from its top-left corner)");
            }
            point = {frame.x() + point.x, frame.y() + point.y};
        }
        points.push_back(point);
    }
    auto down = driver_.touchDown(points.front());
    if (!down) return failed(down.error());
    // Each leg in a few moves, as a finger reports them.
    constexpr int kMovesPerLeg = 4;
    for (size_t i = 1; i < points.size(); ++i) {
        for (int step = 1; step <= kMovesPerLeg; ++step) {
            double t = double(step) / kMovesPerLeg;
            auto o = driver_.touchMove({points[i - 1].x + (points[i].x - points[i - 1].x) * t,
                                        points[i - 1].y + (points[i].y - points[i - 1].y) * t});
            if (!o) return failed(o.message());
        }
    }
    return fromOutcome(driver_.touchUp(points.back()));
}

Simulator::Result Simulator::hold(std::vector<std::string> args) {
    bool outside = !args.empty() && args.back() == "out";
    if (outside) args.pop_back();
    double seconds = 0;
    if (args.size() < 2 || !parseDouble(args.back(), seconds) || seconds < 0 || seconds > 600)
        return failed("hold needs the text of what to press and a number of seconds (0 to 600), then maybe out");
    args.pop_back();
    std::string text = joined(args, 0);
    driver_.settle();
    auto found = driver_.findByText(text);
    if (!found) return failed(found.error());
    auto view = found.view();
    ui::Point centre = view->convertPointToView(view->bounds().center(), nullptr);
    auto down = driver_.touchDown(centre);
    if (!down) return failed(down.error());
    driver_.wait(seconds);
    if (outside) {
        ui::Point away{centre.x, centre.y - view->bounds().height() - 100};
        auto moved = driver_.touchMove(away);
        if (!moved) return failed(moved.message());
        return fromOutcome(driver_.touchUp(away));
    }
    return fromOutcome(driver_.touchUp(centre));
}

Simulator::Result Simulator::fault(const std::vector<std::string>& args) {
    if (!server_) return failed("only the built-in stand-in server can be told to answer with faults");
    if (args.size() == 1 && args[0] == "off") {
        server_->clearScripts();
        // A run may go through many cases: the request log keeps the photos and recordings of
        // the latest requests whole, and of older ones their parameters and listing.
        server_->setWholeBodyLimit(kWholeRequestBodies);
        if (options_.refuseUploads) server_->script("image", standin::Reply::rescode("201", "上传失败"));
        return ok();
    }
    int count = -1;
    if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && (!parseInt(args[2], count) || count < 1)))
        return failed("fault needs a path word, a kind and, if you like, a count from 1 (or: fault off)");
    const std::string& kind = args[1];
    standin::Reply reply;
    if (kind == "refuse") {
        reply = standin::Reply::rescode("201", "服务器拒绝了请求");
    } else if (kind == "error") {
        reply = standin::Reply::raw("<html><body>500 Internal Server Error</body></html>", 500);
        reply.contentType = "text/html";
    } else if (kind == "broken") {
        reply = standin::Reply::raw("{\"rescode\":\"200\",\"data\":[{\"");
    } else if (kind == "empty") {
        reply = standin::Reply::raw("");
    } else if (kind == "wrong") {
        reply = standin::Reply::json({{"rescode", "200"}, {"resdes", "成功"}, {"data", "不是列表"}, {"list", 7},
                                      {"url", nlohmann::json::array()}, {"state", nlohmann::json::object()}});
    } else if (kind == "drop") {
        reply = standin::Reply::dropped();
    } else if (kind == "hang") {
        reply = standin::Reply::delayed(90, {{"rescode", "200"}, {"resdes", "成功"}});
    } else {
        return failed("fault: unknown kind " + inQuotes(kind) + " (refuse, error, broken, empty, wrong, drop, hang)");
    }
    if (count < 0) {
        server_->script(args[0], reply);
    } else {
        for (int i = 0; i < count; ++i) server_->scriptOnce(args[0], reply);
    }
    return ok();
}

Simulator::Result Simulator::expectSide(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() < 2 || (args[0] != "left" && args[0] != "right"))
        return failed("expect-side needs left or right and the text (or image name) of what to look at");
    const bool left = args[0] == "left";
    const std::string text = joined(args, 1);
    driver_.settle();
    auto found = driver_.find(driver::ViewQuery::byContent(text));
    if (!found) {
        out << driver_.describeScreen();
        return {Status::Expectation, found.error()};
    }
    auto view = found.view();
    const ui::Rect frame = view->convertRectToView(view->bounds(), nullptr);
    const double width = ui::Screen::mainScreen().bounds().width();
    // The side whose edge it lies nearer: its left margin against its right margin.
    const double leftMargin = frame.x(), rightMargin = width - frame.maxX();
    if (left ? leftMargin < rightMargin : rightMargin < leftMargin) return ok();
    out << driver_.describeScreen();
    return {Status::Expectation, inQuotes(text) + " lies nearer the " + (left ? "right" : "left") +
                                     " side (" + std::to_string(static_cast<long long>(leftMargin)) +
                                     " points from the left edge, " +
                                     std::to_string(static_cast<long long>(rightMargin)) + " from the right)"};
}

Simulator::Result Simulator::expectAnimation(const std::vector<std::string>& args, std::ostream& out) {
    if (args.size() < 2 || (args[0] != "running" && args[0] != "stopped"))
        return failed("expect-animation needs running or stopped and a part of an image's name");
    const bool running = args[0] == "running";
    const std::string part = joined(args, 1);
    driver_.settle();
    driver::ViewQuery query;
    query.where = [&part](const ui::View& v) {
        return dynamic_cast<const ui::ImageView*>(&v) &&
               driver::content::imageName(v).find(part) != std::string::npos;
    };
    auto images = driver_.findAll<ui::ImageView>(query);
    if (images.empty()) {
        out << driver_.describeScreen();
        return {Status::Expectation, "no image whose name contains " + inQuotes(part) + " on the screen"};
    }
    for (const auto& image : images) {
        if (image->isAnimating() == running) return ok();
    }
    return {Status::Expectation, "the image " + inQuotes(driver::content::imageName(*images.front())) +
                                     (running ? " is not animating" : " is still animating")};
}

Simulator::Result Simulator::expectCount(const std::vector<std::string>& args) {
    if (!server_) return failed("only the built-in stand-in server keeps a request log");
    int wantedCount = 0;
    if (args.size() < 2 || !parseInt(args[1], wantedCount) || wantedCount < 0)
        return failed("expect-count needs a path word and a number of requests");
    const std::string& pathWord = args[0];
    std::vector<std::pair<std::string, std::string>> wanted;
    for (size_t i = 2; i < args.size(); ++i) {
        auto eq = args[i].find('=');
        if (eq == std::string::npos || eq == 0) return failed("expect-count wants KEY=VALUE, not " + inQuotes(args[i]));
        wanted.emplace_back(args[i].substr(0, eq), args[i].substr(eq + 1));
    }
    auto matching = [&] {
        size_t n = 0;
        for (auto& r : pathWord == "*" ? server_->requests() : server_->requests(pathWord)) {
            bool all = true;
            for (auto& [k, v] : wanted) {
                auto p = r.param(k);
                if (!p || *p != v) all = false;
            }
            if (all) ++n;
        }
        return n;
    };
    auto target = static_cast<size_t>(wantedCount);
    // Requests may still be on their way: wait for the count in real time (the clock stays).
    foundation::RunLoop::main().runUntil([&] { return matching() >= target; }, requestWait_);
    size_t seen = matching();
    if (seen == target) return ok();
    std::string msg = std::to_string(seen) + " " + pathWord + " request(s)";
    for (auto& [k, v] : wanted) msg += " " + k + "=" + v;
    msg += ", expected " + std::to_string(wantedCount);
    for (auto& r : pathWord == "*" ? server_->requests() : server_->requests(pathWord)) msg += "\n  " + requestLine(r);
    return {Status::Expectation, msg};
}

Simulator::Result Simulator::pick(bool cancel) {
    driver_.settle();
    // The picker is the screen presented last.
    std::shared_ptr<ui::ViewController> screen = driver_.topScreen();
    std::shared_ptr<ui::ImagePickerController> picker;
    for (auto s = screen; s && !picker; s = s->parentViewController())
        picker = std::dynamic_pointer_cast<ui::ImagePickerController>(s);
    if (!picker) return failed("no camera picker on the screen");
    if (cancel) {
        picker->cancel();
    } else if (!picker->takePicture()) {
        return failed("the picker's camera took no picture");
    }
    driver_.settle();
    return ok();
}

Simulator::Result Simulator::screenshot(const std::string& file) {
    auto image = driver_.screenshot();
    if (!image) return failed("the screen could not be drawn");
    std::string png = image->pngData();
    if (png.empty()) return failed("the screen could not be encoded as PNG");
    if (!foundation::files::writeAtomically(file, png)) return failed("cannot write " + file);
    return ok("wrote " + file + " (" + std::to_string(image->pixelWidth()) + "x" + std::to_string(image->pixelHeight()) +
              " pixels)");
}

namespace {
// Waits for a line on standard input while the run loop turns (the application's timers and
// server replies keep coming while a person reads the screen); `turned` runs after each turn.
bool waitForInput(std::istream& in, bool turnLoop, const std::function<void()>& turned) {
    if (!turnLoop || &in != &std::cin) return true;
    auto& loop = foundation::RunLoop::main();
    while (true) {
        if (std::cin.rdbuf()->in_avail() > 0) return true;
        pollfd p{STDIN_FILENO, POLLIN, 0};
        int r = ::poll(&p, 1, 50);
        if (r != 0) return true;
        if (loop.manualClock()) loop.drain();
        else loop.runFor(0.001);
        turned();
    }
}
}  // namespace

int Simulator::run(std::istream& in, std::ostream& out, bool interactive) {
    bool echo = options_.echo.value_or(!interactive);
    bool failedAny = false, expectationFailed = false;
    std::string line;
    while (true) {
        if (interactive) out << "> " << std::flush;
        bool told = false;
        if (!waitForInput(in, interactive, [&] {
                if (!started_) return;
                std::ostringstream news;
                driver_.settle();
                watch_.report(news);
                if (news.str().empty()) return;
                out << (told ? "" : "\n") << news.str() << std::flush;
                told = true;
            })) {
            break;
        }
        if (told) out << "> " << std::flush;
        if (!std::getline(in, line)) break;
        std::string t = trimmed(line);
        if (t.empty() || t[0] == '#') continue;
        if (echo) out << "> " << t << "\n";
        Result r;
        {
            ReportTarget target(reportTo_, out);
            r = perform(t, out);
        }
        if (r.status == Status::Quit) break;
        if (r.status == Status::Ok) {
            if (!r.message.empty()) out << "  " << r.message << "\n";
        } else {
            out << "error: " << r.message << "\n";
            failedAny = true;
            if (r.status == Status::Expectation) expectationFailed = true;
            if (!interactive) {
                if (started_) watch_.report(out);
                out << std::flush;
                return 1;
            }
        }
        if (started_) watch_.report(out);
        out << std::flush;
    }
    if (interactive) return expectationFailed ? 1 : 0;
    return failedAny ? 1 : 0;
}

}  // namespace simulator
