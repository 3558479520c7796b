/* Which processors have the configuration word, MSR 0x2A, and may be asked
 * for it: the one rule for every component that reads it (the NT driver,
 * the 9x device, the simulated machine). C and C++ both include it.
 *
 * MSR 0x2A is the P6 family's EBL_CR_POWERON (family 6) and the Pentium 4's
 * hard power-on configuration (family 15) in the Intel SDM, vol. 3,
 * "Model-Specific Registers"; AMD's family 6 (Athlon, Duron) answers it.
 * Elsewhere RDMSR 0x2A raises #GP (Athlon 64 and later AMD processors are
 * family 15, VIA C3 is "CentaurHauls" family 6): a fault in a 9x virtual
 * device stops the system, so the rule decides before any read. RDMSR
 * itself needs CPUID leaf 1 EDX bit 5 (MSR), Intel SDM vol. 2, CPUID. */
#ifndef VC_CORE_CPU_CONFIG_WORD_RULE_H
#define VC_CORE_CPU_CONFIG_WORD_RULE_H

#include <stdint.h>

#define VC_CONFIG_WORD_MSR 0x2Au
#define VC_CPUID_FEATURE_MSR (1u << 5) /* leaf 1 EDX */

enum VcWordVendor { VC_WORD_NONE = 0, VC_WORD_INTEL = 1, VC_WORD_AMD = 2 };

/* CPUID leaf 0 (EAX = highest leaf, EBX EDX ECX = the vendor string) and
 * leaf 1 (EAX = signature, EDX = features; ignored when leaf 1 is not
 * there). Whose configuration word the processor has, or VC_WORD_NONE. */
static inline enum VcWordVendor VcConfigWordVendor(uint32_t maxLeaf, uint32_t ebx, uint32_t edx, uint32_t ecx,
                                                   uint32_t signature, uint32_t features)
{
    const uint32_t family = (signature >> 8) & 0xFu;
    if (maxLeaf < 1 || (features & VC_CPUID_FEATURE_MSR) == 0) return VC_WORD_NONE;
    if (ebx == 0x756E6547u && edx == 0x49656E69u && ecx == 0x6C65746Eu) /* GenuineIntel */
        return family == 6 || family == 15 ? VC_WORD_INTEL : VC_WORD_NONE;
    if (ebx == 0x68747541u && edx == 0x69746E65u && ecx == 0x444D4163u) /* AuthenticAMD */
        return family == 6 ? VC_WORD_AMD : VC_WORD_NONE;
    return VC_WORD_NONE;
}

#endif
