// The integer arithmetic of the clock measurement, kept apart from the
// counter reading so each step can be checked on its own. Counter values are
// the low 32 bits of the machine's counters; differences wrap modulo 2^32.
#pragma once

#include <cstdint>
#include <optional>

#include "core/cpu/cpu_info.h"

namespace vc {

// Microseconds in `ticks` of a counter running at `frequency` Hz:
// ticks * 100000 / (frequency / 10), truncated. The product is formed in 64
// bits so a long window cannot wrap. No value when frequency / 10 is 0.
std::optional<uint32_t> TicksToMicroseconds(uint32_t ticks, uint32_t frequency);

// The measurement's rounding step for microseconds: one more when
// us mod frequency exceeds frequency / 2. `frequency` must not be 0.
uint32_t RoundMicroseconds(uint32_t us, uint32_t frequency);

// cycles / us, plus 1 when the remainder exceeds half of us. No value for us 0.
std::optional<uint32_t> RoundedQuotient(uint32_t cycles, uint32_t us);

// Whether three consecutive per-try clocks agree: each of 3*f, 3*f2, 3*f3 is
// within 3 of their sum (32-bit signed differences).
bool TriesAgree(uint32_t f, uint32_t f2, uint32_t f3);

// The final sample from the summed cycles and microseconds: raw is the
// truncated quotient; rounded adds 1 when the first decimal, itself rounded
// up when the second decimal is 6 or more, reaches 6. No value for totalUs 0.
std::optional<SpeedSample> FinalSample(uint32_t totalCycles, uint32_t totalUs);

}  // namespace vc
