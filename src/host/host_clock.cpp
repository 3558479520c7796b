#include "host/host_clock.h"

#include <ctime>

#include "host/host_machine.h"

namespace vc {

namespace {

constexpr uint64_t kNsPerSecond = 1'000'000'000;

uint64_t Nanoseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<uint64_t>(now.tv_sec) * kNsPerSecond + static_cast<uint64_t>(now.tv_nsec);
}

}  // namespace

uint64_t CounterTicksFromNanoseconds(uint64_t nanoseconds) {
    // Whole seconds convert exactly; the remainder's product stays below
    // 10^9 * kHostCounterHz < 2^52, so no step needs more than 64 bits (i386
    // has no wider integer) and the floor equals that of the full product.
    const uint64_t seconds = nanoseconds / kNsPerSecond;
    const uint64_t rest = nanoseconds % kNsPerSecond;
    return seconds * kHostCounterHz + rest * kHostCounterHz / kNsPerSecond;
}

uint64_t MonotonicRawNanoseconds() { return Nanoseconds(CLOCK_MONOTONIC_RAW); }

bool HostClock::QueryPerformanceFrequency(uint64_t& frequency) {
    frequency = kHostCounterHz;
    return true;
}

bool HostClock::QueryPerformanceCounter(uint64_t& counter) {
    counter = CounterTicksFromNanoseconds(MonotonicRawNanoseconds());
    return true;
}

uint32_t HostClock::TickCountMs() {
    // Milliseconds since boot, wrapping every 49.7 days like the tick count.
    return static_cast<uint32_t>(Nanoseconds(CLOCK_MONOTONIC) / 1'000'000);
}

int32_t HostClock::GetThreadPriority() { return priority_.Get(); }

void HostClock::SetThreadPriority(int32_t priority) { priority_.Set(priority); }

}  // namespace vc
