// The clock part of the machine seam: the performance counter, the
// millisecond tick count and the calling thread's scheduling priority.
#pragma once

#include <cstdint>

namespace vc {

inline constexpr int32_t kThreadPriorityError = 0x7FFFFFFF;
inline constexpr int32_t kThreadPriorityTimeCritical = 15;

class Clock {
public:
    virtual ~Clock() = default;

    // false when the performance counter is not available.
    virtual bool QueryPerformanceFrequency(uint64_t& frequency) = 0;
    virtual bool QueryPerformanceCounter(uint64_t& counter) = 0;
    virtual uint32_t TickCountMs() = 0;
    virtual int32_t GetThreadPriority() = 0;
    virtual void SetThreadPriority(int32_t priority) = 0;
};

}  // namespace vc
