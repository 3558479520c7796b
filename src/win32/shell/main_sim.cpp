// velocore-sim.exe: the desktop program on a simulated mainboard.
#include <cstdio>
#include <string>
#include <vector>

#include "launch/machine_choice.h"
#include "launch/sim_options.h"
#include "launch/sim_trace_file.h"
#include "win32/shell/desktop_program.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    vc::launch::SimOptions options;
    if (const auto error = vc::launch::ParseSimOptions(args, options)) {
        std::fprintf(stderr, "velocore-sim: %s\n%s", error->c_str(), vc::launch::kSimUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(vc::launch::kSimUsage, stdout);
        return 0;
    }
    std::string error;
    const auto machine =
        vc::launch::ChooseMachine(options.machine, {vc::launch::ProgramFoldersOfThisCopy().machines}, error);
    if (!machine) {
        std::fprintf(stderr, "velocore-sim: %s\n", error.c_str());
        return 2;
    }
    // A simulated hang ends the program at once, as a hung machine would.
    vc::launch::EndProcessOnSimulatedHang(*machine);
    const int exitCode = vc::win32::RunDesktopProgram(*machine, options);
    if (!options.traceFile.empty() && !vc::launch::WriteSimulationTrace(*machine, options.traceFile))
        std::fprintf(stderr, "velocore-sim: cannot write %s\n", options.traceFile.c_str());
    return exitCode;
}
