#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace simulator {

// The command line of the simulator.
struct SimulatorOptions {
    // A script of commands to run (empty: read the terminal or standard input).
    std::filesystem::path script;
    // The installation's directory (empty: a fresh temporary one, removed at exit).
    std::filesystem::path sandbox;
    // A real accident server, as "SCHEME://HOST:PORT" whatever way it was written (empty: the
    // built-in stand-in server).
    std::string server;
    // The saved account: user id and phone number. Without it a demonstration account is
    // saved unless the sandbox already holds one; noAccount starts logged out.
    std::optional<std::string> accountUserId;
    std::optional<std::string> accountPhone;
    bool noAccount = false;
    // Where the phone is: longitude and latitude (default: Tian'anmen, Beijing).
    double longitude = 116.397;
    double latitude = 39.908;
    // The phone's screen in points (portrait): 320 x 568 unless asked otherwise.
    double screenWidth = 320;
    double screenHeight = 568;
    // The camera's pictures: a folder of JPEG files taken in turn (empty: generated pictures).
    std::filesystem::path cameraFolder;
    // What the microphone hears: a 16-bit PCM WAV file (empty: a steady tone).
    std::filesystem::path microphoneWav;
    // The application bundle (empty: the build's resources directory).
    std::filesystem::path resources;
    // The built-in stand-in server answers every photo upload "201" (refused).
    bool refuseUploads = false;
    // Time moves only with "wait" and "until" (a manual clock) instead of running in real time.
    bool manualClock = false;
    // Start as after a fresh install (the first-launch guide shows).
    bool firstLaunch = false;
    // Only the placeholder screen instead of the application (walks of the simulator itself).
    bool placeholderOnly = false;
    // Echo each command before its result (default: on for scripts, off at a terminal).
    std::optional<bool> echo;
    // Platform diagnostics on standard error.
    bool log = false;
};

// Parses the arguments (argv[0] excluded). On failure returns nullopt and sets `error`;
// `--help` returns nullopt with an empty error and sets `help`.
// A whole finite decimal number, nothing before or after it.
bool parseDouble(const std::string& s, double& out);

std::optional<SimulatorOptions> parseOptions(const std::vector<std::string>& args, std::string& error, bool& help);

// The usage text.
std::string usage(const std::string& program);

}  // namespace simulator
