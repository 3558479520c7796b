// Whether a write took: after the measurement that follows every write, the
// measured bus clock against the applied entry's, and for the chips whose
// write sequence reads their block back, the select the chip reports.
#pragma once

#include <cstdint>
#include <optional>

#include "core/board/clock_programming.h"
#include "core/board/system_info.h"

namespace vc {

struct WriteCheck {
    bool checked = false;  // a write reached the bus and something could be compared
    bool ok = true;
    double expectedBusMHz = 0.0;
    double measuredBusMHz = 0.0;   // 0: no measurement to compare
    std::optional<uint8_t> expectedSelect;  // with a read-back
    std::optional<uint8_t> readBackSelect;
};

// How far a measured bus clock may lie from the entry's and still count as
// the same clock.
double BusToleranceMHz(double expectedBusMHz, double multiplier);

// Checks the entry at appliedIndex after `outcome`'s write and the
// measurement that followed it (info.cpu). Nothing is checked when nothing
// was sent, the write faulted or the path reaches no hardware; a variant
// that reads the block back does one more block read here, on a chip known
// to answer one (chip_block_read.h).
WriteCheck CheckAppliedEntry(SystemInfo& info, const WriteOutcome& outcome);

}  // namespace vc
