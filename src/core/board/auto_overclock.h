// The work of automatic overclocking, once the progress display has run:
// mark the optimal entry as in force, write it, measure twice.
#pragma once

#include <cstdint>
#include <functional>

#include "core/base/context.h"
#include "core/board/clock_programming.h"
#include "core/board/system_info.h"

namespace vc {

// What happened, for the window to show: whether an entry was written.
struct AutoOverclockResult {
    int32_t applied = 0;  // ApplyOptimalEntry's answer
    WriteOutcome write;   // a faulted write ends the work before measuring
};

// Sets autoOptimized to 1 and calls `optimizedMarked` (where the main window
// switches button 312 on), then ApplyOptimalEntry and RefreshCPU twice. The
// window repaints its clock display and button afterwards.
AutoOverclockResult AutoOverclock(SystemInfo& info, Context& ctx, int32_t& autoOptimized,
                                  const std::function<void()>& optimizedMarked = {});

}  // namespace vc
