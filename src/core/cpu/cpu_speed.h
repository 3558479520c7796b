// Measuring the processor clock by counting cycles against the performance
// counter, and deriving the bus clock from it.
#pragma once

#include <array>
#include <cstdint>

#include "core/base/machine.h"
#include "core/cpu/cpu_info.h"

namespace vc {

struct Context;

// Processor cycles one iteration of the bit-scan timing loop takes, by kind.
inline constexpr std::array<uint32_t, 12> kLoopCyclesByKind{0, 0, 0, 115, 47, 43, 38, 38, 38, 38, 38, 38};
inline constexpr uint32_t kTimingLoopIterations = 4000;
inline constexpr uint32_t kTimingLoopRuns = 10;
inline constexpr uint32_t kSettleTicks = 50;     // first sampling loop
inline constexpr uint32_t kWindowTicks = 1000;   // second sampling loop
inline constexpr uint32_t kMinTries = 3;
inline constexpr uint32_t kMaxTries = 20;

enum class MeasurementMethod { None, TimeStamp, TimingLoop };

// How a measurement went, for callers that want more than the sample.
struct MeasurementReport {
    MeasurementMethod method = MeasurementMethod::None;
    uint32_t tries = 0;  // time-stamp tries taken (3 to 20)
};

// Time-stamp counter against the performance counter, 3 to 20 tries until
// three consecutive tries agree. Returns 1, or 0 when the counter is missing.
int32_t MeasureWithTimeStamp(Machine machine, SpeedSample& sample, MeasurementReport* report = nullptr);

// For processors without time-stamp counter: the fastest of ten runs of the
// timing loop, each known to take `cycles` processor cycles.
int32_t MeasureWithTimingLoop(Machine machine, uint32_t cycles, SpeedSample& sample);

// Measures into `sample`. `clocks` is accepted for callers and unused.
int32_t CPUSpeed(CPUInfo& cpu, Context& context, uint32_t clocks, SpeedSample& sample,
                 MeasurementReport* report = nullptr);

// Measures into cpu.speed and sets cpuClockMHz and busClockMHz. Shows
// "CPUSpeed fail" and returns 0 when the measurement fails.
int32_t RefreshCPU(CPUInfo& cpu, Context& context, MeasurementReport* report = nullptr);

}  // namespace vc
