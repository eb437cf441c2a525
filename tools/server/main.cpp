// The stand-in accident server as a program of its own: standin_server_main [port]
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/server/StandInServer.h"

int main(int argc, char** argv) {
    int port = 8091;
    if (argc > 1) {
        char* end = nullptr;
        long value = std::strtol(argv[1], &end, 10);
        if (end == argv[1] || *end != '\0' || value < 0 || value > 65535) {
            std::fprintf(stderr, "usage: %s [port]   (0 picks a free port)\n", argv[0]);
            return 2;
        }
        port = static_cast<int>(value);
    }

    // Wait for Ctrl-C or a termination request on this thread; the server's threads never see them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    standin::StandInServer server;
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
