// The desktop program's entry, shared by velocore (this computer) and
// velocore-sim (a simulated mainboard).
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "launch/program_folders.h"

namespace vc::launch {
class LaunchedMachine;
}

namespace vc::qt {

class QtShell;

inline constexpr const char* kSimUsage =
    "usage: velocore-sim [--machine NAME|FILE] [--quit-after-first-frame]\n"
    "  --machine NAME|FILE  a catalogue machine or a machine description file\n"
    "                       (default: the embedded default machine)\n"
    "  --quit-after-first-frame  print the time from start to the first painted\n"
    "                       frame of the main window, then end\n";

struct SimOptions {
    std::string machine = "default";
    bool help = false;
    // --quit-after-first-frame: print how long start-up took to the first
    // painted frame of the main window, then end (the timing command).
    bool quitAfterFirstFrame = false;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

// Reads velocore-sim's arguments (the window system's own are gone by
// then). Answers an error text for anything it does not know.
std::optional<std::string> ParseSimOptions(const std::vector<std::string>& args, SimOptions& options);

// Runs the whole program on `machine` and answers its exit code. A
// QApplication must exist; messages go to `shell`.
int RunDesktopProgram(launch::LaunchedMachine& machine, const SimOptions& options, QtShell& shell);

// The directory of the running program, without a trailing separator.
std::string ProgramFileDirectory();

// Where this copy keeps its files (beside the program, or installed).
launch::ProgramFolders ProgramFoldersOfThisCopy();

}  // namespace vc::qt
