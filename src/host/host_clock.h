// The host's performance counter: CLOCK_MONOTONIC_RAW expressed in ticks of
// the 3,579,545 Hz power-management timer that the measurement expects.
#pragma once

#include <cstdint>

namespace vc {

inline constexpr uint64_t kHostCounterHz = 3'579'545;

// Exact integer conversion (the floor of nanoseconds * Hz / 10^9), so the
// counter never drifts against the clock it is derived from.
uint64_t CounterTicksFromNanoseconds(uint64_t nanoseconds);

// Monotonic time in nanoseconds (CLOCK_MONOTONIC_RAW).
uint64_t MonotonicRawNanoseconds();

}  // namespace vc
