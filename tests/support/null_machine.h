// A machine with nothing in it: no system the program serves, no driver,
// ports where nothing answers, no CPUID and no counters; the tick count moves
// on by one millisecond per read so busy waits end. Test machines derive from
// it and answer only the questions their tests are about.
#pragma once

#include "core/hw/machine.h"

namespace vc::test {

class NullMachine : public Machine {
public:
    OsVersion GetOsVersion() override { return {}; }
    DeviceHandle OpenDevice(const std::string&, DeviceOpenMode) override { return kNoDevice; }
    void CloseDevice(DeviceHandle) override {}
    bool DeviceIoControl(DeviceHandle, const DeviceRequest&) override { return false; }
    std::span<const uint8_t> ResolveBiosWindow(uint32_t) override { return {}; }
    uint8_t InPort8(uint16_t) override { return 0xFF; }
    void OutPort8(uint16_t, uint8_t) override {}
    uint32_t InPort32(uint16_t) override { return 0xFFFFFFFF; }
    void OutPort32(uint16_t, uint32_t) override {}

    bool HasCpuid() override { return false; }
    CpuidRegs Cpuid(uint32_t) override { return {}; }
    bool DivisionTestSetsClone() override { return false; }
    bool FlagsHighNibbleStuckSet() override { return false; }
    bool FlagsHighNibbleStuckClear() override { return false; }
    bool AlignmentCheckToggles() override { return false; }
    uint64_t ReadTimeStampCounter() override { return 0; }
    void RunBitScanLoop(uint32_t) override {}
    bool QueryPerformanceFrequency(uint64_t&) override { return false; }
    bool QueryPerformanceCounter(uint64_t&) override { return false; }
    uint32_t TickCountMs() override { return ticks++; }
    int32_t GetThreadPriority() override { return 0; }
    void SetThreadPriority(int32_t) override {}

    uint32_t ticks = 0;
};

}  // namespace vc::test
