#include "sim/sim_time.h"

namespace vc::sim {

SimClock::SimClock(TimeMode mode) : mode_(mode), start_(std::chrono::steady_clock::now()) {}

uint64_t SimClock::NowPs() const {
    if (mode_ == TimeMode::Virtual) return advancedPs_;
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    // Whole host milliseconds: the tick count follows the host, while a
    // counter measurement (well under a millisecond of host time) sees only
    // the simulated costs and so measures exactly.
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    return static_cast<uint64_t>(ms) * kPsPerMs + advancedPs_;
}

uint64_t PeriodsElapsed(uint64_t ps, uint64_t hz) {
    // Whole seconds and the remainder separately: remainder x hz stays below
    // 10^12 x 10^7 < 2^64.
    const uint64_t seconds = ps / kPsPerSecond;
    const uint64_t rest = ps % kPsPerSecond;
    return seconds * hz + rest * hz / kPsPerSecond;
}

void RateIntegrator::SetRate(uint64_t nowPs, double hz) {
    segmentStartCount_ = ValueAt(nowPs);
    segmentStartPs_ = nowPs;
    hz_ = hz;
}

uint64_t RateIntegrator::ValueAt(uint64_t nowPs) const {
    if (nowPs <= segmentStartPs_) return segmentStartCount_;
    const double elapsedPs = static_cast<double>(nowPs - segmentStartPs_);
    return segmentStartCount_ + static_cast<uint64_t>(elapsedPs * hz_ / 1e12);
}

}  // namespace vc::sim
