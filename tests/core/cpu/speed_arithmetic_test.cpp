#include "core/cpu/speed_arithmetic.h"

#include <gtest/gtest.h>

namespace vc {
namespace {

constexpr uint32_t kAcpiHz = 3'579'545;

TEST(SpeedArithmetic, MicrosecondsFromCounterTicks) {
    EXPECT_EQ(TicksToMicroseconds(1000, kAcpiHz), 279u);  // 1000 * 100000 / 357954
    EXPECT_EQ(TicksToMicroseconds(50'000, kAcpiHz), 13968u);  // product past 32 bits
    EXPECT_EQ(TicksToMicroseconds(1, 10), 100000u);
    EXPECT_FALSE(TicksToMicroseconds(1000, 9).has_value());
    EXPECT_FALSE(TicksToMicroseconds(1000, 0).has_value());
    // Rounding looks at us mod frequency, not at the division's remainder.
    EXPECT_EQ(RoundMicroseconds(279, kAcpiHz), 279u);
    EXPECT_EQ(RoundMicroseconds(5, 10), 5u);
    EXPECT_EQ(RoundMicroseconds(16, 10), 17u);
}

TEST(SpeedArithmetic, PerTryClockRoundsAboveHalf) {
    EXPECT_EQ(RoundedQuotient(139'639, 279), 500u);  // remainder 139
    EXPECT_EQ(RoundedQuotient(139'640, 279), 501u);  // remainder 140
    EXPECT_EQ(RoundedQuotient(1002, 4), 250u);
    EXPECT_EQ(RoundedQuotient(1003, 4), 251u);
    EXPECT_FALSE(RoundedQuotient(1000, 0).has_value());
}

TEST(SpeedArithmetic, FinalClockRoundsTheFirstDecimalAfterTheSecond) {
    struct Case {
        uint32_t cycles, us, raw, rounded;
    };
    for (const Case& c : {Case{2'791'550, 2'790, 1000, 1000},   // 1000.555...
                          Case{2'791'563, 2'790, 1000, 1001},   // 1000.560...
                          Case{2'791'700, 2'790, 1000, 1001},   // 1000.609...
                          Case{1'396'395, 2'790, 500, 500},     // 500.500
                          Case{4'000'600'000, 1'000'000, 4000, 4001},  // products past 32 bits
                          Case{4'000'400'000, 1'000'000, 4000, 4000}}) {
        const std::optional<SpeedSample> sample = FinalSample(c.cycles, c.us);
        ASSERT_TRUE(sample.has_value());
        EXPECT_EQ(sample->cycles, c.cycles);
        EXPECT_EQ(sample->elapsedUs, c.us);
        EXPECT_EQ(sample->rawMHz, c.raw) << c.cycles;
        EXPECT_EQ(sample->roundedMHz, c.rounded) << c.cycles;
    }
    EXPECT_FALSE(FinalSample(1000, 0).has_value());
}

TEST(SpeedArithmetic, TriesAgreeWithinThreeOfTheirSum) {
    EXPECT_TRUE(TriesAgree(500, 500, 500));
    EXPECT_TRUE(TriesAgree(500, 501, 502));
    EXPECT_TRUE(TriesAgree(502, 500, 501));
    EXPECT_FALSE(TriesAgree(500, 500, 502));  // 3 * 502 is 4 above the sum
    EXPECT_FALSE(TriesAgree(500, 504, 500));
    EXPECT_FALSE(TriesAgree(500, 500, 0));
}

}  // namespace
}  // namespace vc
