// Moving through the clock table and applying entries.
//
// Selecting (Refresh/Previous/Next/Default) never touches the hardware;
// applying writes one frequency-select byte with ProgramClock. Every
// operation checks its index against the loaded table: with no table, or an
// index outside 1..entryCount, it changes nothing and answers 0.
#pragma once

#include <cstdint>
#include <optional>

#include "core/board/clock_programming.h"
#include "core/board/system_info.h"

namespace vc {

inline constexpr double kPciNominalMHz = 33.0;
inline constexpr double kMemReferenceFallbackMHz = 100.0;
inline constexpr double kLowestOptimalBusMHz = 33.0;

// Shown clocks from entry currentIndex; cpuClockMHz = multiplier x busMHz.
int32_t RefreshEntry(SystemInfo& info);
// currentIndex - 1 unless it is 1, then RefreshEntry.
int32_t PreviousEntry(SystemInfo& info);
// currentIndex + 1 unless it is entryCount, then RefreshEntry.
int32_t NextEntry(SystemInfo& info);
// currentIndex = defaultIndex, then RefreshEntry.
int32_t DefaultEntry(SystemInfo& info);
// Writes entry currentIndex; appliedIndex = currentIndex. The answer is 1,
// or 0 (nothing written) without such an entry; the outcome tells whether
// the write reached the chip or the bus path failed.
WriteOutcome ApplyEntry(SystemInfo& info);

// The highest entry inside the board's bus, PCI and memory limits, measured
// from the default entry's band (of equal bus clocks the last in the table).
std::optional<int32_t> FindOptimalEntry(const SystemInfo& info);

// Writes the optimal entry and makes it current and applied (shown clocks
// are left for the caller's new measurement). Without a result nothing is
// written, the indexes stay and the answer is 0.
WriteOutcome ApplyOptimalEntry(SystemInfo& info);

}  // namespace vc
