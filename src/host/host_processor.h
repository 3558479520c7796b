// This computer's processor behind the machine seam: CPUID, the time-stamp
// counter and the timing loop. Plain x86 code with no system call, so the
// Windows host uses it as it is.
#pragma once

#include "core/base/processor.h"

namespace vc {

class HostProcessor final : public Processor {
public:
    bool HasCpuid() override;
    CpuidRegs Cpuid(uint32_t leaf) override;
    bool DivisionTestSetsClone() override;
    bool FlagsHighNibbleStuckSet() override;
    bool FlagsHighNibbleStuckClear() override;
    bool AlignmentCheckToggles() override;
    uint64_t ReadTimeStampCounter() override;
    void RunBitScanLoop(uint32_t iterations) override;
};

}  // namespace vc
