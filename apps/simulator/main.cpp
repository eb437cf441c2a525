// The simulator: the application on the headless phone, driven by commands.
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "apps/simulator/Simulator.h"

int main(int argc, char** argv) {
    std::string program = argc > 0 ? argv[0] : "simulator";
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);

    std::string error;
    bool help = false;
    auto options = simulator::parseOptions(args, error, help);
    if (options && !options->script.empty()) {
        // A walk may ask for options in its leading "#!" lines; the command line comes last.
        auto fromScript = simulator::scriptOptions(options->script);
        if (!fromScript.empty()) {
            fromScript.insert(fromScript.end(), args.begin(), args.end());
            options = simulator::parseOptions(fromScript, error, help);
        }
    }
    if (!options) {
        if (help) {
            std::cout << simulator::usage(program) << "\n" << simulator::Simulator::help();
            return 0;
        }
        std::cerr << program << ": " << error << "\n" << simulator::usage(program);
        return 2;
    }

    std::ifstream script;
    if (!options->script.empty() && options->script != "-") {
        script.open(options->script);
        if (!script) {
            std::cerr << program << ": cannot read " << options->script << "\n";
            return 2;
        }
    }
    bool interactive = options->script.empty() && isatty(STDIN_FILENO);

    simulator::Simulator sim(*options);
    if (!sim.start(error)) {
        std::cerr << program << ": " << error << "\n";
        return 2;
    }
    std::cout << sim.driver().describeScreen();
    if (interactive) std::cout << "type \"help\" for the commands\n";
    std::istream& in = script.is_open() ? static_cast<std::istream&>(script) : std::cin;
    return sim.run(in, std::cout, interactive);
}
