#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "tools/server/ServerConfig.h"

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace standin {

// One request as the server saw it.
struct RecordedRequest {
    std::string method;     // "GET" or "POST"
    std::string pathWord;   // the operation: what follows the base path
    nlohmann::json query = nlohmann::json::object();  // query parameters, decoded UTF-8 strings
    nlohmann::json body;    // the parsed JSON body, or null when absent or not JSON
    std::string rawBody;

    // A parameter from the query or, failing that, the body (numbers as their decimal text).
    std::optional<std::string> param(const std::string& name) const;
};

// Keeps the replies made with it (Reply::held) until it is opened. A test reads what a screen
// shows while its request is on the way, then opens the gate; no answer can land before.
class ReplyGate {
public:
    // Lets every reply held by this gate go, now and later.
    void open();
    bool isOpen() const;
    // Waits at most `seconds` for the gate to open; whether it is open.
    bool waitOpen(double seconds) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable opened_;
    bool open_ = false;
};

// What the server answers.
struct Reply {
    int status = 200;
    nlohmann::json body;                 // sent as JSON unless rawBody is set; null sends nothing
    std::optional<std::string> rawBody;  // sent as it is (a broken body, for example)
    std::string contentType = "application/json;charset=UTF-8";  // of a raw body
    double delaySeconds = 0;             // real time before answering
    bool drop = false;                   // close the connection without answering
    std::shared_ptr<ReplyGate> gate;     // answered once it opens (dropped if the server stops first)

    static Reply json(nlohmann::json body, int status = 200);
    static Reply raw(std::string bytes, int status = 200);
    static Reply dropped();
    static Reply delayed(double seconds, nlohmann::json body);
    static Reply held(std::shared_ptr<ReplyGate> gate, Reply reply);
    // {"rescode": code, "resdes": description} plus the fields of `extra`.
    static Reply rescode(const std::string& code, const std::string& description,
                         const nlohmann::json& extra = nlohmann::json::object());
};

using ReplyHandler = std::function<Reply(const RecordedRequest&)>;

// What the default replies remember between requests. Read and change it through
// StandInServer::withState, which holds the lock.
struct SimulatedState {
    std::string userid = kDemoUserId;
    std::string phone = kDemoPhone;
    int accidentCounter = 0;
    // Free storage for the default replies of each area (cases, messages, ...).
    nlohmann::json data = nlohmann::json::object();

    // The record of case `number` under data["cases"], made (as an object) when missing.
    nlohmann::json& caseRecord(const std::string& number);
};

// A count kept in the state: the number, or 0 when it is not a whole number.
inline int counter(const nlohmann::json& value) { return value.is_number_integer() ? value.get<int>() : 0; }

// The stand-in of the accident server on 127.0.0.1 for the tests and the simulator.
// Answers GET and POST under /Veskard_mobile/mobile/standard/<path word>, records every
// request, and replies as scripted per path word; otherwise with the path word's default
// reply; otherwise {"rescode":"200","resdes":"成功"}. Voice files are fetched with GET under
// /Veskard_mobile/voice/<name>, recorded and scripted under the path word "voice/<name>"; a
// name nothing serves is answered 404. A request that carries both "userid" and
// "sn" with a wrong signature is answered {"rescode":"401","resdes":"签名错误"}.
class StandInServer {
public:
    StandInServer();                           // with the default replies installed
    explicit StandInServer(bool installDefaults);
    ~StandInServer();
    StandInServer(const StandInServer&) = delete;
    StandInServer& operator=(const StandInServer&) = delete;

    // Starts listening on 127.0.0.1 (port 0: a free port) on its own thread.
    bool start(int port = 0);
    void stop();
    bool isRunning() const;
    int port() const;
    std::string baseURL() const;  // "http://127.0.0.1:PORT/Veskard_mobile/mobile/standard/"
    // "http://127.0.0.1:PORT/Veskard_mobile/voice/<name>".
    std::string voiceURL(const std::string& name) const;
    // Serves `mp3` (sent as audio/mpeg) under that voice file name from now on.
    void serveVoice(const std::string& name, std::string mp3);

    // Recorded requests, in arrival order.
    std::vector<RecordedRequest> requests() const;
    std::vector<RecordedRequest> requests(const std::string& pathWord) const;
    std::optional<RecordedRequest> lastRequest(const std::string& pathWord) const;
    size_t count(const std::string& pathWord) const;
    void clearRequests();
    // What a long run keeps of its requests. Every request stays recorded; the bodies of the
    // latest ones are kept whole while their raw bodies come to at most `bytes` together (the
    // newest is always whole). An older request loses its raw body, and each text in its query
    // and body longer than kLongText (a photo, a recording) becomes its short form (shortText):
    // its other parameters, its place in the counts and its listing stay as they were.
    // Unlimited unless set.
    void setWholeBodyLimit(size_t bytes);
    static constexpr size_t kLongText = 1024;
    // Waits (real time) until `n` requests for the path word have arrived.
    bool waitForRequests(const std::string& pathWord, size_t n, double limitSeconds = 10.0) const;

    // Scripts. One-shot replies are used first, in order; then the handler or persistent reply.
    void script(const std::string& pathWord, Reply reply);
    void scriptOnce(const std::string& pathWord, Reply reply);
    void scriptHandler(const std::string& pathWord, ReplyHandler handler);
    void clearScripts();

    // Default replies (see Defaults.cpp).
    void registerDefault(const std::string& pathWord, ReplyHandler handler);
    void clearDefaults();
    bool hasDefault(const std::string& pathWord) const;

    // The simulated state, under its lock.
    void withState(const std::function<void(SimulatedState&)>& f);
    SimulatedState stateSnapshot() const;
    // A fresh accident number: "BJ20261207" followed by the next four-digit counter.
    std::string nextAccidentNumber();

    // The link between the clients and the server, for request bodies (uploads). A rate above 0
    // lets every connection together read at most that many bytes per second; a drop limit of
    // 0 or more closes a connection without a reply once its body goes beyond that many bytes
    // (the request is not recorded: it never arrived whole).
    struct Link {
        double bytesPerSecond = 0;
        long long dropAfterBytes = -1;
    };
    void setLink(Link link);
    Link link() const;
    // Uploads closed by the drop limit (or by a stop) before their body arrived whole.
    size_t cutUploads() const;

    // Answers one request (what the HTTP handler calls; public for the program's own use).
    Reply answer(const RecordedRequest& request);

private:
    static bool wronglySigned(const RecordedRequest& request);
    // The next one-off reply for the path word, if any (under mutex_).
    std::optional<Reply> takeOnce(const std::string& pathWord);
    void installRoutes();
    void handle(const std::string& method, const std::string& pathWord, const httplib::Request& req,
                httplib::Response& res, const std::string& body);
    // Takes one chunk of a request body through the link; false stops the reading (`cut`).
    bool receive(std::string& body, const char* data, size_t length, bool& cut);
    bool sleepUnlessStopping(double seconds);

    struct Http;
    std::unique_ptr<Http> http_;
    std::thread thread_;
    int port_ = 0;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopping_ = false;
    std::vector<RecordedRequest> requests_;
    size_t wholeBodyLimit_ = SIZE_MAX;
    size_t wholeBodyBytes_ = 0;  // of the raw bodies of requests_[firstWhole_...]
    size_t firstWhole_ = 0;
    Link link_;
    std::chrono::steady_clock::time_point linkFreeAt_{};
    size_t cutUploads_ = 0;
    std::map<std::string, std::deque<Reply>> once_;
    std::map<std::string, Reply> persistent_;
    std::map<std::string, ReplyHandler> handlers_;
    std::map<std::string, ReplyHandler> defaults_;

    mutable std::mutex stateMutex_;
    SimulatedState state_;
};

// A text as a list of requests shows it: the text itself up to 80 bytes; a longer one as
// "<JPEG photo, N characters of Base64>" or "<PNG picture, N characters of Base64>" when it is
// one, else as its first (at most) 60 bytes of whole characters followed by "... (N bytes)".
std::string shortText(const std::string& text);

// Installs the default reply of every path word the application uses (Defaults*.cpp).
void registerDefaults(StandInServer& server);

// About `seconds` (at most 600) of a speaking voice as MP3: 44.1 kHz stereo, the encoder's
// default variable bit rate, the same every time.
std::string spokenVoiceMP3(double seconds);

// The push the accident server sends when the claim state of a case changes: key "ClAIM", the
// case number and "claimstate": 0 nothing to tell, 1 the loss is being estimated, 2 the loss must
// be assessed at the insurer's centre.
nlohmann::json claimNoticePush(const std::string& accidentno, int claimstate);

}  // namespace standin
