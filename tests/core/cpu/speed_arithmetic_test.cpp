#include "core/cpu/speed_arithmetic.h"

#include <gtest/gtest.h>

#include <optional>

namespace vc {
namespace {

constexpr uint32_t kAcpiHz = 3'579'545;

TEST(TicksToMicroseconds, AcpiCounterThousandTicks) {
    EXPECT_EQ(TicksToMicroseconds(1000, kAcpiHz), 279u);  // 1000 * 100000 / 357954
    EXPECT_EQ(TicksToMicroseconds(1000, 1'000'000), 1000u);
    EXPECT_EQ(TicksToMicroseconds(0, kAcpiHz), 0u);
}

TEST(TicksToMicroseconds, LongWindowsDoNotWrap) {
    // 50000 ticks * 100000 exceeds 32 bits; the result must still be 13968 us.
    EXPECT_EQ(TicksToMicroseconds(50'000, kAcpiHz), 13968u);
}

TEST(TicksToMicroseconds, CounterBelowTenHertzHasNoValue) {
    EXPECT_FALSE(TicksToMicroseconds(1000, 0).has_value());
    EXPECT_FALSE(TicksToMicroseconds(1000, 9).has_value());
    EXPECT_EQ(TicksToMicroseconds(1, 10), 100000u);
}

TEST(RoundMicroseconds, AddsOneOnlyAboveHalfTheFrequency) {
    EXPECT_EQ(RoundMicroseconds(279, kAcpiHz), 279u);
    EXPECT_EQ(RoundMicroseconds(5, 10), 5u);
    EXPECT_EQ(RoundMicroseconds(6, 10), 7u);
    EXPECT_EQ(RoundMicroseconds(16, 10), 17u);  // the remainder, not the value, counts
}

struct QuotientCase {
    uint32_t cycles;
    uint32_t us;
    uint32_t expected;
};

class RoundedQuotientTable : public ::testing::TestWithParam<QuotientCase> {};

TEST_P(RoundedQuotientTable, RoundsAtMoreThanHalf) {
    EXPECT_EQ(RoundedQuotient(GetParam().cycles, GetParam().us), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, RoundedQuotientTable,
                         ::testing::Values(QuotientCase{139500, 279, 500}, QuotientCase{139639, 279, 500},
                                           QuotientCase{139640, 279, 501}, QuotientCase{1003, 4, 251},
                                           QuotientCase{1002, 4, 250}, QuotientCase{0, 279, 0}));

TEST(RoundedQuotient, ZeroMicrosecondsHasNoValue) { EXPECT_FALSE(RoundedQuotient(1000, 0).has_value()); }

struct FinalCase {
    uint32_t cycles;
    uint32_t us;
    uint32_t raw;
    uint32_t rounded;
};

class FinalRounding : public ::testing::TestWithParam<FinalCase> {};

TEST_P(FinalRounding, FirstDecimalRoundedBySecond) {
    const FinalCase& c = GetParam();
    const std::optional<SpeedSample> sample = FinalSample(c.cycles, c.us);
    ASSERT_TRUE(sample.has_value());
    EXPECT_EQ(sample->cycles, c.cycles);
    EXPECT_EQ(sample->elapsedUs, c.us);
    EXPECT_EQ(sample->rawMHz, c.raw);
    EXPECT_EQ(sample->roundedMHz, c.rounded);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FinalRounding,
    ::testing::Values(FinalCase{2'791'550, 2'790, 1000, 1000},  // 1000.555...
                      FinalCase{2'791'563, 2'790, 1000, 1001},  // 1000.560...
                      FinalCase{2'791'700, 2'790, 1000, 1001},  // 1000.609...
                      FinalCase{1'395'000, 2'790, 500, 500},
                      FinalCase{1'396'395, 2'790, 500, 500},    // 500.50
                      // A 4 GHz part over a long window: 32-bit products would wrap.
                      FinalCase{4'000'600'000, 1'000'000, 4000, 4001},
                      FinalCase{4'000'400'000, 1'000'000, 4000, 4000}));

TEST(FinalSample, ZeroMicrosecondsHasNoValue) { EXPECT_FALSE(FinalSample(1000, 0).has_value()); }

struct AgreeCase {
    uint32_t f;
    uint32_t f2;
    uint32_t f3;
    bool agree;
};

class TriesAgreeTable : public ::testing::TestWithParam<AgreeCase> {};

TEST_P(TriesAgreeTable, WithinThreeOfTheSum) {
    const AgreeCase& c = GetParam();
    EXPECT_EQ(TriesAgree(c.f, c.f2, c.f3), c.agree);
}

INSTANTIATE_TEST_SUITE_P(Cases, TriesAgreeTable,
                         ::testing::Values(AgreeCase{500, 500, 500, true}, AgreeCase{500, 501, 502, true},
                                           AgreeCase{502, 501, 500, true}, AgreeCase{500, 500, 501, true},
                                           AgreeCase{500, 500, 502, false},  // 3 * 502 is 4 above the sum
                                           AgreeCase{500, 500, 503, false}, AgreeCase{500, 504, 500, false},
                                           AgreeCase{500, 500, 0, false}));

}  // namespace
}  // namespace vc
