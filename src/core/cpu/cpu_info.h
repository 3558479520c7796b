// The processor record: identification from CPUID, the decoded clock
// multiplier and the last clock measurement.
#pragma once

#include <cstdint>

namespace vc {

struct Context;

inline constexpr int32_t kVendorIntel = 16;
inline constexpr int32_t kVendorAmd = 32;
inline constexpr int32_t kVendorCyrix = 48;

// One clock measurement: cycles counted over elapsedUs microseconds.
struct SpeedSample {
    uint32_t cycles = 0;
    uint32_t elapsedUs = 0;
    uint32_t rawMHz = 0;      // cycles per microsecond, truncated
    uint32_t roundedMHz = 0;
};

struct CPUInfo {
    char vendorId[13] = {};
    int32_t family = 0;
    int32_t model = 0;
    int32_t stepping = 0;
    uint32_t featureFlags = 0;
    uint32_t cacheDescriptors[4] = {};
    int32_t vendorCode = 0;
    double multiplier = 0.0;
    double cpuClockMHz = 0.0;
    double busClockMHz = 0.0;
    int32_t signature = 0;
    int32_t cloneFlag = 0;
    SpeedSample speed;
    uint32_t ratioWord = 0;
};

}  // namespace vc
