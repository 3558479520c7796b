// The detection sequence that fills SystemInfo once at start-up.
#pragma once

#include <cstdint>

#include "core/app/context.h"
#include "core/app/system_info.h"

namespace vc {

inline constexpr const char* kMsgScanBiosInfoFail = "ScanBiosInfo fail";
inline constexpr const char* kMsgScanAddressInfoFail = "ScanAddressInfo fail";
inline constexpr const char* kMsgCpuNotSupported = "Sorry!! We don't support this CPU";
inline constexpr const char* kMsgRefreshCpuFail = "CPUInfo.RefreshCPU fail";
inline constexpr const char* kMsgScanCpuFreqFail = "ScanCPUFreqValue fail";

// Opens the driver, recognises the board and loads its clock generator.
int32_t ScanBiosInfo(SystemInfo& info, Context& ctx);

// Runs the detection steps in order; the first failing step shows its
// message and the sequence answers 0. Sets ctx.osKind in its first step.
int32_t DetectSystem(SystemInfo& info, Context& ctx);

}  // namespace vc
