// The start-up use of save.dat: apply the saved or the optimal entry before
// the user does anything, when the settings ask for it, guarded by
// pending.dat so that an entry that hangs the machine is not applied again
// at the next start.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/base/context.h"
#include "core/board/system_info.h"
#include "core/board/clock_programming.h"
#include "core/board/write_check.h"
#include "core/state/auto_apply_file.h"
#include "core/state/pending_startup_file.h"

namespace vc {

enum class StartupApplied {
    Nothing,   // autoApply not 1, or an unknown source
    Saved,     // the sysinfo.dat entry (or, when it did not match, the default) was applied
    Optimal,   // the optimal entry is in force: the window switches button 312 on
    Skipped,   // pending.dat was there: the last automatic application never settled
};

struct StartupApplyResult {
    StartupApplied applied = StartupApplied::Nothing;
    int32_t settingsLoaded = 0;  // for Saved: whether sysinfo.dat matched
    int32_t written = 0;         // the apply's answer: whether an entry was selected and sent
    WriteOutcome write;          // a faulted write ends the work before measuring
    // pending.dat now names the written entry: the caller removes it once
    // the program has run long enough after the write, or ends cleanly.
    bool pendingRecorded = false;
    std::optional<PendingStartup> skipped;  // Skipped: the record found, when readable
    WriteCheck check;            // whether the measurement (and read-back) saw the entry
};

// The message a skipped start-up application shows (caption kCaptionMessage).
std::string SkippedStartupMessage(const std::optional<PendingStartup>& skipped);

// autoApply 1 and source 1: LoadSettings (its result only reported),
// ApplyEntry, RefreshCPU twice. autoApply 1 and source 2: autoOptimized = 1,
// ApplyOptimalEntry, RefreshCPU twice. Anything else: nothing.
// Before the write pending.dat records the entry (a write that faults or
// selects nothing removes it again). When autoApply 1 finds pending.dat
// already there, nothing is written: the file is removed and the message
// is shown. A pending.dat without autoApply 1 is removed silently.
StartupApplyResult ApplySavedChoiceAtStartup(SystemInfo& info, Context& ctx,
                                             const AutoApplySettings& settings,
                                             const std::string& programDir,
                                             int32_t& autoOptimized);

}  // namespace vc
