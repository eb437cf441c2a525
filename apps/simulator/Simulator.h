#pragma once
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "apps/simulator/AppStartup.h"
#include "apps/simulator/ScreenWatch.h"
#include "apps/simulator/SimulatorOptions.h"
#include "platform/testing/Driver.h"

namespace standin {
class StandInServer;
}

namespace simulator {

// The command interpreter of the simulator: prepares the phone (sandbox, clock, server,
// camera, microphone, position), starts the application and runs commands against it.
//
// Commands come one per line ("#" starts a comment; arguments with spaces in double quotes).
// They are listed once, in the command table of Simulator.cpp, with how each is written, what
// it does and its handler: `help()` prints that table and the dispatcher reads it.
// After each command, and while "wait" and "until" let time pass, it prints what appeared or
// went (see ScreenWatch): the new top screen, messages and spinners, alerts and sheets, calls.
class Simulator {
public:
    // Results of one command.
    // Expectation: an "expect", "until" or "expect-request" that did not hold.
    enum class Status { Ok, Failed, Expectation, Quit };
    struct Result {
        Status status = Status::Ok;
        std::string message;
    };

    explicit Simulator(SimulatorOptions options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Prepares the phone and starts the application. False (and `error`) when it could not.
    bool start(std::string& error);

    // Runs one command line; prints what it shows, and what appeared or went meanwhile, to `out`.
    Result execute(const std::string& line, std::ostream& out);

    // Runs commands from `in` until its end or "quit". In a script (not interactive) the
    // first failing command ends the run; at the terminal failures are printed and the next
    // command read. Returns the exit status: in a script 0 when every command held; at the
    // terminal 1 when an expectation failed ("expect", "until", "expect-request"), else 0.
    int run(std::istream& in, std::ostream& out, bool interactive);

    driver::Driver& driver() { return driver_; }
    // How long "expect-request" waits in real time for a request still on its way (5 s).
    void setRequestWait(double seconds) { requestWait_ = seconds; }
    standin::StandInServer* server() { return server_.get(); }
    const std::filesystem::path& sandbox() const { return sandbox_; }

    // The commands and what they do.
    static std::string help();

    // One command line as the handlers read it, and the handlers (defined with the table).
    struct Line;
    struct Commands;

private:
    Result perform(const std::string& line, std::ostream& out);
    Result screen(std::ostream& out);
    Result expect(const std::string& text, std::ostream& out);
    Result requests(std::ostream& out);
    Result expectRequest(const std::vector<std::string>& args);
    Result expectCount(const std::vector<std::string>& args);
    Result fault(const std::vector<std::string>& args);
    Result pick(bool cancel);
    Result screenshot(const std::string& file);
    Result draw(std::vector<std::string> args);
    Result hold(std::vector<std::string> args);
    Result expectSide(const std::vector<std::string>& args, std::ostream& out);
    Result expectAnimation(const std::vector<std::string>& args, std::ostream& out);
    // Quits the application and opens it again on the same sandbox, server and phone.
    Result relaunch();
    // Starts the application with the context `start` prepared, and the watch on it.
    bool launch(std::string& error);
    // The SMS the stand-in server sent since the last look: "[sms to 139...: 123456]".
    std::vector<std::string> smsNews();

    SimulatorOptions options_;
    driver::Driver driver_;
    std::unique_ptr<standin::StandInServer> server_;
    std::string serverAddress_;  // "SCHEME://HOST:PORT", what $SERVER in a push stands for
    std::filesystem::path sandbox_;
    bool ownsSandbox_ = false;
    bool started_ = false;
    double requestWait_ = 5.0;
    ScreenWatch watch_;
    StartupContext context_;
    size_t smsSeen_ = 0;
    std::ostream* reportTo_ = nullptr;  // where the watch reports while a command runs
};

// A request parameter's value as the "requests" list shows it: long texts shortened, a
// photo (Base64 JPEG or PNG) as its kind and length.
std::string shortValue(const nlohmann::json& value);

// Splits a command line into words: spaces separate, double quotes group (a backslash
// before a quote or a backslash inside quotes keeps it). False for an unterminated quote.
bool splitWords(const std::string& line, std::vector<std::string>& words);

// Reads the options a script asks for in its leading "#!" lines ("#! --no-account"), so
// that a walk runs the same however it is started.
std::vector<std::string> scriptOptions(const std::filesystem::path& script);

}  // namespace simulator
