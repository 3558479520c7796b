#include "core/board/auto_overclock.h"

#include "core/board/frequency_stepping.h"
#include "core/cpu/cpu_speed.h"

namespace vc {

AutoOverclockResult AutoOverclock(SystemInfo& info, Context& ctx, int32_t& autoOptimized,
                                  const std::function<void()>& optimizedMarked) {
    AutoOverclockResult result;
    autoOptimized = 1;
    if (optimizedMarked) optimizedMarked();
    result.write = ApplyOptimalEntry(info);
    result.applied = result.write.answer;
    if (result.write.Faulted()) return result;
    // The new clock shows only in a fresh measurement; the second one is
    // the one the window reports.
    RefreshCPU(info.cpu, ctx);
    RefreshCPU(info.cpu, ctx);
    return result;
}

}  // namespace vc
