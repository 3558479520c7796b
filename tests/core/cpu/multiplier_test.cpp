#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "core/app/context.h"
#include "core/cpu/cpu_identify.h"
#include "core/cpu/cpu_info.h"
#include "core/cpu/fake_cpu_machine.h"
#include "core/cpu/multiplier_tables.h"
#include "support/recording_shell.h"

namespace vc {
namespace {

using test::FakeCpuMachine;
using test::RecordingShell;
using test::ShownMessage;

constexpr uint32_t kBit27 = 1u << 27;
constexpr uint32_t IntelCode(uint32_t code) { return code << 22; }
constexpr uint32_t AmdCode(uint32_t code) { return code << 24; }

struct MultiplierCase {
    int32_t vendorCode;
    int32_t signature;
    uint32_t word;
    std::optional<double> multiplier;  // none: the decode fails
};

class MultiValue : public ::testing::TestWithParam<MultiplierCase> {
protected:
    FakeCpuMachine machine;
    RecordingShell shell;
    Context context{machine, shell, kOsOther, {}};
};

TEST_P(MultiValue, DecodesOrFailsWithItsMessage) {
    const MultiplierCase& c = GetParam();
    CPUInfo cpu;
    cpu.vendorCode = c.vendorCode;
    cpu.signature = c.signature;
    cpu.multiplier = 99.0;
    const int32_t result = CPUMultiValue(cpu, context, c.word);
    EXPECT_EQ(cpu.ratioWord, c.word);
    if (c.multiplier) {
        EXPECT_EQ(result, 1);
        EXPECT_EQ(cpu.multiplier, *c.multiplier);
        EXPECT_TRUE(shell.messages.empty());
    } else {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(cpu.multiplier, 99.0);
        EXPECT_EQ(shell.messages, (std::vector<ShownMessage>{{"Message", "CPUMultiValue fail"}}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    IntelExtendedRanges, MultiValue,
    ::testing::Values(MultiplierCase{kVendorIntel, 0x686, kBit27 | IntelCode(2), 12.0},
                      MultiplierCase{kVendorIntel, 0x686, kBit27 | IntelCode(3), std::nullopt},
                      MultiplierCase{kVendorIntel, 0x683, kBit27 | IntelCode(6), 8.5},
                      MultiplierCase{kVendorIntel, 0x68F, kBit27 | IntelCode(0), 9.0},
                      MultiplierCase{kVendorIntel, 0x6A1, kBit27 | IntelCode(15), 10.5},
                      MultiplierCase{kVendorIntel, 0x6AF, kBit27 | IntelCode(5), 11.5},
                      // Without bit 27 the standard table holds even inside the ranges.
                      MultiplierCase{kVendorIntel, 0x686, IntelCode(2), 4.0}));

INSTANTIATE_TEST_SUITE_P(
    IntelOutsideRanges, MultiValue,
    ::testing::Values(MultiplierCase{kVendorIntel, 0x672, kBit27 | IntelCode(2), 4.0},
                      MultiplierCase{kVendorIntel, 0x672, kBit27 | IntelCode(3), 2.0},
                      MultiplierCase{kVendorIntel, 0x682, kBit27 | IntelCode(3), 2.0},
                      MultiplierCase{kVendorIntel, 0x690, kBit27 | IntelCode(3), 2.0},
                      MultiplierCase{kVendorIntel, 0x6A0, kBit27 | IntelCode(3), 2.0},
                      MultiplierCase{kVendorIntel, 0x6B0, kBit27 | IntelCode(3), 2.0},
                      MultiplierCase{kVendorIntel, 0x652, IntelCode(8), std::nullopt},
                      MultiplierCase{kVendorIntel, 0x652, IntelCode(12), 4.0},
                      MultiplierCase{kVendorIntel, 0x652, IntelCode(14), 1.5},
                      // Bits outside 22-25 do not change the code.
                      MultiplierCase{kVendorIntel, 0x652, 0xF03FFFFFu | IntelCode(10), 8.0}));

INSTANTIATE_TEST_SUITE_P(
    AmdAndOthers, MultiValue,
    ::testing::Values(MultiplierCase{kVendorAmd, 0x622, AmdCode(5), 5.5},
                      MultiplierCase{kVendorAmd, 0x622, AmdCode(0), 3.0},
                      MultiplierCase{kVendorAmd, 0x622, AmdCode(15) | 0xF0FFFFFFu, 10.5},
                      MultiplierCase{kVendorCyrix, 0x52C, AmdCode(5), std::nullopt},
                      MultiplierCase{0, 0, IntelCode(2), std::nullopt}));

TEST(MultiplierTables, EveryFourBitCodeButEightHasAStandardRow) {
    for (uint32_t code = 0; code < 16; ++code) {
        EXPECT_EQ(FindMultiplier(IntelStandardMultipliers(), code).has_value(), code != 8) << code;
    }
}

TEST(MultiplierTables, EveryAmdCodeMatches) {
    for (uint32_t code = 0; code < 16; ++code) {
        const std::optional<double> multiplier = FindMultiplier(AmdMultipliers(), code);
        ASSERT_TRUE(multiplier.has_value()) << code;
        EXPECT_GE(*multiplier, 3.0);
        EXPECT_LE(*multiplier, 10.5);
    }
}

TEST(MultiplierTables, FirstMatchingRowWins) {
    const MultiplierRow rows[] = {{3, 2.0}, {3, 9.0}};
    EXPECT_EQ(FindMultiplier(rows, 3), 2.0);
    EXPECT_FALSE(FindMultiplier(rows, 4).has_value());
}

}  // namespace
}  // namespace vc
