// Which table entry the machine runs at: the bus band from the measured
// clock, the memory clock class from the chipset, and the entry of that band
// code nearest to the band's nominal clock.
#pragma once

#include <cstdint>
#include <optional>

#include "core/base/context.h"
#include "core/board/system_info.h"
#include "core/board/records.h"
#include "core/hw/host_bridge_registers.h"

namespace vc {

inline constexpr uint32_t kMemClassRegister = kHostBridgeMemClassRegister;
inline constexpr uint32_t kMemClass133Bit = kHostBridgeMemClass133Bit;
inline constexpr double kMemClass133MHz = 133.0;
inline constexpr double kMemClass100MHz = 100.0;

struct BusBand {
    double lowestMHz;   // the band starts here (included)
    int32_t digit;      // tens digit of the band code
    double nominalMHz;
};

// The band a bus clock falls into; none below 66.0 MHz (or NaN).
std::optional<BusBand> ClassifyBus(double busMHz);

// The 1-based index of the entry whose bandCode equals `bandCode` and whose
// busMHz is nearest to `nominalMHz` (earliest of equal distances, never one
// 100 MHz or more away), or none.
std::optional<int32_t> NearestEntryOfBand(const ClockGenRecord& chip, int32_t bandCode,
                                          double nominalMHz);

// Fills memBaseClockMHz and, on a match, the three indexes. Answers 1, or 0
// (silently for a bus clock of 0 or below 66 MHz, with "Unknow CPU" when no
// entry of the machine's band code exists), or the bus path's fault when the
// memory clock class could not be read.
BusResult ScanCPUFreqValue(SystemInfo& info, Context& ctx);

}  // namespace vc
