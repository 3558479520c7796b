// Which machine vcctl works on: this computer, the embedded default
// simulated machine, a catalogue machine by name, or a description file.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/hw/machine.h"

namespace vc::sim {
class SimMachine;
}

namespace vc::cli {

struct ChosenMachine {
    std::unique_ptr<Machine> machine;
    sim::SimMachine* sim = nullptr;  // set when the machine is simulated
};

// `choice` absent: this computer. "default": the embedded machine. A value
// with a '/' or ending in ".machine" that names a file: that description.
// Otherwise a catalogue name, looked up in `catalogueDirs` in order.
// On failure answers nothing and sets `error`.
std::optional<ChosenMachine> ChooseMachine(const std::optional<std::string>& choice,
                                           const std::vector<std::string>& catalogueDirs,
                                           std::string& error);

}  // namespace vc::cli
