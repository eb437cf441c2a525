// The stand-in accident server as a program of its own: standin_server_main [port]
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/server/StandInServer.h"

namespace {

bool readNumber(const char* text, double low, double high, double& out) {
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value >= low && value <= high)) return false;
    out = value;
    return true;
}

int usage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s [port] [--upload-rate BYTES_PER_SECOND] [--drop-after BYTES]\n"
                 "  port 0 picks a free port; --upload-rate slows every upload together to that rate;\n"
                 "  --drop-after closes a connection without a reply once its body passes that size\n",
                 program);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int port = 8091;
    standin::StandInServer::Link link;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        double value = 0;
        if (arg == "--upload-rate" || arg == "--drop-after") {
            if (i + 1 >= argc || !readNumber(argv[i + 1], arg == "--upload-rate" ? 1 : 0, 1e12, value)) return usage(argv[0]);
            ++i;
            if (arg == "--upload-rate")
                link.bytesPerSecond = value;
            else
                link.dropAfterBytes = static_cast<long long>(value);
        } else if (readNumber(argv[i], 0, 65535, value) && value == static_cast<int>(value)) {
            port = static_cast<int>(value);
        } else {
            return usage(argv[0]);
        }
    }

    // Wait for Ctrl-C or a termination request on this thread; the server's threads never see them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    standin::StandInServer server;
    server.setLink(link);
    // A server left running keeps the photos and recordings of its latest requests whole only.
    server.setWholeBodyLimit(512 * 1024);
    if (!server.start(port)) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    std::printf("stand-in server at %s (Ctrl-C stops it)\n", server.baseURL().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    server.stop();
    std::printf("stopped after %zu requests\n", server.requests().size());
    return 0;
}
