#include <gtest/gtest.h>

#include <ostream>

#include <optional>
#include <string>
#include <vector>

#include "core/base/context.h"
#include "core/cpu/cpu_identify.h"
#include "core/cpu/multiplier_tables.h"
#include "core/cpu/fake_cpu.h"
#include "support/recording_shell.h"

namespace vc {
namespace {

constexpr uint32_t kTsc = 1u << 4;

class Identify : public ::testing::Test {
protected:
    test::FakeCpu machine;
    test::RecordingShell shell;
    Context context{machine, shell, kOsOther, {}};
    CPUInfo cpu;
};

TEST_F(Identify, DecodesBaseFieldsOnlyAndRecognisesTheVendors) {
    struct Case {
        const char* vendor;
        uint32_t eax;
        int32_t vendorCode;
        int32_t signature;
    };
    for (const Case& c : {Case{"GenuineIntel", 0x686, kVendorIntel, 0x686},
                          Case{"AuthenticAMD", 0x00B40F42, kVendorAmd, 0xF42},  // extended bits ignored
                          Case{"CyrixInstead", 0x52C, 0, 0x52C}}) {
        machine.SetProcessor(c.vendor, c.eax, 0x0383F9FF);
        CPUInfo fresh;
        IdentifyCPU(fresh, context);
        EXPECT_EQ(std::string(fresh.vendorId), c.vendor);
        EXPECT_EQ(fresh.vendorCode, c.vendorCode);
        EXPECT_EQ(fresh.family * 256 + fresh.model * 16 + fresh.stepping, c.signature);
        EXPECT_EQ(fresh.signature, c.signature);
        EXPECT_EQ(fresh.featureFlags, 0x0383F9FFu);
        EXPECT_EQ(fresh.cacheDescriptors[3], 0x0C040843u);
    }
}

TEST_F(Identify, WithoutCpuidTheFrontIsZeroedAndTheVendorCodeKept) {
    machine.SetProcessor("GenuineIntel", 0x686, kTsc);
    IdentifyCPU(cpu, context);
    machine.hasCpuid = false;
    const int calls = machine.cpuidCalls;
    IdentifyCPU(cpu, context);
    EXPECT_EQ(machine.cpuidCalls, calls);
    EXPECT_EQ(std::string(cpu.vendorId), "");
    EXPECT_EQ(cpu.signature, 0);
    EXPECT_EQ(cpu.featureFlags | cpu.cacheDescriptors[0], 0u);
    EXPECT_EQ(cpu.vendorCode, kVendorIntel);
}

TEST_F(Identify, KindWithoutCpuidFollowsTheFlagTests) {
    struct Case {
        bool clone, stuckSet, stuckClear, alignment;
        uint16_t kind;
    };
    machine.hasCpuid = false;
    for (const Case& c : {Case{false, true, true, true, 0}, Case{false, false, true, true, 2},
                          Case{false, false, false, false, 3}, Case{false, false, false, true, 4},
                          Case{true, false, false, true, 0x8004}, Case{true, true, false, false, 0x8000},
                          Case{false, false, false, true, 4}}) {  // the division test also clears the flag
        machine.divisionClone = c.clone;
        machine.nibbleStuckSet = c.stuckSet;
        machine.nibbleStuckClear = c.stuckClear;
        machine.alignmentToggles = c.alignment;
        EXPECT_EQ(CPUKindID(cpu, context), c.kind);
        EXPECT_EQ(cpu.cloneFlag, c.clone ? 1 : 0);
    }
    EXPECT_EQ(machine.cpuidCalls, 0);
}

TEST_F(Identify, KindFromCpuidMarksOtherVendorsForGood) {
    machine.SetProcessor("GenuineIntel", 0x686, kTsc);
    EXPECT_EQ(CPUKindID(cpu, context), 0x0006);
    machine.SetProcessor("GenuineIntek", 0x686, kTsc);  // one character off
    EXPECT_EQ(CPUFeatures(cpu, context), kTsc);
    EXPECT_EQ(cpu.cloneFlag, 1);
    machine.SetProcessor("GenuineIntel", 0x686, kTsc);
    EXPECT_EQ(CPUKindID(cpu, context), 0x8006);
}

TEST_F(Identify, QueriesWaitInFourMillisecondSteps) {
    machine.SetProcessor("AuthenticAMD", 0x622, kTsc);
    const auto ticksFor = [this](auto query) {
        const uint32_t start = machine.TickNow();
        query();
        return machine.TickNow() - start;
    };
    // Each wait ends on its fourth tick; the next may start on a later one.
    const uint32_t checked = ticksFor([&] { EXPECT_EQ(CheckIDProc(cpu, context), 6); });
    EXPECT_TRUE(checked >= 12 && checked <= 14) << checked;
    const uint32_t features = ticksFor([&] { EXPECT_EQ(CPUFeatures(cpu, context), kTsc); });
    EXPECT_TRUE(features >= 12 && features <= 14) << features;
    machine.hasCpuid = false;
    EXPECT_EQ(ticksFor([&] { EXPECT_EQ(CPUFeatures(cpu, context), 0u); }), 4u);
}

struct MultiplierCase {
    int32_t vendorCode;
    int32_t signature;
    uint32_t word;
    std::optional<double> multiplier;  // none: the decode fails
};

void PrintTo(const MultiplierCase& c, std::ostream* os) {
    *os << "vendor " << c.vendorCode << " signature 0x" << std::hex << c.signature << " word 0x" << c.word << std::dec
        << " -> ";
    if (c.multiplier) *os << *c.multiplier;
    else *os << "fails";
}

class MultiValue : public Identify, public ::testing::WithParamInterface<MultiplierCase> {};

TEST_P(MultiValue, DecodesOrFailsWithItsMessage) {
    const MultiplierCase& c = GetParam();
    cpu.vendorCode = c.vendorCode;
    cpu.signature = c.signature;
    cpu.multiplier = 99.0;
    EXPECT_EQ(CPUMultiValue(cpu, context, c.word), c.multiplier ? 1 : 0);
    EXPECT_EQ(cpu.ratioWord, c.word);
    EXPECT_EQ(cpu.multiplier, c.multiplier.value_or(99.0));
    const std::vector<test::ShownMessage> failed{{"Message", "CPUMultiValue fail"}};
    EXPECT_EQ(shell.messages, c.multiplier ? std::vector<test::ShownMessage>{} : failed);
}

constexpr uint32_t kBit27 = 1u << 27;
constexpr uint32_t Intel(uint32_t code) { return code << 22; }
constexpr uint32_t Amd(uint32_t code) { return code << 24; }

INSTANTIATE_TEST_SUITE_P(
    Words, MultiValue,
    ::testing::Values(MultiplierCase{kVendorIntel, 0x686, kBit27 | Intel(2), 12.0},
                      MultiplierCase{kVendorIntel, 0x686, kBit27 | Intel(3), std::nullopt},
                      MultiplierCase{kVendorIntel, 0x683, kBit27 | Intel(6), 8.5},
                      MultiplierCase{kVendorIntel, 0x6AF, kBit27 | Intel(5), 11.5},
                      MultiplierCase{kVendorIntel, 0x686, Intel(2), 4.0},  // no bit 27
                      MultiplierCase{kVendorIntel, 0x672, kBit27 | Intel(2), 4.0},
                      MultiplierCase{kVendorIntel, 0x672, kBit27 | Intel(3), 2.0},
                      MultiplierCase{kVendorIntel, 0x682, kBit27 | Intel(3), 2.0},
                      MultiplierCase{kVendorIntel, 0x690, kBit27 | Intel(3), 2.0},
                      MultiplierCase{kVendorIntel, 0x6A0, kBit27 | Intel(3), 2.0},
                      MultiplierCase{kVendorIntel, 0x6B0, kBit27 | Intel(3), 2.0},
                      MultiplierCase{kVendorIntel, 0x652, Intel(8), std::nullopt},
                      MultiplierCase{kVendorIntel, 0x652, 0xF43FFFFFu | Intel(10), 8.0},
                      MultiplierCase{kVendorAmd, 0x622, Amd(5), 5.5},
                      MultiplierCase{kVendorAmd, 0x622, 0xF0FFFFFFu | Amd(15), 10.5},
                      MultiplierCase{kVendorCyrix, 0x52C, Amd(5), std::nullopt},
                      MultiplierCase{0, 0, Intel(2), std::nullopt}));

TEST(MultiplierTables, OnlyCodeEightLacksAStandardRowAndEveryAmdCodeMatches) {
    for (uint32_t code = 0; code < 16; ++code) {
        EXPECT_EQ(FindMultiplier(IntelStandardMultipliers(), code).has_value(), code != 8) << code;
        EXPECT_TRUE(FindMultiplier(AmdMultipliers(), code).has_value()) << code;
    }
}

}  // namespace
}  // namespace vc
