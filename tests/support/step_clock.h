// A clock whose tick count moves on by one millisecond per read, so busy
// waits end at once and `ticks` tells how long the code under test waited.
// It has no performance counter.
#pragma once

#include <cstdint>

#include "core/base/clock.h"

namespace vc::test {

class StepClock final : public Clock {
public:
    bool QueryPerformanceFrequency(uint64_t&) override { return false; }
    bool QueryPerformanceCounter(uint64_t&) override { return false; }
    uint32_t TickCountMs() override { return ticks++; }
    int32_t GetThreadPriority() override { return priority; }
    void SetThreadPriority(int32_t value) override { priority = value; }

    uint32_t ticks = 0;
    int32_t priority = 0;
};

}  // namespace vc::test
