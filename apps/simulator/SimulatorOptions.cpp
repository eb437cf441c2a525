#include "apps/simulator/SimulatorOptions.h"

#include <cerrno>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "core/ServerAddress.h"

namespace simulator {

bool parseDouble(const std::string& s, double& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(s.c_str(), &end);
    if (errno != 0 || !end || *end != '\0' || !std::isfinite(v)) return false;
    out = v;
    return true;
}


namespace {

bool validUserId(const std::string& s) {
    if (s.empty() || s.size() > 64) return false;
    for (unsigned char c : s) {
        if (!std::isalnum(c) && c != '_' && c != '-') return false;
    }
    return true;
}

bool validPhone(const std::string& s) {
    if (s.empty() || s.size() > 20) return false;
    for (unsigned char c : s) {
        if (!std::isdigit(c) && c != '+') return false;
    }
    return true;
}

}  // namespace

std::string usage(const std::string& program) {
    return "usage: " + program +
           " [options] [SCRIPT]\n"
           "\n"
           "Runs the application on the headless phone and reads commands, one per line, from\n"
           "SCRIPT or the terminal (type \"help\" for the commands).\n"
           "\n"
           "options:\n"
           "  --sandbox DIR           the installation's directory (default: a new temporary one)\n"
           "  --server [http[s]://]HOST[:PORT]\n"
           "                          a real accident server (default: the built-in stand-in server;\n"
           "                          http and port 8091 unless written)\n"
           "  --account USERID[:PHONE] the saved account (default: the demonstration account)\n"
           "  --no-account            start without a saved account\n"
           "  --position LON,LAT      where the phone is (default: 116.397,39.908, Beijing)\n"
           "  --screen WxH            the screen in points, portrait (default: 320x568; 375x667 the larger phone)\n"
           "  --camera DIR            JPEG files the camera takes in turn\n"
           "  --microphone FILE.wav   what the microphone hears (16-bit PCM WAV)\n"
           "  --resources DIR         the application bundle (default: the build's resources)\n"
           "  --manual-clock          time moves only with \"wait\" and \"until\"\n"
           "  --refuse-uploads        the built-in server refuses every photo upload (\"201\")\n"
           "  --first-launch          start as after a fresh install\n"
           "  --placeholder           show the placeholder screen instead of the application\n"
           "  --echo / --no-echo      echo each command (default: on for scripts)\n"
           "  --log                   platform diagnostics on standard error\n"
           "  --help                  this text\n";
}

std::optional<SimulatorOptions> parseOptions(const std::vector<std::string>& args, std::string& error, bool& help) {
    SimulatorOptions o;
    help = false;
    error.clear();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            help = true;
            return std::nullopt;
        } else if (a == "--sandbox") {
            if (!value(v)) return std::nullopt;
            o.sandbox = v;
        } else if (a == "--server") {
            if (!value(v)) return std::nullopt;
            std::string why;
            auto address = ServerAddress::parse(v, why);
            if (!address) {
                error = "--server: " + why;
                return std::nullopt;
            }
            o.server = address->origin();
        } else if (a == "--account") {
            if (!value(v)) return std::nullopt;
            auto colon = v.find(':');
            std::string id = v.substr(0, colon);
            if (!validUserId(id)) {
                error = "--account: bad user id " + id;
                return std::nullopt;
            }
            o.accountUserId = id;
            if (colon != std::string::npos) {
                std::string phone = v.substr(colon + 1);
                if (!validPhone(phone)) {
                    error = "--account: bad phone number " + phone;
                    return std::nullopt;
                }
                o.accountPhone = phone;
            }
        } else if (a == "--no-account") {
            o.noAccount = true;
        } else if (a == "--position") {
            if (!value(v)) return std::nullopt;
            auto comma = v.find(',');
            double lon = 0, lat = 0;
            if (comma == std::string::npos || !parseDouble(v.substr(0, comma), lon) ||
                !parseDouble(v.substr(comma + 1), lat) || lon < -180 || lon > 180 || lat < -90 || lat > 90) {
                error = "--position wants LON,LAT in degrees: " + v;
                return std::nullopt;
            }
            o.longitude = lon;
            o.latitude = lat;
        } else if (a == "--screen") {
            if (!value(v)) return std::nullopt;
            auto x = v.find('x');
            double w = 0, h = 0;
            if (x == std::string::npos || !parseDouble(v.substr(0, x), w) || !parseDouble(v.substr(x + 1), h) ||
                w < 240 || w > 1024 || h < 320 || h > 1366 || w > h) {
                error = "--screen wants WIDTHxHEIGHT in points, portrait, e.g. 375x667: " + v;
                return std::nullopt;
            }
            o.screenWidth = w;
            o.screenHeight = h;
        } else if (a == "--camera") {
            if (!value(v)) return std::nullopt;
            o.cameraFolder = v;
        } else if (a == "--microphone") {
            if (!value(v)) return std::nullopt;
            o.microphoneWav = v;
        } else if (a == "--resources") {
            if (!value(v)) return std::nullopt;
            o.resources = v;
        } else if (a == "--refuse-uploads") {
            o.refuseUploads = true;
        } else if (a == "--manual-clock") {
            o.manualClock = true;
        } else if (a == "--first-launch") {
            o.firstLaunch = true;
        } else if (a == "--placeholder") {
            o.placeholderOnly = true;
        } else if (a == "--echo") {
            o.echo = true;
        } else if (a == "--no-echo") {
            o.echo = false;
        } else if (a == "--log") {
            o.log = true;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return std::nullopt;
        } else {
            if (!o.script.empty()) {
                error = "only one script, please: " + a;
                return std::nullopt;
            }
            o.script = a;
        }
    }
    if (o.noAccount && o.accountUserId) {
        error = "--account and --no-account exclude each other";
        return std::nullopt;
    }
    return o;
}

}  // namespace simulator
