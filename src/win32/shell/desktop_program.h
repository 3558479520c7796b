// The desktop program's entry on Windows, shared by velocore.exe (this
// computer) and velocore-sim.exe (a simulated mainboard): start-up, then the
// main window and its message loop.
#pragma once

#include "launch/launched_machine.h"
#include "launch/program_folders.h"
#include "launch/sim_options.h"

namespace vc::win32 {

// Runs the whole program on `machine` and answers its exit code.
int RunDesktopProgram(launch::LaunchedMachine& machine, const launch::SimOptions& options);

}  // namespace vc::win32
