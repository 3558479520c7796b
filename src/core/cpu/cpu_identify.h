// Processor identification: building CPUInfo from CPUID, the kind and
// feature queries the clock measurement asks on every run, and decoding the
// clock multiplier from the processor configuration word.
#pragma once

#include <cstdint>

#include "core/cpu/cpu_info.h"

namespace vc {

struct Context;

inline constexpr uint32_t kFeatureTimeStampCounter = 1u << 4;  // leaf 1 EDX bit 4
inline constexpr uint16_t kKindCloneBit = 0x8000;

// Fills the identification part of `cpu` (vendor, family, model, stepping,
// features, cache descriptors, vendor code, signature). Always succeeds.
void IdentifyCPU(CPUInfo& cpu, Context& context);

// With CPUID only: marks a non-"GenuineIntel" part as a clone and returns
// the CPUID family (leaf 1 EAX bits 8-11). Waits 12 ms in 4 ms steps.
int32_t CheckIDProc(CPUInfo& cpu, Context& context);

// The processor's family (0, 2, 3 or 4 without CPUID), bit 15 set for a clone.
uint16_t CPUKindID(CPUInfo& cpu, Context& context);

// Leaf 1 EDX (0 without CPUID); updates cloneFlag like CheckIDProc.
uint32_t CPUFeatures(CPUInfo& cpu, Context& context);

// Decodes the multiplier from `word` for an Intel or AMD part. Returns 1, or
// shows "CPUMultiValue fail" and returns 0 with the multiplier unchanged.
int32_t CPUMultiValue(CPUInfo& cpu, Context& context, uint32_t word);

}  // namespace vc
