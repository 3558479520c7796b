#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "core/base/context.h"
#include "core/base/busy_wait.h"
#include "core/cpu/cpu_speed.h"
#include "core/cpu/fake_cpu.h"
#include "support/recording_shell.h"

namespace vc {
namespace {

constexpr uint32_t kTsc = 1u << 4;
constexpr uint64_t kMHz = 1'000'000;

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& p) {
    return p.param.name;
}

class Measurement : public ::testing::Test {
protected:
    Measurement() { machine.SetProcessor("GenuineIntel", 0x686, kTsc); }
    int32_t Refresh() { return RefreshCPU(cpu, context, &report); }

    test::FakeCpu machine;
    test::RecordingShell shell;
    Context context{machine, shell, kOsOther, {}};
    CPUInfo cpu;
    MeasurementReport report;
};

struct ClockCase {
    uint64_t counterHz, cpuHz;
    double multiplier, cpuMHz, busMHz;
};

void PrintTo(const ClockCase& c, std::ostream* os) {
    *os << "counter " << c.counterHz << " Hz, processor " << c.cpuHz << " Hz, x" << c.multiplier << " -> " << c.cpuMHz
        << " / " << c.busMHz << " MHz";
}

class MeasuredClock : public Measurement, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(MeasuredClock, MatchesTheProcessorClockThroughRefresh) {
    const ClockCase& c = GetParam();
    machine.counterHz = c.counterHz;
    machine.SetCpuHz(c.cpuHz);
    cpu.multiplier = c.multiplier;
    ASSERT_EQ(Refresh(), 1);
    EXPECT_EQ(cpu.cpuClockMHz, c.cpuMHz);
    EXPECT_DOUBLE_EQ(cpu.busClockMHz, c.busMHz);
    EXPECT_EQ(report.tries, kMinTries);
    EXPECT_TRUE(shell.messages.empty());
}

// With the 3.579545 MHz counter a 1000-tick window counts as 279 us instead
// of 279.37, so clocks read up to 0.13 % high (500 MHz reads 501).
INSTANTIATE_TEST_SUITE_P(Boards, MeasuredClock,
                         ::testing::Values(ClockCase{1 * kMHz, 500 * kMHz, 5.0, 500, 100},
                                           ClockCase{10 * kMHz, 300'000'150, 4.5, 300, 300 / 4.5},
                                           ClockCase{test::kAcpiCounterHz, 300'000'150, 4.5, 300, 300 / 4.5},
                                           ClockCase{test::kAcpiCounterHz, 500 * kMHz, 5.0, 501, 100.2},
                                           ClockCase{1 * kMHz, 1400 * kMHz, 10.5, 1400, 1400 / 10.5},
                                           ClockCase{1 * kMHz, 450 * kMHz, 0.0, 450, 0}));  // no multiplier

struct TriesCase {
    std::vector<uint64_t> mhzPerTry;
    uint32_t tries, roundedMHz;
};

void PrintTo(const TriesCase& c, std::ostream* os) {
    *os << ::testing::PrintToString(c.mhzPerTry) << " MHz -> " << c.tries << " tries, " << c.roundedMHz << " MHz";
}

class TriesTaken : public Measurement, public ::testing::WithParamInterface<TriesCase> {};

TEST_P(TriesTaken, StopWhenThreeConsecutiveTriesAgreeOrAtTwenty) {
    machine.counterHz = 1 * kMHz;
    for (const uint64_t mhz : GetParam().mhzPerTry) machine.cpuHzPerTry.push_back(mhz * kMHz);
    ASSERT_EQ(Refresh(), 1);
    EXPECT_EQ(report.tries, GetParam().tries);
    EXPECT_EQ(cpu.speed.elapsedUs, GetParam().tries * 1000);
    EXPECT_EQ(cpu.speed.roundedMHz, GetParam().roundedMHz);  // averaged over every try
}

std::vector<uint64_t> Alternating(uint64_t a, uint64_t b) {
    std::vector<uint64_t> values;
    for (int i = 0; i < 30; ++i) values.push_back(i % 2 == 0 ? a : b);
    return values;
}

INSTANTIATE_TEST_SUITE_P(Readings, TriesTaken,
                         ::testing::Values(TriesCase{{500}, 3, 500}, TriesCase{{500, 502, 501}, 3, 501},
                                           TriesCase{{500, 530, 500}, 5, 506}, TriesCase{{500, 504, 500}, 5, 501},
                                           TriesCase{Alternating(500, 520), 20, 510}));

TEST_F(Measurement, SamplingLoopsReadCounterThenTimeStampAtRaisedPriorityOnly) {
    machine.priority = -1;
    ASSERT_EQ(Refresh(), 1);
    const std::regex raised(R"(\+([^-]*)-)");
    int stretches = 0;
    for (auto it = std::sregex_iterator(machine.events.begin(), machine.events.end(), raised);
         it != std::sregex_iterator(); ++it, ++stretches) {
        EXPECT_TRUE(std::regex_match((*it)[1].str(), std::regex("(PT)+")));
    }
    EXPECT_EQ(stretches, 3);
    EXPECT_EQ(std::regex_replace(machine.events, raised, "").find('T'), std::string::npos);
    EXPECT_EQ(std::regex_replace(machine.events, std::regex("[^G+]"), ""), "G+G+G+");
    EXPECT_EQ(machine.prioritiesSet, (std::vector<int32_t>{15, -1, 15, -1, 15, -1}));
}

TEST_F(Measurement, PriorityQueryErrorLeavesThePriorityAlone) {
    machine.priorityQueryFails = true;
    ASSERT_EQ(Refresh(), 1);
    EXPECT_TRUE(machine.prioritiesSet.empty());
}

struct WrapCase {
    uint64_t counterOffset, tscOffset;
    uint32_t tickOffset;
};

void PrintTo(const WrapCase& c, std::ostream* os) {
    *os << std::hex << "counter +0x" << c.counterOffset << ", time stamp +0x" << c.tscOffset << ", tick +0x"
        << c.tickOffset;
}

class CounterWrap : public Measurement, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(CounterWrap, LowThirtyTwoBitsWrapWithoutChangingTheResult) {
    machine.counterHz = 1 * kMHz;
    machine.counterOffset = GetParam().counterOffset;
    machine.tscOffset = GetParam().tscOffset;
    machine.tickOffset = GetParam().tickOffset;
    ASSERT_EQ(Refresh(), 1);
    EXPECT_EQ(cpu.cpuClockMHz, 500.0);
}

INSTANTIATE_TEST_SUITE_P(Offsets, CounterWrap,
                         ::testing::Values(WrapCase{0x1'0000'0000ull - 30'200, 0, 0},  // in the first try
                                           WrapCase{0xFFFF'FFFFull - 1'500, 0, 0},      // in the second try
                                           WrapCase{0, 0xFFFF'FFFFull - 600'000'000, 0},
                                           WrapCase{0x7'FFFF'FFFFull - 2'000, 0xFFFF'FFFF'FFFF'0000ull, 0xFFFF'FFF0u}));

struct FailureCase {
    const char* name;
    bool frequencyAvailable, counterReadable;
    uint64_t counterHz;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class MeasurementFails : public Measurement,
                         public ::testing::WithParamInterface<std::tuple<FailureCase, bool>> {};

TEST_P(MeasurementFails, ShowsCPUSpeedFailAndKeepsTheClocks) {
    const auto& [c, withTimeStamp] = GetParam();
    if (!withTimeStamp) machine.SetProcessor("GenuineIntel", 0x543, 0);
    machine.counterFrequencyAvailable = c.frequencyAvailable;
    machine.counterReadable = c.counterReadable;
    machine.counterHz = c.counterHz;
    cpu.cpuClockMHz = 450.0;
    cpu.busClockMHz = 100.0;
    EXPECT_EQ(Refresh(), 0);
    EXPECT_EQ(shell.messages, (std::vector<test::ShownMessage>{{"Message", "CPUSpeed fail"}}));
    EXPECT_EQ(cpu.cpuClockMHz, 450.0);
    EXPECT_EQ(cpu.busClockMHz, 100.0);
}

const FailureCase kFailures[] = {{"NoCounter", false, true, test::kAcpiCounterHz},
                                 {"Unreadable", true, false, test::kAcpiCounterHz},
                                 {"ZeroHz", true, true, 0},
                                 {"NineHz", true, true, 9}};

INSTANTIATE_TEST_SUITE_P(Counters, MeasurementFails, ::testing::Combine(::testing::ValuesIn(kFailures), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<FailureCase, bool>>& p) {
                             return std::string(std::get<0>(p.param).name) + (std::get<1>(p.param) ? "Tsc" : "Loop");
                         });

TEST_F(Measurement, WindowsShorterThanOneMicrosecondFail) {
    machine.counterHz = 4'000 * kMHz;  // 1000 ticks last 0.25 us
    EXPECT_EQ(Refresh(), 0);
    machine.SetProcessor("GenuineIntel", 0x543, 0);
    machine.SetCpuHz(1'000'000 * kMHz);  // the timing loop takes 0.19 us
    EXPECT_EQ(Refresh(), 0);
    EXPECT_EQ(shell.Texts(), (std::vector<std::string>{"CPUSpeed fail", "CPUSpeed fail"}));
}

struct NoTscCase {
    const char* name;
    const char* vendor;  // empty: no CPUID
    uint32_t signature;
    bool clone, stuckSet, stuckClear, alignment;
    uint64_t cpuHz;
    uint32_t loopCycles;  // what one timing-loop iteration really costs
    double expectedMHz;   // 0: unmeasurable
};

void PrintTo(const NoTscCase& c, std::ostream* os) { *os << c.name << " at " << c.cpuHz << " Hz -> " << c.expectedMHz << " MHz"; }

class WithoutTimeStamp : public Measurement, public ::testing::WithParamInterface<NoTscCase> {};

TEST_P(WithoutTimeStamp, TimesTheLoopOrReadsZero) {
    const NoTscCase& c = GetParam();
    machine.hasCpuid = *c.vendor != '\0';
    machine.SetProcessor(c.vendor, c.signature, 0);
    machine.divisionClone = c.clone;
    machine.nibbleStuckSet = c.stuckSet;
    machine.nibbleStuckClear = c.stuckClear;
    machine.alignmentToggles = c.alignment;
    machine.SetCpuHz(c.cpuHz);
    machine.loopCyclesPerIteration = c.loopCycles;
    cpu.multiplier = 2.0;
    ASSERT_EQ(Refresh(), 1);
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(cpu.cpuClockMHz, c.expectedMHz);
    EXPECT_EQ(cpu.busClockMHz, c.expectedMHz / 2.0);
    EXPECT_EQ(cpu.speed.cycles, c.expectedMHz == 0 ? 0 : c.loopCycles * kTimingLoopIterations);
    const auto loops = std::count(machine.events.begin(), machine.events.end(), 'L');
    EXPECT_EQ(loops, c.expectedMHz == 0 ? 0 : 10);
    EXPECT_TRUE(machine.prioritiesSet.empty());
}

const NoTscCase kNoTscCases[] = {
    {"i8086", "", 0, false, true, false, false, 8 * kMHz, 115, 0},
    {"i286", "", 0, false, false, true, false, 12 * kMHz, 115, 0},
    // 460000 cycles last 102911 counter ticks: a product past 32 bits.
    {"i386", "", 0, false, false, false, false, 16 * kMHz, 115, 16},
    {"i486", "", 0, false, false, false, true, 33 * kMHz, 47, 33},
    {"clone486", "", 0, true, false, false, true, 40 * kMHz, 47, 0},  // kind 0x8004 has no loop entry
    {"pentium", "GenuineIntel", 0x543, false, false, false, true, 75 * kMHz, 43, 75},
    {"family6", "GenuineIntel", 0x633, false, false, false, true, 233 * kMHz, 38, 233},
    {"amd", "AuthenticAMD", 0x562, false, false, false, true, 200 * kMHz, 43, 0},
};

INSTANTIATE_TEST_SUITE_P(Kinds, WithoutTimeStamp, ::testing::ValuesIn(kNoTscCases), CaseName<NoTscCase>);

TEST(BusyWait, WaitsTheFullTimeAcrossWrapAround) {
    struct Case {
        uint32_t tickOffset, ms;
    };
    for (const Case& c : {Case{0, 4}, Case{0xFFFF'FFFFu, 4}, Case{0xFFFF'FFFEu, 100}, Case{0xFFFF'FF00u, 1000},
                          Case{0, 0}}) {
        test::FakeCpu machine;
        machine.tickOffset = c.tickOffset;
        const uint32_t start = machine.TickNow();
        EXPECT_EQ(BusyWaitMs(machine, c.ms), 1);
        EXPECT_EQ(static_cast<uint32_t>(machine.TickNow() - start), c.ms) << c.tickOffset;
    }
}

}  // namespace
}  // namespace vc
