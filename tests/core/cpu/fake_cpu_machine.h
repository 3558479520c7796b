// A scriptable machine for the processor and time half of the machine seam.
// Time is virtual: every counter, time-stamp and tick read advances it by a
// fixed amount, and the timing loop advances it by the cycles it costs, so
// measurements are exact and take no real time. The driver and port half
// answers "nothing there".
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/hw/machine.h"

namespace vc::test {

__extension__ typedef unsigned __int128 Wide;

inline constexpr uint64_t kPsPerSecond = 1'000'000'000'000ull;
inline constexpr uint64_t kAcpiCounterHz = 3'579'545;

class FakeCpuMachine : public Machine {
public:
    // --- processor script ---------------------------------------------------
    bool hasCpuid = true;
    std::map<uint32_t, CpuidRegs> leaves;
    bool divisionClone = false;
    bool nibbleStuckSet = false;
    bool nibbleStuckClear = false;
    bool alignmentToggles = true;
    uint32_t loopCyclesPerIteration = 47;

    // --- time script -----------------------------------------------------------
    bool counterFrequencyAvailable = true;
    bool counterReadable = true;
    uint64_t counterHz = kAcpiCounterHz;
    uint64_t counterOffset = 0;  // added to every counter reading
    uint64_t tscOffset = 0;
    uint32_t tickOffset = 0;
    uint64_t counterReadPs = 100'000;   // 100 ns per counter read
    uint64_t tscReadPs = 10'000;        // 10 ns per time-stamp read
    uint64_t tickReadPs = 50'000'000;   // 50 us per tick read
    // Processor clocks taken in turn each time the thread is raised to
    // time-critical priority (one per measurement try); the last one stays.
    std::vector<uint64_t> cpuHzPerTry;
    bool priorityQueryFails = false;

    // --- what happened ----------------------------------------------------------
    // One letter per call: P counter, T time-stamp, K tick, G get priority,
    // + raised to time-critical, - priority set to anything else, L timing loop.
    std::string events;
    int32_t priority = 0;
    std::vector<int32_t> prioritiesSet;

    FakeCpuMachine() { SetCpuHz(500'000'000); }

    void SetProcessor(const char* vendor, uint32_t signature, uint32_t featureEdx) {
        CpuidRegs leaf0;
        uint32_t words[3] = {};
        char text[12] = {};
        std::memcpy(text, vendor, std::min<size_t>(12, std::strlen(vendor)));
        std::memcpy(words, text, 12);
        leaf0.ebx = words[0];
        leaf0.edx = words[1];
        leaf0.ecx = words[2];
        leaves[0] = leaf0;
        leaves[1] = CpuidRegs{signature, 0, 0, featureEdx};
        leaves[2] = CpuidRegs{0x03020101, 0, 0, 0x0C040843};
    }

    void SetCpuHz(uint64_t hz) {
        tscBase_ = RawTsc();
        tscBaseTimePs_ = nowPs_;
        cpuHz_ = hz;
    }

    void AdvancePs(uint64_t ps) { nowPs_ += ps; }
    uint64_t NowPs() const { return nowPs_; }
    uint64_t CounterNow() const { return counterOffset + static_cast<uint64_t>(Wide{nowPs_} * counterHz / kPsPerSecond); }
    uint32_t TickNow() const { return tickOffset + static_cast<uint32_t>(nowPs_ / 1'000'000'000ull); }

    // --- Machine -------------------------------------------------------------------
    OsVersion GetOsVersion() override { return {}; }
    DeviceHandle OpenDevice(const std::string&, DeviceOpenMode) override { return kNoDevice; }
    void CloseDevice(DeviceHandle) override {}
    bool DeviceIoControl(DeviceHandle, const DeviceRequest&) override { return false; }
    std::span<const uint8_t> ResolveBiosWindow(uint32_t) override { return {}; }
    uint8_t InPort8(uint16_t) override { return 0xFF; }
    void OutPort8(uint16_t, uint8_t) override {}
    uint32_t InPort32(uint16_t) override { return 0xFFFFFFFF; }
    void OutPort32(uint16_t, uint32_t) override {}

    bool HasCpuid() override { return hasCpuid; }
    CpuidRegs Cpuid(uint32_t leaf) override {
        ++cpuidCalls;
        const auto found = leaves.find(leaf);
        return found == leaves.end() ? CpuidRegs{} : found->second;
    }
    bool DivisionTestSetsClone() override { return divisionClone; }
    bool FlagsHighNibbleStuckSet() override { return nibbleStuckSet; }
    bool FlagsHighNibbleStuckClear() override { return nibbleStuckClear; }
    bool AlignmentCheckToggles() override { return alignmentToggles; }
    uint64_t ReadTimeStampCounter() override {
        events += 'T';
        nowPs_ += tscReadPs;
        return tscOffset + RawTsc();
    }
    void RunBitScanLoop(uint32_t iterations) override {
        events += 'L';
        const Wide cycles = Wide{iterations} * loopCyclesPerIteration;
        nowPs_ += static_cast<uint64_t>(cycles * kPsPerSecond / cpuHz_);
    }

    bool QueryPerformanceFrequency(uint64_t& frequency) override {
        if (!counterFrequencyAvailable) return false;
        frequency = counterHz;
        return true;
    }
    bool QueryPerformanceCounter(uint64_t& counter) override {
        events += 'P';
        if (!counterReadable) return false;
        nowPs_ += counterReadPs;
        counter = CounterNow();
        return true;
    }
    uint32_t TickCountMs() override {
        events += 'K';
        nowPs_ += tickReadPs;
        return TickNow();
    }
    int32_t GetThreadPriority() override {
        events += 'G';
        return priorityQueryFails ? kThreadPriorityError : priority;
    }
    void SetThreadPriority(int32_t value) override {
        prioritiesSet.push_back(value);
        priority = value;
        if (value != kThreadPriorityTimeCritical) {
            events += '-';
            return;
        }
        events += '+';
        if (raises_ < cpuHzPerTry.size()) SetCpuHz(cpuHzPerTry[raises_]);
        ++raises_;
    }

    int cpuidCalls = 0;

private:
    uint64_t RawTsc() const {
        return tscBase_ + static_cast<uint64_t>(Wide{nowPs_ - tscBaseTimePs_} * cpuHz_ / kPsPerSecond);
    }

    uint64_t nowPs_ = 0;
    uint64_t cpuHz_ = 1;
    uint64_t tscBase_ = 0;
    uint64_t tscBaseTimePs_ = 0;
    size_t raises_ = 0;
};

}  // namespace vc::test
