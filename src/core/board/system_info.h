// The one record of detected hardware and bus-frequency state.
#pragma once

#include <cstdint>
#include <memory>

#include "core/board/records.h"
#include "core/cpu/cpu_info.h"
#include "core/hw/bus_path.h"
#include "core/hw/smbus_access.h"

namespace vc {

// The board the clock programming writes for, and the access block it
// fills before each write.
struct ClockWriter {
    const BoardRecord* board = nullptr;
    SmbusAccess access;
};

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
    CPUInfo cpu;
    ClockWriter clockWriter;
    uint32_t addressInfo = 0;
    // How the hardware is reached, chosen at detection; none until then.
    // It holds the driver's handle and, on 9x, the BIOS window address the
    // driver handed out.
    std::shared_ptr<BusPath> busPath;

    const ClockGenRecord* clockGen() const { return board.clockGen.get(); }
    BusPath& Bus() const { return busPath ? *busPath : NoBusPath(); }
};

}  // namespace vc
