#include "core/cpu/cpu_identify.h"

#include <gtest/gtest.h>

#include <string>

#include "core/app/context.h"
#include "core/cpu/cpu_info.h"
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

constexpr uint32_t kTsc = 1u << 4;

class IdentifyFixture : public ::testing::Test {
protected:
    FakeCpuMachine machine;
    RecordingShell shell;
    Context context{machine, shell, kOsOther, {}};
    CPUInfo cpu;
};

struct DecodeCase {
    const char* vendor;
    uint32_t leaf1Eax;
    int32_t vendorCode;
    int32_t family;
    int32_t model;
    int32_t stepping;
    int32_t signature;
};

class IdentifyDecode : public IdentifyFixture, public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(IdentifyDecode, DecodesVendorAndSignatureFromTheBaseFields) {
    const DecodeCase& c = GetParam();
    machine.SetProcessor(c.vendor, c.leaf1Eax, 0x0383F9FF);
    IdentifyCPU(cpu, context);
    EXPECT_EQ(std::string(cpu.vendorId), c.vendor);
    EXPECT_EQ(cpu.vendorId[12], '\0');
    EXPECT_EQ(cpu.vendorCode, c.vendorCode);
    EXPECT_EQ(cpu.family, c.family);
    EXPECT_EQ(cpu.model, c.model);
    EXPECT_EQ(cpu.stepping, c.stepping);
    EXPECT_EQ(cpu.signature, c.signature);
    EXPECT_EQ(cpu.featureFlags, 0x0383F9FFu);
    EXPECT_EQ(cpu.cacheDescriptors[0], 0x03020101u);
    EXPECT_EQ(cpu.cacheDescriptors[3], 0x0C040843u);
}

INSTANTIATE_TEST_SUITE_P(
    Processors, IdentifyDecode,
    ::testing::Values(DecodeCase{"GenuineIntel", 0x686, kVendorIntel, 6, 8, 6, 0x686},
                      DecodeCase{"AuthenticAMD", 0x622, kVendorAmd, 6, 2, 2, 0x622},
                      // Neither other vendor string equals the 5-letter name.
                      DecodeCase{"CyrixInstead", 0x52C, 0, 5, 2, 12, 0x52C},
                      // Extended family and model bits are not part of the fields.
                      DecodeCase{"GenuineIntel", 0x000106A5, kVendorIntel, 6, 10, 5, 0x6A5},
                      DecodeCase{"AuthenticAMD", 0x00B40F40, kVendorAmd, 15, 4, 0, 0xF40}));

TEST_F(IdentifyFixture, WithoutCpuidTheFrontIsZeroedAndTheVendorCodeKept) {
    machine.SetProcessor("GenuineIntel", 0x686, kTsc);
    IdentifyCPU(cpu, context);
    ASSERT_EQ(cpu.vendorCode, kVendorIntel);

    machine.hasCpuid = false;
    const int callsBefore = machine.cpuidCalls;
    IdentifyCPU(cpu, context);
    EXPECT_EQ(machine.cpuidCalls, callsBefore);
    EXPECT_EQ(std::string(cpu.vendorId), "");
    EXPECT_EQ(cpu.family, 0);
    EXPECT_EQ(cpu.model, 0);
    EXPECT_EQ(cpu.stepping, 0);
    EXPECT_EQ(cpu.featureFlags, 0u);
    EXPECT_EQ(cpu.cacheDescriptors[0], 0u);
    EXPECT_EQ(cpu.signature, 0);
    EXPECT_EQ(cpu.vendorCode, kVendorIntel);  // no match leaves it as it was

    CPUInfo fresh;
    IdentifyCPU(fresh, context);
    EXPECT_EQ(fresh.vendorCode, 0);
    EXPECT_EQ(CPUMultiValue(fresh, context, 0), 0);
}

struct KindCase {
    const char* name;
    bool divisionClone;
    bool nibbleStuckSet;
    bool nibbleStuckClear;
    bool alignmentToggles;
    uint16_t kind;
};

class KindWithoutCpuid : public IdentifyFixture, public ::testing::WithParamInterface<KindCase> {};

TEST_P(KindWithoutCpuid, FlagTestsPickTheClass) {
    const KindCase& c = GetParam();
    machine.hasCpuid = false;
    machine.divisionClone = c.divisionClone;
    machine.nibbleStuckSet = c.nibbleStuckSet;
    machine.nibbleStuckClear = c.nibbleStuckClear;
    machine.alignmentToggles = c.alignmentToggles;
    EXPECT_EQ(CPUKindID(cpu, context), c.kind);
    EXPECT_EQ(cpu.cloneFlag, c.divisionClone ? 1 : 0);
    EXPECT_EQ(machine.cpuidCalls, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Classes, KindWithoutCpuid,
    ::testing::Values(KindCase{"i8086", false, true, true, false, 0}, KindCase{"i286", false, false, true, false, 2},
                      KindCase{"i386", false, false, false, false, 3}, KindCase{"i486", false, false, false, true, 4},
                      KindCase{"clone386", true, false, false, false, 0x8003},
                      KindCase{"clone486", true, false, false, true, 0x8004},
                      KindCase{"clone8086", true, true, false, false, 0x8000}),
    CaseName<KindCase>);

TEST_F(IdentifyFixture, DivisionTestAssignsTheCloneFlagEachTime) {
    machine.hasCpuid = false;
    cpu.cloneFlag = 1;
    EXPECT_EQ(CPUKindID(cpu, context), 4);
    EXPECT_EQ(cpu.cloneFlag, 0);
}

TEST_F(IdentifyFixture, KindFromCpuidMarksNonIntelPartsAndStaysMarked) {
    machine.SetProcessor("GenuineIntel", 0x686, kTsc);
    EXPECT_EQ(CPUKindID(cpu, context), 0x0006);
    EXPECT_EQ(cpu.cloneFlag, 0);

    machine.SetProcessor("AuthenticAMD", 0x622, kTsc);
    EXPECT_EQ(CPUKindID(cpu, context), 0x8006);
    EXPECT_EQ(cpu.cloneFlag, 1);

    // A clone stays a clone even if leaf 0 later reads "GenuineIntel".
    machine.SetProcessor("GenuineIntel", 0x686, kTsc);
    EXPECT_EQ(CPUKindID(cpu, context), 0x8006);
    EXPECT_EQ(CheckIDProc(cpu, context), 6);
}

TEST_F(IdentifyFixture, OneDifferingVendorCharacterMakesAClone) {
    machine.SetProcessor("GenuineIntek", 0x686, kTsc);
    EXPECT_EQ(CPUFeatures(cpu, context), kTsc);
    EXPECT_EQ(cpu.cloneFlag, 1);
}

TEST_F(IdentifyFixture, QueriesWaitTheirFourMillisecondSteps) {
    machine.SetProcessor("GenuineIntel", 0x686, kTsc);
    uint32_t start = machine.TickNow();
    EXPECT_EQ(CheckIDProc(cpu, context), 6);
    uint32_t waited = machine.TickNow() - start;
    EXPECT_GE(waited, 12u);
    EXPECT_LE(waited, 13u);

    start = machine.TickNow();
    EXPECT_EQ(CPUFeatures(cpu, context), kTsc);
    waited = machine.TickNow() - start;
    EXPECT_GE(waited, 12u);
    EXPECT_LE(waited, 13u);

    machine.hasCpuid = false;
    start = machine.TickNow();
    EXPECT_EQ(CPUFeatures(cpu, context), 0u);
    waited = machine.TickNow() - start;
    EXPECT_GE(waited, 4u);
    EXPECT_LE(waited, 5u);
}

}  // namespace
}  // namespace vc
