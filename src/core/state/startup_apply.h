// The start-up use of save.dat: apply the saved or the optimal entry before
// the user does anything, when the settings ask for it.
#pragma once

#include <cstdint>
#include <string>

#include "core/base/context.h"
#include "core/board/system_info.h"
#include "core/board/clock_programming.h"
#include "core/board/write_check.h"
#include "core/state/auto_apply_file.h"

namespace vc {

enum class StartupApplied {
    Nothing,   // autoApply not 1, or an unknown source
    Saved,     // the sysinfo.dat entry (or, when it did not match, the default) was applied
    Optimal,   // the optimal entry is in force: the window switches button 312 on
};

struct StartupApplyResult {
    StartupApplied applied = StartupApplied::Nothing;
    int32_t settingsLoaded = 0;  // for Saved: whether sysinfo.dat matched
    int32_t written = 0;         // the apply's answer: whether an entry was selected and sent
    WriteOutcome write;          // a faulted write ends the work before measuring
    WriteCheck check;            // whether the measurement (and read-back) saw the entry
};

// autoApply 1 and source 1: LoadSettings (its result only reported),
// ApplyEntry, RefreshCPU twice. autoApply 1 and source 2: autoOptimized = 1,
// ApplyOptimalEntry, RefreshCPU twice. Anything else: nothing.
StartupApplyResult ApplySavedChoiceAtStartup(SystemInfo& info, Context& ctx,
                                             const AutoApplySettings& settings,
                                             const std::string& programDir,
                                             int32_t& autoOptimized);

}  // namespace vc
