// The millisecond busy wait used by the identification queries, the SMBus
// sequences and the animations. It spins on the tick count and never yields.
#pragma once

#include <cstdint>

namespace vc {

class Clock;

// Always returns 1. The elapsed time is taken modulo 2^32, so a tick count
// that wraps around during the wait still waits the full time.
int32_t BusyWaitMs(Clock& clock, uint32_t ms);

}  // namespace vc
