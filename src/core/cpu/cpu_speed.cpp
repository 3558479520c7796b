#include "core/cpu/cpu_speed.h"

#include <algorithm>
#include <optional>

#include "core/base/context.h"
#include "core/cpu/cpu_identify.h"
#include "core/cpu/speed_arithmetic.h"
#include "core/base/machine.h"

namespace vc {

namespace {

std::optional<uint32_t> CounterFrequency(Machine machine) {
    uint64_t frequency = 0;
    if (!machine.clock.QueryPerformanceFrequency(frequency)) return std::nullopt;
    return static_cast<uint32_t>(frequency);
}

bool ReadCounter(Machine machine, uint32_t& value) {
    uint64_t counter = 0;
    if (!machine.clock.QueryPerformanceCounter(counter)) return false;
    value = static_cast<uint32_t>(counter);
    return true;
}

struct TryReading {
    uint32_t ticks = 0;   // performance-counter ticks of the window
    uint32_t cycles = 0;  // time-stamp cycles of the same window
};

// One try: settle for 50 ticks, then count cycles over 1000 ticks. Each loop
// reads the counter and then the time-stamp counter and nothing else, so the
// last time-stamp reading belongs to the counter reading that ended the loop.
// The thread runs at time-critical priority inside the loops only.
std::optional<TryReading> SampleOnce(Machine machine) {
    uint32_t t0 = 0;
    if (!ReadCounter(machine, t0)) return std::nullopt;
    const int32_t priority = machine.clock.GetThreadPriority();
    const bool raise = priority != kThreadPriorityError;
    if (raise) machine.clock.SetThreadPriority(kThreadPriorityTimeCritical);

    bool counted = true;
    uint32_t t1 = t0;
    uint32_t s0 = 0;
    uint32_t s1 = 0;
    while (counted && static_cast<uint32_t>(t1 - t0) < kSettleTicks) {
        counted = ReadCounter(machine, t1);
        s0 = static_cast<uint32_t>(machine.processor.ReadTimeStampCounter());
    }
    t0 = t1;
    while (counted && static_cast<uint32_t>(t1 - t0) < kWindowTicks) {
        counted = ReadCounter(machine, t1);
        s1 = static_cast<uint32_t>(machine.processor.ReadTimeStampCounter());
    }

    if (raise) machine.clock.SetThreadPriority(priority);
    if (!counted) return std::nullopt;
    return TryReading{static_cast<uint32_t>(t1 - t0), static_cast<uint32_t>(s1 - s0)};
}

}  // namespace

int32_t MeasureWithTimeStamp(Machine machine, SpeedSample& sample, MeasurementReport* report) {
    const std::optional<uint32_t> frequency = CounterFrequency(machine);
    if (!frequency || *frequency / 10 == 0) return 0;

    uint32_t totalCycles = 0;
    uint32_t totalUs = 0;
    uint32_t f2 = 0;
    uint32_t f3 = 0;
    uint32_t tries = 0;
    for (;;) {
        ++tries;
        const std::optional<TryReading> reading = SampleOnce(machine);
        if (!reading) return 0;
        const std::optional<uint32_t> us = TicksToMicroseconds(reading->ticks, *frequency);
        if (!us) return 0;
        totalCycles += reading->cycles;
        totalUs += *us;
        const std::optional<uint32_t> f = RoundedQuotient(reading->cycles, RoundMicroseconds(*us, *frequency));
        if (!f) return 0;
        if (tries == kMaxTries) break;
        if (tries >= kMinTries && TriesAgree(*f, f2, f3)) break;
        f3 = f2;
        f2 = *f;
    }

    const std::optional<SpeedSample> result = FinalSample(totalCycles, totalUs);
    if (!result) return 0;
    sample = *result;
    if (report != nullptr) {
        report->method = MeasurementMethod::TimeStamp;
        report->tries = tries;
    }
    return 1;
}

int32_t MeasureWithTimingLoop(Machine machine, uint32_t cycles, SpeedSample& sample) {
    const std::optional<uint32_t> frequency = CounterFrequency(machine);
    if (!frequency || *frequency / 10 == 0) return 0;

    uint32_t fastest = UINT32_MAX;
    for (uint32_t run = 0; run < kTimingLoopRuns; ++run) {
        uint32_t before = 0;
        uint32_t after = 0;
        if (!ReadCounter(machine, before)) return 0;
        machine.processor.RunBitScanLoop(kTimingLoopIterations);
        if (!ReadCounter(machine, after)) return 0;
        fastest = std::min(fastest, static_cast<uint32_t>(after - before));
    }

    const std::optional<uint32_t> elapsed = TicksToMicroseconds(fastest, *frequency);
    if (!elapsed) return 0;
    const uint32_t us = RoundMicroseconds(*elapsed, *frequency);
    const std::optional<uint32_t> rounded = RoundedQuotient(cycles, us);
    if (!rounded) return 0;  // a loop faster than one microsecond
    sample = SpeedSample{cycles, us, cycles / us, *rounded};
    return 1;
}

int32_t CPUSpeed(CPUInfo& cpu, Context& context, [[maybe_unused]] uint32_t clocks, SpeedSample& sample,
                 MeasurementReport* report) {
    const uint16_t kind = CPUKindID(cpu, context);
    const uint32_t features = CPUFeatures(cpu, context);
    sample = SpeedSample{};
    if (report != nullptr) *report = MeasurementReport{};

    if ((features & kFeatureTimeStampCounter) != 0) return MeasureWithTimeStamp(context.machine, sample, report);

    // Below the 386 there is no timing loop to count; a clone's kind (bit 15
    // set) has no entry in the loop table either. Both read as clock 0.
    if (kind < 3 || kind >= kLoopCyclesByKind.size()) return 1;
    const int32_t measured =
        MeasureWithTimingLoop(context.machine, kLoopCyclesByKind[kind] * kTimingLoopIterations, sample);
    if (measured != 0 && report != nullptr) report->method = MeasurementMethod::TimingLoop;
    return measured;
}

int32_t RefreshCPU(CPUInfo& cpu, Context& context, MeasurementReport* report) {
    if (CPUSpeed(cpu, context, 0, cpu.speed, report) == 0) {
        context.shell.ShowMessage(kCaptionMessage, "CPUSpeed fail");
        return 0;
    }
    cpu.cpuClockMHz = static_cast<double>(cpu.speed.roundedMHz);
    // Without a decoded multiplier the bus clock is unknown; report 0 rather
    // than an infinite or undefined quotient.
    cpu.busClockMHz = cpu.multiplier != 0.0 ? cpu.cpuClockMHz / cpu.multiplier : 0.0;
    return 1;
}

}  // namespace vc
