// This computer behind the machine seam: the real processor (CPUID, the
// time-stamp counter, the timing loop), the monotonic clocks as performance
// counter and tick count, and the calling thread's scheduling priority.
// The driver and port half (host_driver_stub.cpp) answers "no driver, no
// ports" until the kernel interfaces exist.
#pragma once

#include <cstdint>
#include <string>

#include "core/hw/machine.h"
#include "host/thread_priority.h"

namespace vc {

class HostMachine : public Machine {
public:
    // --- operating system and driver (host_driver_stub.cpp) ---------------
    OsVersion GetOsVersion() override;
    DeviceHandle OpenDevice(const std::string& name, DeviceOpenMode mode) override;
    void CloseDevice(DeviceHandle handle) override;
    bool DeviceIoControl(DeviceHandle handle, const DeviceRequest& request) override;
    std::span<const uint8_t> ResolveBiosWindow(uint32_t address) override;
    uint8_t InPort8(uint16_t port) override;
    void OutPort8(uint16_t port, uint8_t value) override;
    uint32_t InPort32(uint16_t port) override;
    void OutPort32(uint16_t port, uint32_t value) override;

    // --- processor (host_processor.cpp) -------------------------------------
    bool HasCpuid() override;
    CpuidRegs Cpuid(uint32_t leaf) override;
    bool DivisionTestSetsClone() override;
    bool FlagsHighNibbleStuckSet() override;
    bool FlagsHighNibbleStuckClear() override;
    bool AlignmentCheckToggles() override;
    uint64_t ReadTimeStampCounter() override;
    void RunBitScanLoop(uint32_t iterations) override;

    // --- time (host_clock.cpp) ------------------------------------------------
    bool QueryPerformanceFrequency(uint64_t& frequency) override;
    bool QueryPerformanceCounter(uint64_t& counter) override;
    uint32_t TickCountMs() override;
    int32_t GetThreadPriority() override;
    void SetThreadPriority(int32_t priority) override;

private:
    ThreadPriority priority_;
};

}  // namespace vc
