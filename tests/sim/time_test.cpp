// The simulated clocks: virtual time, the time-stamp counter following the
// bus clock, and a clock measurement coming out at the simulated clock.
#include <gtest/gtest.h>

#include <ostream>

#include "core/base/busy_wait.h"
#include "core/cpu/cpu_speed.h"
#include "sim/machine_catalogue.h"
#include "sim_fixtures.h"

namespace vc::sim {
namespace {

struct MeasureCase {
    const char* vendor;
    double multiplier;
    double busMHz;
    uint32_t expectedMHz;
};

void PrintTo(const MeasureCase& c, std::ostream* os) { *os << c.vendor << " x" << c.multiplier << " at " << c.busMHz << " MHz"; }

class MeasuredClock : public ::testing::TestWithParam<MeasureCase> {};

TEST_P(MeasuredClock, RoundsToTheSimulatedClock) {
    const auto& c = GetParam();
    MachineDescription d = test::VirtualDefault();
    d.cpu.vendor = c.vendor;
    d.cpu.multiplier = c.multiplier;
    d.cpu.configWord = 0;
    d.board.bootBusMHz = c.busMHz;
    SimMachine m(d);
    SpeedSample sample;
    MeasurementReport report;
    ASSERT_EQ(1, MeasureWithTimeStamp(m, sample, &report));
    EXPECT_EQ(c.expectedMHz, sample.roundedMHz);
    EXPECT_EQ(3U, report.tries);  // virtual time gives identical tries
}

INSTANTIATE_TEST_SUITE_P(Clocks, MeasuredClock,
                         ::testing::Values(MeasureCase{"GenuineIntel", 5.0, 100.0, 500},
                                           MeasureCase{"GenuineIntel", 4.5, 66.67, 300},
                                           MeasureCase{"GenuineIntel", 7.5, 133.33, 1000},
                                           MeasureCase{"GenuineIntel", 12.0, 133.33, 1600},
                                           MeasureCase{"AuthenticAMD", 10.5, 100.2, 1052},
                                           MeasureCase{"GenuineIntel", 3.0, 66.8, 200}));

TEST(MeasuredClock, RealTimeGivesTheSameAnswer) {
    MachineDescription d = test::VirtualDefault();
    d.time.mode = TimeMode::Real;
    SimMachine m(d);
    SpeedSample sample;
    ASSERT_EQ(1, MeasureWithTimeStamp(m, sample));
    EXPECT_EQ(500U, sample.roundedMHz);
}

}  // namespace
}  // namespace vc::sim

namespace vc::sim {
namespace {

TEST(VirtualTime, TwoMachinesReadTheSameCounters) {
    SimMachine a(test::VirtualDefault());
    SimMachine b(test::VirtualDefault());
    for (int i = 0; i < 50; ++i) {
        uint64_t ca = 0;
        uint64_t cb = 0;
        ASSERT_TRUE(a.QueryPerformanceCounter(ca));
        ASSERT_TRUE(b.QueryPerformanceCounter(cb));
        EXPECT_EQ(ca, cb);
        EXPECT_EQ(a.ReadTimeStampCounter(), b.ReadTimeStampCounter());
        EXPECT_EQ(a.TickCountMs(), b.TickCountMs());
    }
}

TEST(VirtualTime, AFourMillisecondWaitCostsFourHundredReads) {
    SimMachine m(test::VirtualDefault());
    const uint64_t before = m.ClockReads();
    BusyWaitMs(m, 4);
    const uint64_t reads = m.ClockReads() - before;
    EXPECT_GE(reads, 400U);
    EXPECT_LE(reads, 402U);
}

TEST(VirtualTime, TickCountWrapsAtTwoToThe32) {
    MachineDescription d = test::VirtualDefault();
    d.time.tickStartMs = 0xFFFFFFFE;
    SimMachine m(d);
    const uint32_t start = m.TickCountMs();
    BusyWaitMs(m, 4);
    const uint32_t end = m.TickCountMs();
    EXPECT_LT(end, start);  // wrapped
    EXPECT_GE(static_cast<uint32_t>(end - start), 4U);
}

TEST(TimeStampCounter, FollowsABusClockChangeInTheMiddleOfAnInterval) {
    SimMachine m(test::VirtualDefault());  // 5.0 x 100 MHz
    const uint64_t t0 = m.ReadTimeStampCounter();
    const uint64_t at0 = m.NowPs();
    m.AdvanceTimePs(1'000'000'000);  // 1 ms at 500 MHz
    m.SetBusClockMHz(133.0);         // now 665 MHz
    m.AdvanceTimePs(1'000'000'000);  // 1 ms at 665 MHz
    const uint64_t at1 = m.NowPs();
    const uint64_t t1 = m.ReadTimeStampCounter();
    // The first read's own cost ran at 500 MHz as well.
    const double expected = 500e6 * (1e-3 + static_cast<double>(kTimeStampReadPs) * 1e-12) + 665e6 * 1e-3;
    EXPECT_EQ(2'000'000'000ULL, at1 - at0);
    EXPECT_NEAR(expected, static_cast<double>(t1 - t0), 1.0);
}

TEST(TimeStampCounter, AbsentWithoutTheFeatureBit) {
    MachineDescription d = test::VirtualDefault();
    d.cpu.features &= ~0x10U;
    SimMachine m(d);
    m.AdvanceTimePs(kPsPerMs);
    EXPECT_EQ(0U, m.ReadTimeStampCounter());
}

TEST(TimingLoop, CostsIterationsTimesCyclesOverTheClock) {
    MachineDescription d = test::VirtualDefault();
    d.cpu.hasCpuid = false;
    d.cpu.flagsKind = 4;  // 47 cycles per iteration
    d.cpu.multiplier = 3.0;
    d.board.bootBusMHz = 33.0;  // 99 MHz
    SimMachine m(d);
    const uint64_t before = m.NowPs();
    m.RunBitScanLoop(4000);
    EXPECT_NEAR(4000.0 * 47 / 99e6 * 1e12, static_cast<double>(m.NowPs() - before), 1.0);
    SpeedSample sample;
    ASSERT_EQ(1, MeasureWithTimingLoop(m, 4000 * 47, sample));
    EXPECT_EQ(99U, sample.roundedMHz);
}

TEST(PerformanceCounter, CanBeAbsentOrSlow) {
    MachineDescription d = test::VirtualDefault();
    d.time.perfCounterPresent = false;
    SimMachine absent(d);
    uint64_t value = 0;
    EXPECT_FALSE(absent.QueryPerformanceFrequency(value));
    EXPECT_FALSE(absent.QueryPerformanceCounter(value));
    SpeedSample sample;
    EXPECT_EQ(0, MeasureWithTimeStamp(absent, sample));

    d.time.perfCounterPresent = true;
    d.time.perfFrequency = 5;
    SimMachine slow(d);
    ASSERT_TRUE(slow.QueryPerformanceFrequency(value));
    EXPECT_EQ(5U, value);
    slow.AdvanceTimePs(kPsPerSecond);
    ASSERT_TRUE(slow.QueryPerformanceCounter(value));
    EXPECT_EQ(5U, value);
}

TEST(ThreadPriority, IsStoredOrFailsWhenToldTo) {
    MachineDescription d = test::VirtualDefault();
    SimMachine m(d);
    m.SetThreadPriority(kThreadPriorityTimeCritical);
    EXPECT_EQ(kThreadPriorityTimeCritical, m.GetThreadPriority());
    d.time.priorityQueryFails = true;
    SimMachine failing(d);
    EXPECT_EQ(kThreadPriorityError, failing.GetThreadPriority());
}

TEST(MeasuredClock, SeesTheNewClockAfterAChipWrite) {
    SimMachine m(test::VirtualDefault());  // ICS9248-153, 0x38 selects 112 MHz
    std::vector<uint8_t> out(28);
    ASSERT_TRUE(test::NtRequest(m, kReqNtSmbusBlockWrite, test::SmbusRequest(0x5000, 1, 1, 0), out, {0x38}));
    SpeedSample sample;
    ASSERT_EQ(1, MeasureWithTimeStamp(m, sample));
    EXPECT_EQ(560U, sample.roundedMHz);
}

}  // namespace
}  // namespace vc::sim
