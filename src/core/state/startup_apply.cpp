#include "core/state/startup_apply.h"

#include <cstdio>

#include "core/board/frequency_stepping.h"
#include "core/cpu/cpu_speed.h"
#include "core/state/settings_file.h"

namespace vc {

namespace {

bool KnownSource(int32_t source) {
    return source == kAutoApplySourceSaved || source == kAutoApplySourceOptimal;
}

// Without the record the write goes ahead unguarded (a folder that cannot
// be written keeps working as before).
bool RecordPending(const SystemInfo& info, std::optional<int32_t> index, int32_t source,
                   const std::string& programDir) {
    const std::optional<PendingStartup> pending = index ? PendingStartupFor(info, *index, source) : std::nullopt;
    return pending && WritePendingStartup(programDir, *pending);
}

}  // namespace

std::string SkippedStartupMessage(const std::optional<PendingStartup>& skipped) {
    std::string which;
    if (skipped) {
        char text[64];
        std::snprintf(text, sizeof text, " (entry %d, %.2f MHz)", static_cast<int>(skipped->index),
                      skipped->busMHz);
        which = text;
    }
    return "The frequency applied automatically at the last start" + which +
           " did not last: the computer stopped before the program had run for a minute.\n"
           "It was not applied this time; the board keeps its current clock.\n";
}

StartupApplyResult ApplySavedChoiceAtStartup(SystemInfo& info, Context& ctx,
                                             const AutoApplySettings& settings,
                                             const std::string& programDir,
                                             int32_t& autoOptimized) {
    StartupApplyResult result;
    const bool automatic = settings.autoApply == kAutoApplyYes && KnownSource(settings.autoApplySource);
    const PendingStartupFound found = ReadPendingStartup(programDir);
    if (found.present) {
        ClearPendingStartup(programDir);
        if (automatic) {
            result.applied = StartupApplied::Skipped;
            result.skipped = found.record;
            ctx.shell.ShowMessage(kCaptionMessage, SkippedStartupMessage(found.record));
            return result;
        }
    }
    if (!automatic) return result;
    if (settings.autoApplySource == kAutoApplySourceSaved) {
        result.applied = StartupApplied::Saved;
        // A missing or foreign sysinfo.dat leaves the default selected.
        result.settingsLoaded = LoadSettings(info, programDir);
        result.pendingRecorded = RecordPending(info, info.currentIndex, kAutoApplySourceSaved, programDir);
        result.write = ApplyEntry(info);
    } else {
        result.applied = StartupApplied::Optimal;
        autoOptimized = 1;
        result.pendingRecorded =
            RecordPending(info, FindOptimalEntry(info), kAutoApplySourceOptimal, programDir);
        result.write = ApplyOptimalEntry(info);
    }
    result.written = result.write.answer;
    // Nothing reached the chip: there is no clock of ours to guard.
    if (result.pendingRecorded && (result.write.Faulted() || result.written == 0)) {
        ClearPendingStartup(programDir);
        result.pendingRecorded = false;
    }
    if (result.write.Faulted()) return result;
    RefreshCPU(info.cpu, ctx);
    RefreshCPU(info.cpu, ctx);
    result.check = CheckAppliedEntry(info, result.write);
    return result;
}

}  // namespace vc
