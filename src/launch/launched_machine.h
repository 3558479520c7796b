// The machine a program run works on, with what belongs to it: its parts
// behind the machine seam and the list the start-at-logon entry goes to.
// The front ends get one from ThisComputer() or, for a simulated mainboard,
// from ChooseMachine() (machine_choice.h, which alone links the simulator).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/base/machine.h"
#include "core/base/process.h"

namespace vc::sim {
class SimMachine;
}

namespace vc::launch {

class LaunchedMachine {
public:
    virtual ~LaunchedMachine() = default;
    virtual Machine Parts() = 0;
    // This computer: the desktop session's autostart list; a simulation
    // keeps the entry to itself.
    virtual AutorunStore& Autorun() = 0;
    // The simulated mainboard behind the parts, or null on this computer.
    virtual sim::SimMachine* Simulation() { return nullptr; }
    // Why this computer's driver did not open or turned the program away,
    // with what to do about it, in one line: `report` hears it once, as it
    // happens (before the program's own message); DriverProblem() keeps it.
    // Empty where nothing is known (a simulation, Windows).
    virtual void ReportDriverProblemsTo(std::function<void(const std::string&)> report) { (void)report; }
    virtual std::string DriverProblem() const { return {}; }
};

// This computer's processor, clocks and platform.
std::unique_ptr<LaunchedMachine> ThisComputer();

}  // namespace vc::launch
