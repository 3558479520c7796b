// The processor part of the machine seam: identification, the flag-register
// tests for processors without CPUID, the time-stamp counter and the timing
// loop. Unprivileged on every platform.
#pragma once

#include <cstdint>

namespace vc {

struct CpuidRegs {
    uint32_t eax = 0;
    uint32_t ebx = 0;
    uint32_t ecx = 0;
    uint32_t edx = 0;
};

class Processor {
public:
    virtual ~Processor() = default;

    // Whether the identification bit (bit 21) of EFLAGS can be toggled.
    virtual bool HasCpuid() = 0;
    virtual CpuidRegs Cpuid(uint32_t leaf) = 0;
    // Flag-register tests for processors without CPUID.
    virtual bool DivisionTestSetsClone() = 0;      // zero flag survives DIV
    virtual bool FlagsHighNibbleStuckSet() = 0;    // bits 12-15 read back as ones after clearing (8086)
    virtual bool FlagsHighNibbleStuckClear() = 0;  // bits 12-15 read back as zero after setting (80286)
    virtual bool AlignmentCheckToggles() = 0;      // EFLAGS bit 18 can be changed (486 and up)
    virtual uint64_t ReadTimeStampCounter() = 0;
    // Runs `iterations` of the bit-scan timing loop on the processor.
    virtual void RunBitScanLoop(uint32_t iterations) = 0;
};

}  // namespace vc
