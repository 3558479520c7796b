#include "core/cpu/cpu_identify.h"

#include <array>
#include <cstring>
#include <optional>
#include <string_view>

#include "core/base/context.h"
#include "core/base/busy_wait.h"
#include "core/base/little_endian.h"
#include "core/cpu/multiplier_tables.h"

namespace vc {

namespace {

constexpr uint32_t kIdentificationWaitMs = 4;
constexpr std::string_view kIntelVendor = "GenuineIntel";

struct VendorName {
    std::string_view text;
    int32_t code;
};

// "Cryix" is shorter than any CPUID vendor string, so it never matches one.
constexpr std::array<VendorName, 3> kVendors{{
    {"GenuineIntel", kVendorIntel},
    {"AuthenticAMD", kVendorAmd},
    {"Cryix", kVendorCyrix},
}};

// Leaf 0 spells the vendor in EBX, EDX, ECX order, four characters each,
// lowest byte first.
std::array<char, 12> VendorCharacters(const CpuidRegs& leaf0) {
    std::array<uint8_t, 12> bytes{};
    const uint32_t words[3] = {leaf0.ebx, leaf0.edx, leaf0.ecx};
    for (size_t w = 0; w < 3; ++w) PutLe32(bytes, w * 4, words[w]);
    std::array<char, 12> text{};
    std::memcpy(text.data(), bytes.data(), text.size());
    return text;
}

int32_t FamilyOf(uint32_t leaf1Eax) { return static_cast<int32_t>((leaf1Eax >> 8) & 0xF); }

// Reads leaf 0 and marks the part as a clone when any of its vendor
// characters differs from "GenuineIntel". The flag is never cleared here.
void MarkCloneFromVendor(CPUInfo& cpu, Machine& machine) {
    const std::array<char, 12> vendor = VendorCharacters(machine.processor.Cpuid(0));
    for (size_t i = 0; i < vendor.size(); ++i) {
        if (vendor[i] != kIntelVendor[i]) cpu.cloneFlag = 1;
    }
}

// The 8086/286/386/486 tests for processors without CPUID.
uint16_t KindWithoutCpuid(Machine& machine) {
    if (machine.processor.FlagsHighNibbleStuckSet()) return 0;
    if (machine.processor.FlagsHighNibbleStuckClear()) return 2;
    if (!machine.processor.AlignmentCheckToggles()) return 3;
    return 4;
}

}  // namespace

void IdentifyCPU(CPUInfo& cpu, Context& context) {
    Machine& machine = context.machine;
    std::memset(cpu.vendorId, 0, sizeof cpu.vendorId);
    cpu.family = 0;
    cpu.model = 0;
    cpu.stepping = 0;
    cpu.featureFlags = 0;
    std::memset(cpu.cacheDescriptors, 0, sizeof cpu.cacheDescriptors);

    if (machine.processor.HasCpuid()) {
        const std::array<char, 12> vendor = VendorCharacters(machine.processor.Cpuid(0));
        std::memcpy(cpu.vendorId, vendor.data(), vendor.size());
        const CpuidRegs leaf1 = machine.processor.Cpuid(1);
        cpu.family = FamilyOf(leaf1.eax);
        cpu.model = static_cast<int32_t>((leaf1.eax >> 4) & 0xF);
        cpu.stepping = static_cast<int32_t>(leaf1.eax & 0xF);
        cpu.featureFlags = leaf1.edx;
        const CpuidRegs leaf2 = machine.processor.Cpuid(2);
        cpu.cacheDescriptors[0] = leaf2.eax;
        cpu.cacheDescriptors[1] = leaf2.ebx;
        cpu.cacheDescriptors[2] = leaf2.ecx;
        cpu.cacheDescriptors[3] = leaf2.edx;
    }

    // Compared as text: a zero byte inside the vendor characters ends it.
    const std::string_view vendorText(cpu.vendorId);
    for (const VendorName& vendor : kVendors) {
        if (vendorText == vendor.text) cpu.vendorCode = vendor.code;
    }
    cpu.signature = cpu.family * 256 + cpu.model * 16 + cpu.stepping;
}

int32_t CheckIDProc(CPUInfo& cpu, Context& context) {
    Machine& machine = context.machine;
    MarkCloneFromVendor(cpu, machine);
    BusyWaitMs(machine.clock, kIdentificationWaitMs);
    BusyWaitMs(machine.clock, kIdentificationWaitMs);
    const int32_t family = FamilyOf(machine.processor.Cpuid(1).eax);
    BusyWaitMs(machine.clock, kIdentificationWaitMs);
    return family;
}

uint16_t CPUKindID(CPUInfo& cpu, Context& context) {
    Machine& machine = context.machine;
    uint16_t kind = 0;
    if (machine.processor.HasCpuid()) {
        kind = static_cast<uint16_t>(CheckIDProc(cpu, context));
    } else {
        cpu.cloneFlag = machine.processor.DivisionTestSetsClone() ? 1 : 0;
        kind = KindWithoutCpuid(machine);
    }
    if (cpu.cloneFlag != 0) kind = static_cast<uint16_t>(kind | kKindCloneBit);
    return kind;
}

uint32_t CPUFeatures(CPUInfo& cpu, Context& context) {
    Machine& machine = context.machine;
    if (!machine.processor.HasCpuid()) {
        BusyWaitMs(machine.clock, kIdentificationWaitMs);
        return 0;
    }
    MarkCloneFromVendor(cpu, machine);
    BusyWaitMs(machine.clock, kIdentificationWaitMs);
    BusyWaitMs(machine.clock, kIdentificationWaitMs);
    const uint32_t features = machine.processor.Cpuid(1).edx;
    BusyWaitMs(machine.clock, kIdentificationWaitMs);
    return features;
}

int32_t CPUMultiValue(CPUInfo& cpu, Context& context, uint32_t word) {
    cpu.ratioWord = word;
    std::optional<double> multiplier;
    if (cpu.vendorCode == kVendorIntel) {
        const uint32_t code = (word >> 22) & 0xF;
        const bool extended = (word & (1u << 27)) != 0 && InExtendedSignatureRange(cpu.signature);
        multiplier = FindMultiplier(extended ? IntelExtendedMultipliers() : IntelStandardMultipliers(), code);
    } else if (cpu.vendorCode == kVendorAmd) {
        multiplier = FindMultiplier(AmdMultipliers(), (word >> 24) & 0xF);
    }
    if (!multiplier) {
        context.shell.ShowMessage(kCaptionMessage, "CPUMultiValue fail");
        return 0;
    }
    cpu.multiplier = *multiplier;
    return 1;
}

}  // namespace vc
