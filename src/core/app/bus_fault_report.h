// Where a hardware failure ends the program: the message for the fault
// (caption "Message"), then exit code 1. The hardware layers only report
// faults; the callers that run them on the program's behalf end it here.
#pragma once

#include "core/base/context.h"
#include "core/hw/bus_path.h"

namespace vc {

inline constexpr const char* kMsgNt4DriverOpenFail = "Failed to open Velocore WinNT driver\n";
inline constexpr const char* kMsgWin2000DriverOpenFail = "Failed to open Velocore Win2000 driver\n";
inline constexpr const char* kMsgPciRequestFail = "DeviceIOControl Fail (ScanPCIValue)\n";
inline constexpr const char* kMsgSmbusRequestFail = "DeviceIOControl Fail (SMBusBlockWriteType1)\n";

// Does nothing for BusFault::None; otherwise never returns.
void EndOnBusFault(Context& ctx, BusFault fault);

}  // namespace vc
