// One vcctl run: the chosen machine, the program directory, and the state
// that the commands share in the order they run.
#pragma once

#include <memory>
#include "cli/text_out.h"
#include <string>

#include "cli/console_shell.h"
#include "core/base/context.h"
#include "core/board/system_info.h"
#include "core/state/auto_apply_file.h"
#include "launch/launched_machine.h"

namespace vc::cli {

// Exit codes of vcctl.
inline constexpr int kExitOk = 0;
inline constexpr int kExitEnded = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitFailed = 3;

struct Session {
    Session(std::unique_ptr<launch::LaunchedMachine> machineIn, std::string programDirIn,
            TextOut& outIn, TextOut& errIn);

    std::unique_ptr<launch::LaunchedMachine> machine;
    sim::SimMachine* sim;  // the same machine when it is simulated, else null
    std::string programDir;   // the state files; data the user builds go here too
    std::string dataDir;      // the data files in use
    std::string resourceDir;  // the pictures
    std::string shippedSources;  // what to copy into programDir/sources
    bool installed = false;   // an installed copy (launch/program_folders.h)
    bool dirGiven = false;    // --dir chose programDir
    TextOut& out;
    TextOut& err;
    ConsoleShell shell;
    Context ctx;
    SystemInfo info;
    bool cpuIdentified = false;
    bool detected = false;
    int32_t autoOptimized = 0;
    // A start-up application wrote pending.dat: vcctl removes it when it
    // ends cleanly (a simulated hang ends it without).
    bool startupPending = false;
};

// Runs one command (its name words and arguments); answers an exit code.
int RunCommand(Session& session, const std::vector<std::string>& command);

}  // namespace vc::cli
