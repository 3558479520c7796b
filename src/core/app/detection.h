// The detection sequence that fills SystemInfo once at start-up.
#pragma once

#include <cstdint>

#include "core/base/context.h"
#include "core/board/system_info.h"

namespace vc {

inline constexpr const char* kMsgScanBiosInfoFail = "ScanBiosInfo fail";
inline constexpr const char* kMsgScanAddressInfoFail = "ScanAddressInfo fail";
inline constexpr const char* kMsgCpuNotSupported = "Sorry!! We don't support this CPU";
inline constexpr const char* kMsgRefreshCpuFail = "CPUInfo.RefreshCPU fail";
inline constexpr const char* kMsgScanCpuFreqFail = "ScanCPUFreqValue fail";
inline constexpr const char* kMsgSmbusBaseNotShown =
    "The board record takes its SMBus base from PCI, but PCI shows no SMBus controller of its kind";
inline constexpr const char* kMsgSmbusControllerDisabled =
    "The board's SMBus controller is disabled (the BIOS left its host interface off), so the clock generator "
    "cannot be reached";

// Opens the driver, recognises the board and loads its clock generator.
BusResult ScanBiosInfo(SystemInfo& info, Context& ctx);

// Reads the processor configuration word into info.addressInfo.
BusResult ScanAddressInfo(SystemInfo& info, Context& ctx);

// The processor's multiplier read as detection reads it (choose the path,
// open the driver, read the configuration word, decode it into info.cpu),
// without the board. Reads only; a bus fault or a word that does not decode
// answers 0 and leaves the multiplier as it was.
int32_t ReadProcessorMultiplier(SystemInfo& info, Context& ctx);

// Runs the detection steps in order; the first failing step shows its
// message and the sequence answers 0. Its first step sets ctx.osKind and
// chooses info.busPath; a bus fault ends the process (EndOnBusFault).
int32_t DetectSystem(SystemInfo& info, Context& ctx);

}  // namespace vc
