#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "core/app/context.h"
#include "core/cpu/busy_wait.h"
#include "core/cpu/cpu_identify.h"
#include "core/cpu/cpu_info.h"
#include "core/cpu/cpu_speed.h"
#include "core/cpu/fake_cpu_machine.h"
#include "support/recording_shell.h"

namespace vc {
namespace {

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& p) {
    return p.param.name;
}

using test::FakeCpuMachine;
using test::RecordingShell;
using test::ShownMessage;

constexpr uint32_t kTsc = 1u << 4;

class Measurement : public ::testing::Test {
protected:
    Measurement() { machine.SetProcessor("GenuineIntel", 0x686, kTsc); }

    int32_t Refresh() { return RefreshCPU(cpu, context, &report); }

    FakeCpuMachine machine;
    RecordingShell shell;
    Context context{machine, shell, kOsOther, {}};
    CPUInfo cpu;
    MeasurementReport report;
};

// --- the time-stamp measurement ------------------------------------------------

struct ClockCase {
    uint64_t counterHz;
    uint64_t cpuHz;
    double multiplier;
    double cpuMHz;
};

class MeasuredClock : public Measurement, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(MeasuredClock, EqualsTheProcessorClock) {
    const ClockCase& c = GetParam();
    machine.counterHz = c.counterHz;
    machine.SetCpuHz(c.cpuHz);
    cpu.multiplier = c.multiplier;
    ASSERT_EQ(Refresh(), 1);
    EXPECT_EQ(cpu.cpuClockMHz, c.cpuMHz);
    EXPECT_DOUBLE_EQ(cpu.busClockMHz, c.cpuMHz / c.multiplier);
    EXPECT_EQ(report.method, MeasurementMethod::TimeStamp);
    EXPECT_EQ(report.tries, kMinTries);
    EXPECT_TRUE(shell.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Boards, MeasuredClock,
                         ::testing::Values(ClockCase{1'000'000, 500'000'000, 5.0, 500},
                                           ClockCase{10'000'000, 300'000'150, 4.5, 300},
                                           ClockCase{test::kAcpiCounterHz, 300'000'150, 4.5, 300},
                                           ClockCase{1'000'000, 1'400'000'000, 10.5, 1400},
                                           ClockCase{test::kAcpiCounterHz, 133'333'333, 2.0, 133}));

TEST_F(Measurement, AcpiCounterStaysWithinWholeMicrosecondResolution) {
    // Windows are counted in whole microseconds (279 for 279.37), so the
    // clock can read a little high; never by more than 0.2 %.
    for (const uint64_t hz : {233'000'000ull, 500'000'000ull, 866'000'000ull, 1'000'000'000ull}) {
        machine.SetCpuHz(hz);
        ASSERT_EQ(Refresh(), 1);
        const double trueMHz = static_cast<double>(hz) / 1e6;
        EXPECT_NEAR(cpu.cpuClockMHz, trueMHz, trueMHz * 0.002 + 1.0) << hz;
    }
}

struct TriesCase {
    std::vector<uint64_t> cpuHzPerTry;
    uint32_t tries;
};

class TriesTaken : public Measurement, public ::testing::WithParamInterface<TriesCase> {};

TEST_P(TriesTaken, StopsWhenThreeTriesAgree) {
    machine.counterHz = 1'000'000;
    machine.cpuHzPerTry = GetParam().cpuHzPerTry;
    ASSERT_EQ(Refresh(), 1);
    EXPECT_EQ(report.tries, GetParam().tries);
    EXPECT_EQ(machine.prioritiesSet.size(), 2 * GetParam().tries);
}

std::vector<uint64_t> Alternating(uint64_t a, uint64_t b, size_t count) {
    std::vector<uint64_t> values;
    for (size_t i = 0; i < count; ++i) values.push_back(i % 2 == 0 ? a : b);
    return values;
}

INSTANTIATE_TEST_SUITE_P(
    Readings, TriesTaken,
    ::testing::Values(TriesCase{{500'000'000}, 3},
                      TriesCase{{500'000'000, 502'000'000, 501'000'000}, 3},
                      TriesCase{{500'000'000, 530'000'000, 500'000'000}, 5},
                      TriesCase{{500'000'000, 504'000'000, 500'000'000, 500'000'000}, 5},
                      TriesCase{Alternating(500'000'000, 520'000'000, 30), 20}));

TEST_F(Measurement, TwentyDisagreeingTriesAverageOverAllOfThem) {
    machine.counterHz = 1'000'000;
    machine.cpuHzPerTry = Alternating(500'000'000, 520'000'000, 30);
    ASSERT_EQ(Refresh(), 1);
    EXPECT_EQ(report.tries, kMaxTries);
    EXPECT_EQ(cpu.speed.elapsedUs, kMaxTries * 1000);
    EXPECT_EQ(cpu.speed.roundedMHz, 510u);
}

TEST_F(Measurement, SamplingLoopsReadCounterThenTimeStampAtRaisedPriorityOnly) {
    machine.priority = -1;
    ASSERT_EQ(Refresh(), 1);
    // Every raised stretch holds only counter/time-stamp pairs.
    const std::regex raised(R"(\+([^-]*)-)");
    int stretches = 0;
    std::string outside = machine.events;
    for (auto it = std::sregex_iterator(machine.events.begin(), machine.events.end(), raised);
         it != std::sregex_iterator(); ++it) {
        ++stretches;
        EXPECT_TRUE(std::regex_match((*it)[1].str(), std::regex("(PT)+")));
    }
    EXPECT_EQ(stretches, 3);
    outside = std::regex_replace(outside, raised, "");
    EXPECT_EQ(outside.find('T'), std::string::npos);
    // Each raise follows a priority query; each restore goes back to -1.
    EXPECT_EQ(std::regex_replace(machine.events, std::regex("[^G+]"), ""), "G+G+G+");
    EXPECT_EQ(machine.prioritiesSet, (std::vector<int32_t>{15, -1, 15, -1, 15, -1}));
    EXPECT_EQ(machine.priority, -1);
}

TEST_F(Measurement, PriorityErrorLeavesThePriorityAlone) {
    machine.priorityQueryFails = true;
    machine.counterHz = 1'000'000;
    ASSERT_EQ(Refresh(), 1);
    EXPECT_TRUE(machine.prioritiesSet.empty());
    EXPECT_EQ(cpu.cpuClockMHz, 500.0);
}

struct WrapCase {
    uint64_t counterOffset;
    uint64_t tscOffset;
    uint32_t tickOffset;
};

class CounterWrap : public Measurement, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(CounterWrap, LowThirtyTwoBitsWrapWithoutChangingTheResult) {
    machine.counterHz = 1'000'000;
    machine.counterOffset = GetParam().counterOffset;
    machine.tscOffset = GetParam().tscOffset;
    machine.tickOffset = GetParam().tickOffset;
    cpu.multiplier = 5.0;
    ASSERT_EQ(Refresh(), 1);
    EXPECT_EQ(cpu.cpuClockMHz, 500.0);
    EXPECT_EQ(cpu.busClockMHz, 100.0);
}

INSTANTIATE_TEST_SUITE_P(Offsets, CounterWrap,
                         ::testing::Values(WrapCase{0x1'0000'0000ull - 30'200, 0, 0},     // inside the first try
                                           WrapCase{0xFFFF'FFFFull - 1'500, 0, 0},         // inside the second try
                                           WrapCase{0, 0xFFFF'FFFFull - 600'000'000, 0},   // time stamp wraps
                                           WrapCase{0, 0xFFFF'FFFF'FFFF'0000ull, 0xFFFF'FFF0u},
                                           WrapCase{0x7'FFFF'FFFFull - 2'000, 0x3'FFFF'FFFFull - 1'000'000, 0}));

// --- failures -------------------------------------------------------------------

struct FailureCase {
    const char* name;
    bool frequencyAvailable;
    bool counterReadable;
    uint64_t counterHz;
};

class MeasurementFails : public Measurement, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(MeasurementFails, ShowsCPUSpeedFailAndKeepsTheClocks) {
    const FailureCase& c = GetParam();
    machine.counterFrequencyAvailable = c.frequencyAvailable;
    machine.counterReadable = c.counterReadable;
    machine.counterHz = c.counterHz;
    cpu.cpuClockMHz = 450.0;
    cpu.busClockMHz = 100.0;
    cpu.speed.roundedMHz = 450;
    EXPECT_EQ(Refresh(), 0);
    EXPECT_EQ(shell.messages, (std::vector<ShownMessage>{{"Message", "CPUSpeed fail"}}));
    EXPECT_EQ(cpu.cpuClockMHz, 450.0);
    EXPECT_EQ(cpu.busClockMHz, 100.0);
    EXPECT_EQ(cpu.speed.roundedMHz, 0u);  // the sample is cleared before measuring
}

const FailureCase kFailures[] = {
    {"NoCounter", false, true, test::kAcpiCounterHz},
    {"CounterUnreadable", true, false, test::kAcpiCounterHz},
    {"ZeroFrequency", true, true, 0},
    {"BelowTenHertz", true, true, 9},
};

INSTANTIATE_TEST_SUITE_P(Counters, MeasurementFails, ::testing::ValuesIn(kFailures),
                         CaseName<FailureCase>);

class LoopMeasurementFails : public MeasurementFails {};

TEST_P(LoopMeasurementFails, WithoutTimeStampCounterToo) {
    machine.SetProcessor("GenuineIntel", 0x543, 0);
    machine.loopCyclesPerIteration = kLoopCyclesByKind[5];
    const FailureCase& c = GetParam();
    machine.counterFrequencyAvailable = c.frequencyAvailable;
    machine.counterReadable = c.counterReadable;
    machine.counterHz = c.counterHz;
    EXPECT_EQ(Refresh(), 0);
    EXPECT_EQ(shell.Texts(), (std::vector<std::string>{"CPUSpeed fail"}));
}

INSTANTIATE_TEST_SUITE_P(Counters, LoopMeasurementFails, ::testing::ValuesIn(kFailures),
                         CaseName<FailureCase>);

TEST_F(Measurement, LoopFasterThanOneMicrosecondFails) {
    machine.SetProcessor("GenuineIntel", 0x543, 0);
    machine.counterHz = 4'000'000'000;
    machine.SetCpuHz(1'000'000'000'000);
    EXPECT_EQ(Refresh(), 0);
    EXPECT_EQ(shell.Texts(), (std::vector<std::string>{"CPUSpeed fail"}));
}

TEST_F(Measurement, WithoutMultiplierTheBusClockIsZero) {
    machine.counterHz = 1'000'000;
    ASSERT_EQ(Refresh(), 1);
    EXPECT_EQ(cpu.cpuClockMHz, 500.0);
    EXPECT_EQ(cpu.busClockMHz, 0.0);
}

// --- processors without time-stamp counter ------------------------------------

struct NoTscCase {
    const char* name;
    bool hasCpuid;
    const char* vendor;
    uint32_t signature;
    bool divisionClone;
    bool nibbleStuckSet;
    bool nibbleStuckClear;
    bool alignmentToggles;
    uint64_t cpuHz;
    uint32_t loopCycles;  // what one timing-loop iteration really costs
    double expectedMHz;   // 0: unmeasurable
};

class WithoutTimeStamp : public Measurement, public ::testing::WithParamInterface<NoTscCase> {};

TEST_P(WithoutTimeStamp, MeasuresTheTimingLoopOrReadsZero) {
    const NoTscCase& c = GetParam();
    machine.hasCpuid = c.hasCpuid;
    machine.SetProcessor(c.vendor, c.signature, 0);
    machine.divisionClone = c.divisionClone;
    machine.nibbleStuckSet = c.nibbleStuckSet;
    machine.nibbleStuckClear = c.nibbleStuckClear;
    machine.alignmentToggles = c.alignmentToggles;
    machine.SetCpuHz(c.cpuHz);
    machine.loopCyclesPerIteration = c.loopCycles;
    cpu.multiplier = 2.0;

    ASSERT_EQ(Refresh(), 1);
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(cpu.cpuClockMHz, c.expectedMHz);
    EXPECT_EQ(cpu.busClockMHz, c.expectedMHz / 2.0);
    EXPECT_TRUE(machine.prioritiesSet.empty());
    EXPECT_EQ(machine.events.find('T'), std::string::npos);
    if (c.expectedMHz == 0) {
        EXPECT_EQ(cpu.speed.cycles, 0u);
        EXPECT_EQ(cpu.speed.elapsedUs, 0u);
        EXPECT_EQ(machine.events.find('L'), std::string::npos);
    } else {
        EXPECT_EQ(report.method, MeasurementMethod::TimingLoop);
        EXPECT_EQ(cpu.speed.cycles, c.loopCycles * kTimingLoopIterations);
        EXPECT_EQ(std::count(machine.events.begin(), machine.events.end(), 'L'), 10);
    }
}

const NoTscCase kNoTscCases[] = {
    {"i8086", false, "", 0, false, true, false, false, 8'000'000, 115, 0},
    {"i286", false, "", 0, false, false, true, false, 12'000'000, 115, 0},
    // 460000 cycles take 102911 ticks of the ACPI counter: a product past 32 bits.
    {"i386at16", false, "", 0, false, false, false, false, 16'000'000, 115, 16},
    {"i486at33", false, "", 0, false, false, false, true, 33'000'000, 47, 33},
    {"i486at100", false, "", 0, false, false, false, true, 100'000'000, 47, 100},
    {"clone486", false, "", 0, true, false, false, true, 40'000'000, 47, 0},
    {"clone386", false, "", 0, true, false, false, false, 40'000'000, 115, 0},
    {"pentiumNoTsc", true, "GenuineIntel", 0x543, false, false, false, true, 75'000'000, 43, 75},
    {"family6NoTsc", true, "GenuineIntel", 0x633, false, false, false, true, 233'000'000, 38, 233},
    {"amdNoTsc", true, "AuthenticAMD", 0x562, false, false, false, true, 200'000'000, 43, 0},
};

INSTANTIATE_TEST_SUITE_P(Kinds, WithoutTimeStamp, ::testing::ValuesIn(kNoTscCases),
                         CaseName<NoTscCase>);

// --- the busy wait ----------------------------------------------------------------

struct WaitCase {
    uint32_t tickOffset;
    uint32_t ms;
};

class BusyWait : public ::testing::TestWithParam<WaitCase> {};

TEST_P(BusyWait, WaitsTheFullTimeAcrossWrapAround) {
    FakeCpuMachine machine;
    machine.tickOffset = GetParam().tickOffset;
    const uint32_t start = machine.TickNow();
    const uint64_t startPs = machine.NowPs();
    EXPECT_EQ(BusyWaitMs(machine, GetParam().ms), 1);
    EXPECT_EQ(static_cast<uint32_t>(machine.TickNow() - start), GetParam().ms);
    EXPECT_LT(machine.NowPs() - startPs, (GetParam().ms + 1) * 1'000'000'000ull);
}

INSTANTIATE_TEST_SUITE_P(Ticks, BusyWait,
                         ::testing::Values(WaitCase{0, 4}, WaitCase{0xFFFF'FFFFu, 4}, WaitCase{0xFFFF'FFFEu, 100},
                                           WaitCase{0xFFFF'FF00u, 1000}, WaitCase{0x7FFF'FFFFu, 2}, WaitCase{0, 0}));

}  // namespace
}  // namespace vc
