// The one record of detected hardware and bus-frequency state.
#pragma once

#include <cstdint>

#include "core/board/records.h"
#include "core/cpu/cpu_info.h"
#include "core/hw/machine.h"
#include "core/hw/smbus_access.h"

namespace vc {

struct SystemInfo {
    int32_t defaultIndex = 0;  // 1-based entry indexes
    int32_t appliedIndex = 0;
    int32_t currentIndex = 0;
    double multiplier = 0.0;
    double cpuClockMHz = 0.0;
    double busClockMHz = 0.0;
    double pciClockMHz = 0.0;
    double memClockMHz = 0.0;
    BoardRecord board;
    double memBaseClockMHz = 0.0;
    // 9x only: the BIOS window address the driver handed out (resolved
    // through the machine seam when searched).
    uint32_t biosWindow = 0;
    CPUInfo cpu;
    ClockWriter clockWriter;
    uint32_t addressInfo = 0;
    DeviceHandle driverHandle = kNoDevice;

    const ClockGenRecord* clockGen() const { return board.clockGen.get(); }
};

}  // namespace vc
