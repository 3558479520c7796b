// Selecting, applying and the optimal-entry search.
#include <gtest/gtest.h>

#include <ostream>

#include "core/board/auto_overclock.h"
#include "core/board/frequency_stepping.h"
#include "table_fixture.h"

namespace vc {
namespace {

const std::vector<ClockEntry> kFive{
    {66.8, 33.4, 66.8, 10, 0x10},   {100.2, 33.4, 100.2, 20, 0x20}, {112.0, 37.3, 112.0, 20, 0x30},
    {124.0, 41.3, 124.0, 20, 0x40}, {133.6, 33.4, 133.6, 30, 0x1250},
};

class SteppingTest : public test::TableFixture, public ::testing::Test {
protected:
    SteppingTest() {
        Table(kFive);
        Indexes(2, 2, 2);
        info.busClockMHz = 99.7;  // as measured
        info.cpuClockMHz = 448.65;
    }
};

TEST_F(SteppingTest, NextSelectsAndRecomputesWithoutWriting) {
    EXPECT_EQ(NextEntry(info), 1);
    EXPECT_EQ(info.currentIndex, 3);
    EXPECT_EQ(info.appliedIndex, 2);
    EXPECT_EQ(info.busClockMHz, 112.0);
    EXPECT_EQ(info.pciClockMHz, 37.3);
    EXPECT_EQ(info.memClockMHz, 112.0);
    EXPECT_DOUBLE_EQ(info.cpuClockMHz, 4.5 * 112.0);
    EXPECT_TRUE(rig.platform.requests.empty());
}

TEST_F(SteppingTest, EndsOfTheTableHoldButStillRecompute) {
    Indexes(2, 5, 2);
    EXPECT_EQ(NextEntry(info), 1);
    EXPECT_EQ(info.currentIndex, 5);
    EXPECT_EQ(info.busClockMHz, 133.6);
    Indexes(2, 1, 2);
    info.busClockMHz = 0.0;
    EXPECT_EQ(PreviousEntry(info), 1);
    EXPECT_EQ(info.currentIndex, 1);
    EXPECT_EQ(info.busClockMHz, 66.8);
    EXPECT_EQ(PreviousEntry(info), 1);
    EXPECT_EQ(info.currentIndex, 1);
}

TEST_F(SteppingTest, DefaultReturnsToTheStartUpEntry) {
    Indexes(2, 4, 4);
    EXPECT_EQ(DefaultEntry(info), 1);
    EXPECT_EQ(info.currentIndex, 2);
    EXPECT_EQ(info.appliedIndex, 4);
    EXPECT_EQ(info.busClockMHz, 100.2);
}

TEST_F(SteppingTest, ApplyWritesTheLowByteAndLeavesTheShownClocks) {
    Indexes(2, 5, 2);
    const WriteOutcome outcome = ApplyEntry(info);
    EXPECT_EQ(outcome.answer, 1);
    EXPECT_TRUE(outcome.written);
    EXPECT_EQ(WrittenBytes(), std::vector<uint8_t>{0x50});
    EXPECT_EQ(info.appliedIndex, 5);
    EXPECT_EQ(info.busClockMHz, 99.7);
}

// Any index outside the table: nothing read, nothing changed, answer 0.
TEST_F(SteppingTest, IndexesOutsideTheTableChangeNothing) {
    for (const int32_t bad : {0, -1, 6, 64, INT32_MAX, INT32_MIN}) {
        SCOPED_TRACE(bad);
        Indexes(bad, bad, bad);
        const SystemInfo before = info;
        EXPECT_EQ(RefreshEntry(info), 0);
        EXPECT_EQ(PreviousEntry(info), 0);
        EXPECT_EQ(NextEntry(info), 0);
        EXPECT_EQ(DefaultEntry(info), 0);
        EXPECT_EQ(ApplyEntry(info).answer, 0);
        EXPECT_EQ(ApplyOptimalEntry(info).answer, 0);
        EXPECT_FALSE(FindOptimalEntry(info).has_value());
        EXPECT_EQ(info.currentIndex, before.currentIndex);
        EXPECT_EQ(info.appliedIndex, before.appliedIndex);
        EXPECT_EQ(info.busClockMHz, before.busClockMHz);
    }
    EXPECT_TRUE(rig.platform.requests.empty());
}

TEST_F(SteppingTest, NoTableOrADeclaredCountBeyondTheLoadedEntries) {
    info.board.clockGen->entryCount = 9;  // more than loaded: only 5 usable
    Indexes(2, 5, 2);
    EXPECT_EQ(NextEntry(info), 1);
    EXPECT_EQ(info.currentIndex, 5);
    info.currentIndex = 6;
    EXPECT_EQ(RefreshEntry(info), 0);
    info.board.clockGen.reset();
    Indexes(1, 1, 1);
    EXPECT_EQ(RefreshEntry(info), 0);
    EXPECT_EQ(ApplyEntry(info).answer, 0);
    EXPECT_TRUE(rig.platform.requests.empty());
}

// --- the optimal entry ----------------------------------------------------------

struct OptimalCase {
    const char* name;
    std::vector<ClockEntry> table;
    int32_t defaultIndex;
    double maxBus, maxPci, maxMem, memBase;
    int32_t expected;  // 0: no result
};

void PrintTo(const OptimalCase& c, std::ostream* os) { *os << c.name; }

class OptimalTest : public test::TableFixture, public ::testing::TestWithParam<OptimalCase> {};

TEST_P(OptimalTest, HighestEntryInsideTheLimits) {
    const OptimalCase& c = GetParam();
    Table(c.table);
    Indexes(c.defaultIndex, c.defaultIndex, c.defaultIndex);
    info.board.maxBusRatio = c.maxBus;
    info.board.maxPciRatio = c.maxPci;
    info.board.maxMemRatio = c.maxMem;
    info.memBaseClockMHz = c.memBase;
    const std::optional<int32_t> found = FindOptimalEntry(info);
    EXPECT_EQ(found.value_or(0), c.expected);
}

const std::vector<ClockEntry> kHundreds{
    {100.0, 33.3, 100.0, 20, 1}, {100.0, 33.3, 133.3, 21, 2}, {100.0, 33.3, 100.0, 20, 3},
    {100.0, 34.0, 100.0, 20, 4}, {66.8, 33.4, 66.8, 10, 5},
};
const std::vector<ClockEntry> kClimb{
    {100.0, 33.3, 100.0, 20, 1}, {110.0, 36.7, 110.0, 20, 2}, {120.0, 40.0, 150.0, 20, 3},
    {118.0, 39.3, 118.0, 20, 4}, {118.0, 39.3, 118.0, 20, 5}, {131.0, 32.0, 131.0, 30, 6},
};

INSTANTIATE_TEST_SUITE_P(
    Cases, OptimalTest,
    ::testing::Values(
        // maxBus 1.0: the last exactly-100 entry that meets PCI (33*1.02) and memory limits.
        OptimalCase{"BusRatioOne", kHundreds, 1, 1.0, 1.02, 1.2, 100.0, 3},
        // 120 MHz has memory 150 > 120: skipped although its bus clock is highest.
        OptimalCase{"MemoryLimitSkips", kClimb, 1, 1.3, 1.25, 1.2, 100.0, 5},
        OptimalCase{"MemoryUnlimitedAtZero", kClimb, 1, 1.3, 1.25, 0.0, 100.0, 3},
        // 133 memory class: 150 <= 133*1.2, so 120 MHz qualifies.
        OptimalCase{"MemoryClassRaisesLimit", kClimb, 1, 1.3, 1.25, 1.2, 133.0, 3},
        OptimalCase{"PciLimit", kClimb, 1, 1.3, 1.12, 0.0, 100.0, 2},  // 36.96 lets 36.7 in, not 39.3
        OptimalCase{"BusLimitIncluded", kClimb, 1, 1.1, 1.25, 0.0, 100.0, 2},
        OptimalCase{"EqualBusClocksLaterWins", kClimb, 1, 1.19, 1.25, 0.0, 100.0, 5},
        // Below the band's nominal clock nothing qualifies (the default itself fails on PCI).
        OptimalCase{"BelowBaseNeverChosen", std::vector<ClockEntry>{{100.0, 40.0, 100.0, 20, 1}, {99.0, 33.0, 99.0, 20, 2}},
                    1, 1.3, 1.2, 0.0, 100.0, 0},
        // The band is the default entry's: 99 MHz lies in the 66 band, so 66 is the base.
        OptimalCase{"BaseFromDefaultsBand", std::vector<ClockEntry>{{99.0, 33.0, 99.0, 20, 1}, {66.0, 33.0, 66.0, 10, 2}},
                    1, 1.3, 1.2, 0.0, 100.0, 2},
        OptimalCase{"FirstEntryCanWin", std::vector<ClockEntry>{{100.0, 33.3, 100.0, 20, 1}, {140.0, 46.0, 140.0, 20, 2}},
                    1, 1.3, 1.2, 1.2, 100.0, 1},
        OptimalCase{"DefaultWithoutBusClock", std::vector<ClockEntry>{{0.0, 33.3, 0.0, 20, 1}, {100.0, 33.3, 100.0, 20, 2}},
                    1, 1.3, 1.2, 1.2, 100.0, 0},
        OptimalCase{"DefaultWithoutPciClock", std::vector<ClockEntry>{{100.0, 0.0, 100.0, 20, 1}}, 1, 1.3, 1.2, 1.2,
                    100.0, 0},
        // Below 66 MHz the default's own clock is the base; 33 MHz is never chosen.
        OptimalCase{"SlowBandUsesOwnClock",
                    std::vector<ClockEntry>{{50.0, 25.0, 50.0, 10, 1}, {60.0, 30.0, 60.0, 10, 2}, {62.0, 31.0, 62.0, 10, 3}},
                    1, 1.2, 1.2, 0.0, 100.0, 2},
        OptimalCase{"BelowThirtyThreeNeverChosen", std::vector<ClockEntry>{{32.0, 16.0, 0.0, 10, 1}}, 1, 1.5, 1.2,
                    0.0, 100.0, 0},
        OptimalCase{"ThirtyThreeCanBeChosen", std::vector<ClockEntry>{{33.0, 16.5, 0.0, 10, 1}}, 1, 1.5, 1.2, 0.0,
                    100.0, 1}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(SteppingTest, DefaultEntryWithoutMemoryClockLimitsMemoryFromOneHundred) {
    Table({{100.0, 33.3, 0.0, 20, 1}, {110.0, 36.7, 125.0, 20, 2}, {105.0, 35.0, 115.0, 20, 3}});
    Indexes(1, 1, 1);
    info.memBaseClockMHz = 133.0;  // ignored: 100 * 1.2 = 120 is the limit
    info.board.maxMemRatio = 1.2;
    EXPECT_EQ(FindOptimalEntry(info).value_or(0), 3);
}

TEST_F(SteppingTest, ApplyOptimalWritesAndMovesBothIndexesButNotTheShownClocks) {
    info.board.maxMemRatio = 0.0;
    info.board.maxPciRatio = 1.3;
    EXPECT_EQ(ApplyOptimalEntry(info).answer, 1);
    EXPECT_EQ(info.currentIndex, 4);
    EXPECT_EQ(info.appliedIndex, 4);
    EXPECT_EQ(info.defaultIndex, 2);
    EXPECT_EQ(WrittenBytes(), std::vector<uint8_t>{0x40});
    EXPECT_EQ(info.busClockMHz, 99.7);
}

TEST_F(SteppingTest, ApplyOptimalWithoutResultWritesNothing) {
    info.board.maxBusRatio = 0.5;  // nothing qualifies
    Indexes(2, 3, 4);
    EXPECT_EQ(ApplyOptimalEntry(info).answer, 0);
    EXPECT_EQ(info.currentIndex, 3);
    EXPECT_EQ(info.appliedIndex, 4);
    EXPECT_TRUE(rig.platform.requests.empty());
}

TEST_F(SteppingTest, AutoOverclockMarksThenWritesThenMeasuresTwice) {
    info.board.maxMemRatio = 0.0;
    info.board.maxPciRatio = 1.3;
    int32_t autoOptimized = 0;
    size_t requestsWhenMarked = 99;
    const AutoOverclockResult result = AutoOverclock(info, ctx, autoOptimized, [&] {
        EXPECT_EQ(autoOptimized, 1);
        requestsWhenMarked = rig.platform.requests.size();
    });
    EXPECT_EQ(result.applied, 1);
    EXPECT_EQ(autoOptimized, 1);
    EXPECT_EQ(requestsWhenMarked, 0u);
    EXPECT_EQ(WrittenBytes(), std::vector<uint8_t>{0x40});
    // This machine has no performance counter: each of the two measurements says so.
    EXPECT_EQ(shell.Texts(), (std::vector<std::string>{"CPUSpeed fail", "CPUSpeed fail"}));
}

TEST_F(SteppingTest, AutoOverclockWithoutResultStillMarksAndMeasures) {
    info.board.maxBusRatio = 0.5;
    int32_t autoOptimized = 0;
    EXPECT_EQ(AutoOverclock(info, ctx, autoOptimized).applied, 0);
    EXPECT_EQ(autoOptimized, 1);
    EXPECT_TRUE(rig.platform.requests.empty());
    EXPECT_EQ(shell.messages.size(), 2u);
}

}  // namespace
}  // namespace vc
