// The single-car road driven again and again in one process, as a person uses the application
// for many cases without closing it: the simulator runs the commands of the single-car walk
// (apps/simulator/walks/single-car-road.walk) against its built-in stand-in server under the
// manual clock, 100 times, each road from the home page to a new home page.
//
// It reports the resident size of the process after the 1st, 50th and 100th road (and its
// anonymous part, which memory pressure from other processes does not shrink), the live
// heap (every byte the C allocator hands out and has not had back, on every thread) at the same
// points, and what the allocator holds beside it (mallinfo2: the bytes it took from the system
// and those of them that are free). The target: after 100 roads the resident size stays within
// 5 MB of the size after the first.
//
// The stand-in server runs in the same process and records every request, as it does for the
// walks (which check what was sent): its log is part of what is measured.
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "BenchSupport.h"
#include "apps/simulator/Simulator.h"
#include "tools/server/StandInServer.h"

#ifndef VESKARD_SOURCE_DIR
#error "VESKARD_SOURCE_DIR names the source tree (the walk is read from it)"
#endif

namespace {

constexpr int kRoads = 100;
constexpr double kTargetMB = 5.0;
constexpr std::string_view kWalkCase = "BJ202612070001";  // the case number the walk expects

// The resident size of the process in bytes (/proc/self/statm: resident pages).
double residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE));
}

// Of it, the anonymous pages (the heaps, stacks and other private memory): the part the
// kernel never drops to reclaim memory, as it may drop pages of the program and its libraries.
double anonymousResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "RssAnon:") {
            double kB = 0;
            status >> kB;
            return kB * 1024;
        }
    }
    return 0;
}

// The road's commands: the walk without its comments and its "quit"; the accident number it
// expects in requests becomes `accidentno` (the stand-in server opens a new number per case).
std::vector<std::string> roadCommands(const std::string& accidentno) {
    std::ifstream walk(VESKARD_SOURCE_DIR "/apps/simulator/walks/single-car-road.walk");
    std::vector<std::string> commands;
    std::string line;
    while (std::getline(walk, line)) {
        if (line.empty() || line[0] == '#' || line == "quit") continue;
        for (size_t at = line.find(kWalkCase); at != std::string::npos;
             at = line.find(kWalkCase, at + accidentno.size()))
            line.replace(at, kWalkCase.size(), accidentno);
        commands.push_back(line);
    }
    return commands;
}

struct Point {
    double resident = 0;
    double anonymous = 0;
    double live = 0;
    double arena = 0;      // bytes the allocator took from the system (arenas and mapped blocks)
    double arenaFree = 0;  // of them, free in the arenas
};

Point measure() {
    Point p;
    p.resident = residentBytes();
    p.anonymous = anonymousResidentBytes();
    p.live = double(benchsupport::heapLive.load());
    struct mallinfo2 info = mallinfo2();
    p.arena = double(info.arena + info.hblkhd);
    p.arenaFree = double(info.fordblks);
    return p;
}

// One iteration is one whole road.
void BM_SingleCarRoadRepeated(benchmark::State& state) {
    simulator::SimulatorOptions options;
    options.manualClock = true;
    options.resources = VESKARD_RESOURCE_DIR;
    options.echo = false;
    simulator::Simulator sim(options);
    std::string error;
    if (!sim.start(error)) {
        state.SkipWithError(("the simulator does not start: " + error).c_str());
        return;
    }
    std::map<int, Point> points;
    int road = 0;
    for (auto _ : state) {
        ++road;
        char number[32];
        std::snprintf(number, sizeof number, "BJ20261207%04d", road);
        std::ostringstream shown;
        for (const std::string& command : roadCommands(number)) {
            auto result = sim.execute(command, shown);
            if (result.status != simulator::Simulator::Status::Ok) {
                std::fprintf(stderr, "road %d: %s: %s\n%s\n", road, command.c_str(), result.message.c_str(),
                             shown.str().c_str());
                state.SkipWithError("a command of the road did not hold");
                return;
            }
        }
        if (road == 1 || road == 50 || road == 100) points[road] = measure();
    }
    for (auto& [n, p] : points) {
        const std::string at = "_" + std::to_string(n);
        state.counters["rss_MB" + at] = p.resident / 1e6;
        state.counters["anon_MB" + at] = p.anonymous / 1e6;
        state.counters["live_MB" + at] = p.live / 1e6;
        state.counters["arena_MB" + at] = p.arena / 1e6;
        state.counters["arena_free_MB" + at] = p.arenaFree / 1e6;
    }
}
BENCHMARK(BM_SingleCarRoadRepeated)->Unit(benchmark::kMillisecond)->Iterations(kRoads);

void printSummary(const benchsupport::KeepingReporter& results) {
    auto run = results.find("BM_SingleCarRoadRepeated/");
    if (!run) return;
    std::printf("\nThe single-car road %d times in one process (manual clock, stand-in server), %.0f ms a road:\n",
                kRoads, run->time);
    std::printf("  after road   resident MB (anonymous)   live heap MB   allocator holds MB (free in it)\n");
    for (int n : {1, 50, 100}) {
        const std::string at = "_" + std::to_string(n);
        std::printf("  %10d   %11.1f (%9.1f)   %12.1f   %10.1f (%.1f)\n", n, run->counter("rss_MB" + at),
                    run->counter("anon_MB" + at), run->counter("live_MB" + at), run->counter("arena_MB" + at),
                    run->counter("arena_free_MB" + at));
    }
    const double growth = run->counter("rss_MB_100") - run->counter("rss_MB_1");
    std::printf("  growth from road 1 to road 100: %+.1f MB resident (%+.1f MB anonymous), %+.1f MB live heap\n",
                growth, run->counter("anon_MB_100") - run->counter("anon_MB_1"),
                run->counter("live_MB_100") - run->counter("live_MB_1"));
    std::printf("Target, 100 roads within %.0f MB of the first:  %s\n", kTargetMB,
                benchsupport::verdict(growth <= kTargetMB));
}

}  // namespace

int main(int argc, char** argv) { return benchsupport::runWithSummary(argc, argv, printSummary); }
