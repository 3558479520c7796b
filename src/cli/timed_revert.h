// `vcctl apply --revert-after SECONDS` and `vcctl confirm`: after the write
// the program waits for a confirmation and otherwise writes back the entry
// that was in force before. The confirmation is the file revert.confirm in
// the program directory (beside sysinfo.dat and save.dat), which `confirm`
// creates atomically, so any process on the same directory can give it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "cli/session.h"

namespace vc::cli {

inline constexpr int kLongestRevertSeconds = 3600;

std::string ConfirmationPath(const std::string& programDir);

// The wait in whole seconds (1 to kLongestRevertSeconds), or none.
std::optional<int> ParseRevertSeconds(const std::string& text);

// Drops a confirmation left from an earlier run, so only one given during
// this wait counts.
void ForgetConfirmation(const std::string& programDir);

// Waits up to `seconds` of real time for the confirmation. Without one it
// selects `previousIndex` and calls `write` (which writes the selected
// entry, measures and checks, answering an exit code). Prints
// revert.confirmed and, after a revert, revert.restoredIndex.
int RevertUnlessConfirmed(Session& s, int seconds, int32_t previousIndex, const std::function<int()>& write);

// `vcctl confirm`.
int ConfirmCommand(Session& s);

}  // namespace vc::cli
