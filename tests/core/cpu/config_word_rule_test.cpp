// The one rule every component reads the configuration word by: the
// processors that have MSR 0x2A, and the ones whose read would fault.
#include <gtest/gtest.h>

#include <cstdint>

#include "core/cpu/config_word_rule.h"

namespace {

struct Processor {
    const char* name;
    const char* vendor;  // 12 characters
    uint32_t signature;
    bool msrFeature;
    VcWordVendor expected;
};

uint32_t Dword(const char* text) {
    return uint32_t(uint8_t(text[0])) | uint32_t(uint8_t(text[1])) << 8 | uint32_t(uint8_t(text[2])) << 16 |
           uint32_t(uint8_t(text[3])) << 24;
}

VcWordVendor RuleFor(const Processor& p, uint32_t maxLeaf = 1) {
    // Leaf 0 gives the vendor string in EBX, EDX, ECX order.
    return VcConfigWordVendor(maxLeaf, Dword(p.vendor), Dword(p.vendor + 4), Dword(p.vendor + 8), p.signature,
                              p.msrFeature ? 0x0383F9FFu : 0x0383F9DFu);
}

TEST(ConfigWordRule, OnlyTheProcessorsThatHaveTheRegister) {
    const Processor processors[] = {
        {"Pentium II", "GenuineIntel", 0x652, true, VC_WORD_INTEL},
        {"Pentium III", "GenuineIntel", 0x683, true, VC_WORD_INTEL},
        {"Pentium 4", "GenuineIntel", 0xF24, true, VC_WORD_INTEL},
        {"Athlon", "AuthenticAMD", 0x642, true, VC_WORD_AMD},
        {"Pentium MMX", "GenuineIntel", 0x543, true, VC_WORD_NONE},
        {"Pentium III without the MSR feature", "GenuineIntel", 0x683, false, VC_WORD_NONE},
        {"K6-2", "AuthenticAMD", 0x58C, true, VC_WORD_NONE},
        {"Athlon 64", "AuthenticAMD", 0xF48, true, VC_WORD_NONE},
        {"Athlon 64 X2 (extended family)", "AuthenticAMD", 0x20F32, true, VC_WORD_NONE},
        {"VIA C3", "CentaurHauls", 0x673, true, VC_WORD_NONE},
        {"Cyrix 6x86MX", "CyrixInstead", 0x600, true, VC_WORD_NONE},
        {"Transmeta Crusoe", "GenuineTMx86", 0x543, true, VC_WORD_NONE},
    };
    for (const Processor& p : processors) EXPECT_EQ(RuleFor(p), p.expected) << p.name;
}

TEST(ConfigWordRule, NothingWithoutLeafOne) {
    const Processor p3{"Pentium III", "GenuineIntel", 0x683, true, VC_WORD_INTEL};
    EXPECT_EQ(RuleFor(p3, 0), VC_WORD_NONE);
    EXPECT_EQ(VC_CONFIG_WORD_MSR, 0x2Au);
}

}  // namespace
