// The simulated processor: CPUID answers, the flag-register tests, the
// configuration word that holds the multiplier code, and the cost of the
// bit-scan timing loop. The clock itself (multiplier x bus clock) is kept by
// SimMachine, which owns the bus clock.
#pragma once

#include <cstdint>

#include "core/base/machine.h"
#include "sim/machine_description.h"

namespace vc::sim {

class ProcessorModel {
public:
    explicit ProcessorModel(const ProcessorDescription& description);

    bool HasCpuid() const { return d_.hasCpuid; }
    CpuidRegs Cpuid(uint32_t leaf) const;
    bool HasTimeStampCounter() const;

    bool DivisionTestSetsClone() const { return d_.clone; }
    bool FlagsHighNibbleStuckSet() const { return FlagsKind() == 0; }
    bool FlagsHighNibbleStuckClear() const { return FlagsKind() == 2; }
    bool AlignmentCheckToggles() const { return FlagsKind() >= 4; }

    // The word the driver reads for the multiplier: Intel code in bits
    // 22-25 with bit 27 for the extended range, AMD code in bits 24-27.
    uint32_t ConfigurationWord() const { return configWord_; }
    double multiplier() const { return d_.multiplier; }
    uint32_t LoopCyclesPerIteration() const { return loopCycles_; }

private:
    int32_t FlagsKind() const { return d_.hasCpuid ? 4 : d_.flagsKind; }

    ProcessorDescription d_;
    uint32_t configWord_ = 0;
    uint32_t loopCycles_ = 0;
};

// The multiplier code this processor family encodes for `multiplier`, if
// any; extended is set when it needs bit 27 (Intel).
bool EncodeMultiplier(const std::string& vendor, double multiplier, uint32_t& code,
                      bool& extended);

}  // namespace vc::sim
