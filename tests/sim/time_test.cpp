// The simulated clocks: virtual time, the time-stamp counter following the
// bus clock, and a clock measurement coming out at the simulated clock.
#include <gtest/gtest.h>

#include "core/cpu/busy_wait.h"
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
