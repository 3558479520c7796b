#include "sim/processor_model.h"

#include <array>
#include <cmath>
#include <cstring>

#include "core/base/little_endian.h"

namespace vc::sim {
namespace {

constexpr uint32_t kTimeStampCounterBit = 1U << 4;
constexpr uint32_t kHighestLeaf = 2;

struct CodeRow {
    double multiplier;
    uint32_t code;
};

// The P6 bus-ratio encodings: the standard range, and the range that bit 27
// extends on later steppings.
constexpr std::array<CodeRow, 14> kIntelStandard = {{{1.5, 14}, {2.0, 3}, {2.5, 7},
    {3.0, 1}, {3.5, 5}, {4.0, 2}, {4.5, 6}, {5.0, 0}, {5.5, 4}, {6.0, 11}, {6.5, 15},
    {7.0, 9}, {7.5, 13}, {8.0, 10}}};
constexpr std::array<CodeRow, 8> kIntelExtended = {{{8.5, 6}, {9.0, 0}, {9.5, 4},
    {10.0, 11}, {10.5, 15}, {11.0, 1}, {11.5, 5}, {12.0, 2}}};

// Cycles one iteration of the bit-scan loop takes, by family.
constexpr std::array<uint32_t, 12> kLoopCycles = {0, 0, 0, 115, 47, 43, 38, 38, 38, 38, 38, 38};

// Four characters of the vendor from `at`, zero past its end, lowest first.
uint32_t VendorWord(const std::string& vendor, size_t at) {
    std::array<uint8_t, 4> bytes{};
    for (size_t i = 0; i < bytes.size() && at + i < vendor.size(); ++i) bytes[i] = static_cast<uint8_t>(vendor[at + i]);
    return GetLe32(bytes, 0);
}

bool Same(double a, double b) { return std::fabs(a - b) < 1e-9; }

}  // namespace

bool EncodeMultiplier(const std::string& vendor, double multiplier, uint32_t& code,
                      bool& extended) {
    extended = false;
    if (vendor == "GenuineIntel") {
        for (const auto& row : kIntelStandard) {
            if (Same(row.multiplier, multiplier)) { code = row.code; return true; }
        }
        for (const auto& row : kIntelExtended) {
            if (Same(row.multiplier, multiplier)) {
                code = row.code;
                extended = true;
                return true;
            }
        }
        return false;
    }
    if (vendor == "AuthenticAMD") {
        const double steps = (multiplier - 3.0) * 2.0;
        if (steps < 0.0 || steps > 15.0 || !Same(steps, std::round(steps))) return false;
        code = static_cast<uint32_t>(std::lround(steps));
        return true;
    }
    return false;
}

ProcessorModel::ProcessorModel(const ProcessorDescription& description) : d_(description) {
    if (d_.configWord) {
        configWord_ = *d_.configWord;
    } else {
        uint32_t code = 0;
        bool extended = d_.ratioExtended;
        const bool known = d_.ratioCode ? (code = *d_.ratioCode & 0xF, true)
                                        : EncodeMultiplier(d_.vendor, d_.multiplier, code, extended);
        if (known && d_.vendor == "AuthenticAMD") {
            configWord_ = code << 24;
        } else if (known) {
            configWord_ = code << 22 | (extended ? 1U << 27 : 0U);
        }
    }
    const uint32_t family = d_.hasCpuid ? (d_.signature >> 8) & 0xF
                                        : static_cast<uint32_t>(d_.flagsKind);
    loopCycles_ = d_.loopCycles ? *d_.loopCycles
                                : kLoopCycles[family < kLoopCycles.size() ? family
                                                                          : kLoopCycles.size() - 1];
}

CpuidRegs ProcessorModel::Cpuid(uint32_t leaf) const {
    CpuidRegs regs;
    if (!d_.hasCpuid) return regs;
    switch (leaf) {
    case 0:
        regs.eax = kHighestLeaf;
        regs.ebx = VendorWord(d_.vendor, 0);
        regs.edx = VendorWord(d_.vendor, 4);
        regs.ecx = VendorWord(d_.vendor, 8);
        break;
    case 1:
        regs.eax = d_.signature;
        regs.edx = d_.features;
        break;
    case 2:
        regs.eax = d_.leaf2[0];
        regs.ebx = d_.leaf2[1];
        regs.ecx = d_.leaf2[2];
        regs.edx = d_.leaf2[3];
        break;
    default:
        break;  // leaves above the highest answer zeros
    }
    return regs;
}

bool ProcessorModel::HasTimeStampCounter() const {
    return d_.hasCpuid && (d_.features & kTimeStampCounterBit) != 0;
}

}  // namespace vc::sim
