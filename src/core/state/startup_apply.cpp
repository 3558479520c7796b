#include "core/state/startup_apply.h"

#include "core/board/frequency_stepping.h"
#include "core/cpu/cpu_speed.h"
#include "core/state/settings_file.h"

namespace vc {

StartupApplyResult ApplySavedChoiceAtStartup(SystemInfo& info, Context& ctx,
                                             const AutoApplySettings& settings,
                                             const std::string& programDir,
                                             int32_t& autoOptimized) {
    StartupApplyResult result;
    if (settings.autoApply != kAutoApplyYes) return result;
    switch (settings.autoApplySource) {
        case kAutoApplySourceSaved:
            result.applied = StartupApplied::Saved;
            // A missing or foreign sysinfo.dat leaves the default selected.
            result.settingsLoaded = LoadSettings(info, programDir);
            result.write = ApplyEntry(info);
            break;
        case kAutoApplySourceOptimal:
            result.applied = StartupApplied::Optimal;
            autoOptimized = 1;
            result.write = ApplyOptimalEntry(info);
            break;
        default:
            return result;
    }
    result.written = result.write.answer;
    if (result.write.Faulted()) return result;
    RefreshCPU(info.cpu, ctx);
    RefreshCPU(info.cpu, ctx);
    result.check = CheckAppliedEntry(info, result.write);
    return result;
}

}  // namespace vc
