// This computer on Windows behind the machine seam:
// - Win32Platform: the system's version, the hardware access drivers (the NT
//   port driver and the 9x virtual device, each opened once and kept),
//   direct port I/O on the 9x family, and the BIOS window the 9x driver
//   hands out;
// - HostProcessor: the same x86 code as on Linux (host/host_processor.h);
// - Win32Clock: the performance counter, the tick count and the thread's
//   priority.
// No driver ships with the program: without one, opening it fails and the
// core reports that as it always does.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "core/base/machine.h"
#include "host/host_processor.h"

namespace vc::win32 {

class Win32Platform final : public Platform {
public:
    Win32Platform();
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    OsVersion GetOsVersion() override;
    DeviceHandle OpenDevice(const std::string& name, DeviceOpenMode mode) override;
    void CloseDevice(DeviceHandle handle) override;
    bool DeviceIoControl(DeviceHandle handle, const DeviceRequest& request) override;
    std::span<const uint8_t> ResolveBiosWindow(uint32_t address) override;
    uint8_t InPort8(uint16_t port) override;
    void OutPort8(uint16_t port, uint8_t value) override;
    uint32_t InPort32(uint16_t port) override;
    void OutPort32(uint16_t port, uint32_t value) override;

private:
    struct Device {
        void* handle;  // HANDLE
        DeviceOpenMode mode;
    };

    OsVersion version_;
    // Port instructions fault outside the 9x family: there they read as a
    // floating bus and writes go nowhere, as on a board without the device.
    bool portsAllowed_ = false;
    DeviceHandle nextHandle_ = 1;
    std::map<DeviceHandle, Device> devices_;
    std::set<uint32_t> biosWindows_;  // addresses the 9x driver handed out
};

class Win32Clock final : public Clock {
public:
    bool QueryPerformanceFrequency(uint64_t& frequency) override;
    bool QueryPerformanceCounter(uint64_t& counter) override;
    uint32_t TickCountMs() override;
    int32_t GetThreadPriority() override;
    // Time-critical also lifts the process into the real-time class (the
    // Linux host's highest FIFO priority); any other level puts the class
    // back as it was.
    void SetThreadPriority(int32_t priority) override;

private:
    int32_t level_ = 0;
    bool raisedClass_ = false;
    uint32_t normalClass_ = 0;
};

struct Win32Machine {
    Win32Platform platform;
    HostProcessor processor;
    Win32Clock clock;

    Machine Parts() { return Machine{platform, processor, clock}; }
};

}  // namespace vc::win32
