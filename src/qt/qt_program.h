// The desktop program's entry, shared by velocore (this computer) and
// velocore-sim (a simulated mainboard).
#pragma once

#include <string>

#include "launch/program_folders.h"
#include "launch/sim_options.h"

namespace vc::launch {
class LaunchedMachine;
}

namespace vc::qt {

class QtShell;

using launch::kSimUsage;
using launch::ParseSimOptions;
using launch::SimOptions;

// Runs the whole program on `machine` and answers its exit code. A
// QApplication must exist; messages go to `shell`.
int RunDesktopProgram(launch::LaunchedMachine& machine, const SimOptions& options, QtShell& shell);

}  // namespace vc::qt
