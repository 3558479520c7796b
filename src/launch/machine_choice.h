// Which machine a program works on: this computer, the embedded default
// simulated machine, a catalogue machine by name, or a description file.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "launch/launched_machine.h"

namespace vc::launch {

// The start-at-logon list of a simulated machine: kept in memory, so a
// simulation never touches the desktop session's autostart.
class MemoryAutorun final : public AutorunStore {
public:
    void SetAutorunEntry(const std::string& name, const std::string& command) override {
        entries_[name] = command;
    }
    const std::map<std::string, std::string>& Entries() const { return entries_; }

private:
    std::map<std::string, std::string> entries_;
};

// `choice` absent: this computer. "default": the embedded machine. A value
// with a '/' or ending in ".machine" that names a file: that description.
// Otherwise a catalogue name, looked up in `catalogueDirs` in order.
// On failure answers nothing and sets `error`.
std::unique_ptr<LaunchedMachine> ChooseMachine(const std::optional<std::string>& choice,
                                               const std::vector<std::string>& catalogueDirs,
                                               std::string& error);

// The autorun list of a machine ChooseMachine made simulated, or null.
const MemoryAutorun* SimulatedAutorun(LaunchedMachine& machine);

// The exit code of a process whose simulated machine hung.
inline constexpr int kSimulatedHangExitCode = 124;

// On a simulated machine: a hang (fault.hangAboveBusMHz) prints "simulated
// hang" on standard error and ends the process at once, with no cleanup at
// all, so its files stay as a machine that froze would leave them.
void EndProcessOnSimulatedHang(LaunchedMachine& machine);

}  // namespace vc::launch
