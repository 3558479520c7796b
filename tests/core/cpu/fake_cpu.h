// A scripted processor and clock, for what the simulated machine cannot
// express: a processor clock per measurement try, counters that fail or
// wrap, the order of every counter read. Time is virtual: every counter,
// time-stamp and tick read advances it, and the timing loop advances it by
// the cycles it costs, so measurements are exact and take no real time. The
// platform part is a simulated board under a system the program does not
// serve: no driver, no ports.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/base/machine.h"
#include "sim/sim_machine.h"

namespace vc::test {

// a * b / c with the full 128-bit product (i686 has no 128-bit integer),
// truncated to 64 bits like a cast of the wide quotient.
inline uint64_t MulDiv(uint64_t a, uint64_t b, uint64_t c) {
    constexpr uint64_t kLow = 0xFFFFFFFFull;
    const uint64_t p0 = (a & kLow) * (b & kLow), p1 = (a & kLow) * (b >> 32);
    const uint64_t p2 = (a >> 32) * (b & kLow), p3 = (a >> 32) * (b >> 32);
    const uint64_t mid = (p0 >> 32) + (p1 & kLow) + (p2 & kLow);
    const uint64_t lo = (mid << 32) | (p0 & kLow);
    const uint64_t hi = p3 + (p1 >> 32) + (p2 >> 32) + (mid >> 32);
    uint64_t quotient = 0, remainder = 0;
    for (int bit = 127; bit >= 0; --bit) {
        const bool carry = (remainder >> 63) != 0;
        remainder = (remainder << 1) | ((bit >= 64 ? hi >> (bit - 64) : lo >> bit) & 1);
        if (carry || remainder >= c) {
            remainder -= c;
            if (bit < 64) quotient |= 1ull << bit;
        }
    }
    return quotient;
}

inline constexpr uint64_t kPsPerSecond = 1'000'000'000'000ull;
inline constexpr uint64_t kAcpiCounterHz = 3'579'545;

class FakeCpu final : public Processor, public Clock {
public:
    operator Machine() { return Machine{board, *this, *this}; }  // NOLINT: the view tests pass on

    sim::SimMachine board{OtherSystem()};
    bool hasCpuid = true;
    std::map<uint32_t, CpuidRegs> leaves;
    bool divisionClone = false, nibbleStuckSet = false, nibbleStuckClear = false, alignmentToggles = true;
    uint32_t loopCyclesPerIteration = 47;

    bool counterFrequencyAvailable = true, counterReadable = true;
    uint64_t counterHz = kAcpiCounterHz;
    uint64_t counterOffset = 0, tscOffset = 0;  // added to every reading
    uint32_t tickOffset = 0;
    // Processor clocks taken in turn at each raise to time-critical priority
    // (one per measurement try); the last one stays.
    std::vector<uint64_t> cpuHzPerTry;
    bool priorityQueryFails = false;

    // One letter per call: P counter, T time-stamp, K tick, G priority query,
    // + raise to time-critical, - any other priority, L timing loop.
    std::string events;
    int32_t priority = 0;
    std::vector<int32_t> prioritiesSet;
    int cpuidCalls = 0;

    FakeCpu() { SetCpuHz(500'000'000); }

    static sim::MachineDescription OtherSystem() {
        sim::MachineDescription d;
        d.os = {0, 0, 0};
        return d;
    }

    void SetProcessor(const char* vendor, uint32_t signature, uint32_t featureEdx) {
        char text[12] = {};
        std::memcpy(text, vendor, std::min(sizeof text, std::strlen(vendor)));
        CpuidRegs leaf0;
        std::memcpy(&leaf0.ebx, text, 4);
        std::memcpy(&leaf0.edx, text + 4, 4);
        std::memcpy(&leaf0.ecx, text + 8, 4);
        leaves = {{0, leaf0}, {1, {signature, 0, 0, featureEdx}}, {2, {0x03020101, 0, 0, 0x0C040843}}};
    }

    // Changes the processor clock from now on; the time-stamp count so far stays.
    void SetCpuHz(uint64_t hz) {
        tscBase_ = RawTsc();
        tscBaseTimePs_ = nowPs_;
        cpuHz_ = hz;
    }

    uint64_t NowPs() const { return nowPs_; }
    uint64_t CounterNow() const { return counterOffset + MulDiv(nowPs_, counterHz, kPsPerSecond); }
    uint32_t TickNow() const { return tickOffset + static_cast<uint32_t>(nowPs_ / 1'000'000'000ull); }


    bool HasCpuid() override { return hasCpuid; }
    CpuidRegs Cpuid(uint32_t leaf) override {
        ++cpuidCalls;
        return leaves.count(leaf) != 0 ? leaves[leaf] : CpuidRegs{};
    }
    bool DivisionTestSetsClone() override { return divisionClone; }
    bool FlagsHighNibbleStuckSet() override { return nibbleStuckSet; }
    bool FlagsHighNibbleStuckClear() override { return nibbleStuckClear; }
    bool AlignmentCheckToggles() override { return alignmentToggles; }
    uint64_t ReadTimeStampCounter() override {
        Note('T', 10'000);
        return tscOffset + RawTsc();
    }
    void RunBitScanLoop(uint32_t iterations) override {
        Note('L', MulDiv(uint64_t{iterations} * loopCyclesPerIteration, kPsPerSecond, cpuHz_));
    }

    bool QueryPerformanceFrequency(uint64_t& frequency) override {
        frequency = counterHz;
        return counterFrequencyAvailable;
    }
    bool QueryPerformanceCounter(uint64_t& counter) override {
        Note('P', 100'000);
        counter = CounterNow();
        return counterReadable;
    }
    uint32_t TickCountMs() override {
        Note('K', 50'000'000);
        return TickNow();
    }
    int32_t GetThreadPriority() override {
        Note('G', 0);
        return priorityQueryFails ? kThreadPriorityError : priority;
    }
    void SetThreadPriority(int32_t value) override {
        prioritiesSet.push_back(value);
        priority = value;
        const bool raise = value == kThreadPriorityTimeCritical;
        Note(raise ? '+' : '-', 0);
        if (raise && raises_ < cpuHzPerTry.size()) SetCpuHz(cpuHzPerTry[raises_]);
        if (raise) ++raises_;
    }

private:
    void Note(char event, uint64_t costPs) {
        events += event;
        nowPs_ += costPs;
    }
    uint64_t RawTsc() const {
        return tscBase_ + MulDiv(nowPs_ - tscBaseTimePs_, cpuHz_, kPsPerSecond);
    }

    uint64_t nowPs_ = 0;
    uint64_t cpuHz_ = 1;
    uint64_t tscBase_ = 0;
    uint64_t tscBaseTimePs_ = 0;
    size_t raises_ = 0;
};

}  // namespace vc::test
