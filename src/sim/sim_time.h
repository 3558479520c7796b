// Simulated time: one clock that every counter of the machine reads.
//
// Virtual time advances only when the machine is used: every read of a
// counter costs a fixed quantum, simulated work (the bit-scan loop, the
// driver's 4 ms waits) costs its duration. Real time follows the host's
// monotonic clock and adds the same simulated costs on top, so a clock
// measurement gives the same answer in both modes.
#pragma once

#include <chrono>
#include <cstdint>

namespace vc::sim {

enum class TimeMode { Virtual, Real };

inline constexpr uint64_t kPsPerSecond = 1'000'000'000'000ULL;
inline constexpr uint64_t kPsPerMs = 1'000'000'000ULL;

// What one read of each counter costs. The time-stamp read is long on
// purpose: a sampling loop (performance counter read, then time-stamp read)
// takes 30.004 us per round, so a 1000-tick window of the 3,579,545 Hz
// counter closes after ten rounds at 1074 or 1075 ticks. That many ticks are
// 300 whole microseconds after the measurement's truncating division, while
// 300.04 us really passed: the measured clock is 0.013% high, which rounds to
// the simulated clock up to several GHz. (With free reads the window closes
// at 1000 ticks = 279.37 us, counted as 279 us, and 500 MHz reads as 501.)
inline constexpr uint64_t kPerfCounterReadPs = 2'000;             // 2 ns
inline constexpr uint64_t kTimeStampReadPs = 30'002'000;          // 30.002 us
inline constexpr uint64_t kTickCountReadPs = 10'000'000;          // 10 us: a 4 ms wait is 400 reads

class SimClock {
public:
    explicit SimClock(TimeMode mode);

    TimeMode mode() const { return mode_; }
    // Picoseconds since power-on.
    uint64_t NowPs() const;
    // Simulated work: time passes at once, in either mode.
    void Advance(uint64_t ps) { advancedPs_ += ps; }

private:
    TimeMode mode_;
    std::chrono::steady_clock::time_point start_;
    uint64_t advancedPs_ = 0;
};

// How many periods of a `hz` clock have ended `ps` picoseconds after zero.
// hz must not exceed kMaxCounterHz (keeps the arithmetic within 64 bits).
inline constexpr uint64_t kMaxCounterHz = 10'000'000;
uint64_t PeriodsElapsed(uint64_t ps, uint64_t hz);

// A counter whose rate changes over time (the time-stamp counter follows the
// bus clock): the count is integrated segment by segment, so a rate change
// in the middle of a measurement is counted exactly.
class RateIntegrator {
public:
    void SetRate(uint64_t nowPs, double hz);
    uint64_t ValueAt(uint64_t nowPs) const;
    double rate() const { return hz_; }

private:
    uint64_t segmentStartPs_ = 0;
    uint64_t segmentStartCount_ = 0;
    double hz_ = 0.0;
};

}  // namespace vc::sim
