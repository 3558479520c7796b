#include "host/host_processor.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define VC_HOST_X86 1
#else
#define VC_HOST_X86 0
#endif

namespace vc {

#if VC_HOST_X86

namespace {

constexpr uint32_t kIdentificationFlag = 1u << 21;

}  // namespace

bool HostProcessor::HasCpuid() {
#if defined(__x86_64__)
    // Flip the identification bit and see whether it sticks. The red zone
    // below the stack pointer is stepped over before pushing.
    uint64_t before = 0;
    uint64_t after = 0;
    asm volatile(
        "subq $128, %%rsp\n\t"
        "pushfq\n\t"
        "popq %0\n\t"
        "movq %0, %1\n\t"
        "xorq %2, %1\n\t"
        "pushq %1\n\t"
        "popfq\n\t"
        "pushfq\n\t"
        "popq %1\n\t"
        "pushq %0\n\t"
        "popfq\n\t"
        "addq $128, %%rsp\n\t"
        : "=&r"(before), "=&r"(after)
        : "i"(kIdentificationFlag)
        : "cc", "memory");
    return ((before ^ after) & kIdentificationFlag) != 0;
#else
    // The compiler's helper performs the same flag toggle on 32-bit x86.
    return __get_cpuid_max(0, nullptr) != 0;
#endif
}

CpuidRegs HostProcessor::Cpuid(uint32_t leaf) {
    CpuidRegs regs;
    // Leaves above the processor's highest leaf read as zero.
    if (__get_cpuid_count(leaf, 0, &regs.eax, &regs.ebx, &regs.ecx, &regs.edx) == 0) return CpuidRegs{};
    return regs;
}

bool HostProcessor::DivisionTestSetsClone() {
    // 0x5555 / 2 after clearing DX (which sets the zero flag): some makers'
    // dividers leave the zero flag alone, others change it.
    uint8_t zeroFlag = 0;
    asm volatile(
        "movw $0x5555, %%ax\n\t"
        "xorw %%dx, %%dx\n\t"
        "movw $2, %%cx\n\t"
        "divw %%cx\n\t"
        "setz %0\n\t"
        : "=q"(zeroFlag)
        :
        : "ax", "cx", "dx", "cc");
    return zeroFlag != 0;
}

// The three tests below tell pre-CPUID processors apart and are consulted
// only when HasCpuid() is false, which no processor that runs this code
// answers. They report what any 486 or later processor shows; running them
// for real would mean writing IOPL/NT or the alignment-check flag from user
// mode for no information.
bool HostProcessor::FlagsHighNibbleStuckSet() { return false; }
bool HostProcessor::FlagsHighNibbleStuckClear() { return false; }
bool HostProcessor::AlignmentCheckToggles() { return true; }

uint64_t HostProcessor::ReadTimeStampCounter() { return __rdtsc(); }

void HostProcessor::RunBitScanLoop(uint32_t iterations) {
    if (iterations == 0) return;
    uint32_t count = iterations;
    uint32_t index = 0;
    const uint32_t value = 0x80000000u;
    asm volatile(
        "1:\n\t"
        "bsfl %2, %1\n\t"
        "decl %0\n\t"
        "jnz 1b\n\t"
        : "+r"(count), "=&r"(index)
        : "r"(value)
        : "cc");
}

#else  // not x86: no CPUID, no time-stamp counter

bool HostProcessor::HasCpuid() { return false; }
CpuidRegs HostProcessor::Cpuid(uint32_t) { return CpuidRegs{}; }
bool HostProcessor::DivisionTestSetsClone() { return false; }
// Answer as the oldest class so the clock reads 0 (unmeasurable) rather
// than timing a loop whose cycle cost is unknown on this processor.
bool HostProcessor::FlagsHighNibbleStuckSet() { return true; }
bool HostProcessor::FlagsHighNibbleStuckClear() { return false; }
bool HostProcessor::AlignmentCheckToggles() { return false; }
uint64_t HostProcessor::ReadTimeStampCounter() { return 0; }

void HostProcessor::RunBitScanLoop(uint32_t iterations) {
    volatile uint32_t sink = 0;
    for (uint32_t i = 0; i < iterations; ++i) sink = static_cast<uint32_t>(__builtin_ctz(0x80000000u));
    (void)sink;
}

#endif

}  // namespace vc
