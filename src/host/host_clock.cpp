#include "host/host_clock.h"

#include <ctime>

#include "host/host_machine.h"

namespace vc {

namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr uint64_t kNsPerSecond = 1'000'000'000;

uint64_t Nanoseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<uint64_t>(now.tv_sec) * kNsPerSecond + static_cast<uint64_t>(now.tv_nsec);
}

}  // namespace

uint64_t CounterTicksFromNanoseconds(uint64_t nanoseconds) {
    return static_cast<uint64_t>(Wide{nanoseconds} * kHostCounterHz / kNsPerSecond);
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
