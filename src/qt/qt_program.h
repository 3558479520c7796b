// The desktop program's entry, shared by velocore (this computer) and
// velocore-sim (a simulated mainboard).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vc::qt {

enum class MachineKind { ThisComputer, Simulated };

inline constexpr const char* kSimUsage =
    "usage: velocore-sim [--machine NAME|FILE]\n"
    "  --machine NAME|FILE  a catalogue machine or a machine description file\n"
    "                       (default: the embedded default machine)\n";

struct SimOptions {
    std::string machine = "default";
    bool help = false;
};

// Reads velocore-sim's arguments (the window system's own are gone by
// then). Answers an error text for anything it does not know.
std::optional<std::string> ParseSimOptions(const std::vector<std::string>& args, SimOptions& options);

// Runs the whole program and answers its exit code. A QApplication must exist.
// `catalogueDirs` are searched for --machine NAME.
int RunDesktopProgram(MachineKind kind, const SimOptions& options, const std::vector<std::string>& catalogueDirs);

// The directory of the running program, without a trailing separator.
std::string ProgramFileDirectory();

}  // namespace vc::qt
