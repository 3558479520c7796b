// velocore-sim --trace FILE: what reached the simulated hardware during the
// run, for checks that look at a desktop program from outside.
#pragma once

#include <string>

#include "launch/launched_machine.h"

namespace vc::launch {

// Writes the simulated machine's trace to `path`, one entry a line. False
// when the machine is not simulated or the file cannot be written.
bool WriteSimulationTrace(LaunchedMachine& machine, const std::string& path);

}  // namespace vc::launch
