// This computer behind the machine seam, one class per part:
// - HostProcessor: the real processor (CPUID, the time-stamp counter, the
//   timing loop);
// - HostClock: the monotonic clocks as performance counter and tick count,
//   and the calling thread's scheduling priority;
// - HostPlatform: the driver and port part: on Linux the privileged helper
//   (velocore-driverd) serves the NT port driver's requests over a local
//   socket; without it there is no driver and no port access.
// HostMachine holds one of each.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "core/base/machine.h"
#include "host/helper_connection.h"
#include "host/helper_problem.h"
#include "host/host_processor.h"
#include "host/thread_priority.h"

namespace vc {

class HostPlatform final : public Platform {
public:
    HostPlatform();
    ~HostPlatform() override;
    HostPlatform(const HostPlatform&) = delete;
    HostPlatform& operator=(const HostPlatform&) = delete;

    OsVersion GetOsVersion() override;
    DeviceHandle OpenDevice(const std::string& name, DeviceOpenMode mode) override;
    void CloseDevice(DeviceHandle handle) override;
    bool DeviceIoControl(DeviceHandle handle, const DeviceRequest& request) override;
    std::span<const uint8_t> ResolveBiosWindow(uint32_t address) override;
    uint8_t InPort8(uint16_t port) override;
    void OutPort8(uint16_t port, uint8_t value) override;
    uint32_t InPort32(uint16_t port) override;
    void OutPort32(uint16_t port, uint32_t value) override;

    // Why the helper's socket did not open or the helper turned this program
    // away, explained once: `report` hears it as it happens, before the
    // caller's own message; DriverProblem() keeps it (empty: none so far).
    void ReportProblemsTo(std::function<void(const std::string&)> report) { report_ = std::move(report); }
    const std::string& DriverProblem() const { return problem_; }

private:
    void Note(const host::HelperProblem& problem);

    std::function<void(const std::string&)> report_;
    std::string problem_;
    DeviceHandle nextHandle_ = 1;
    std::map<DeviceHandle, std::unique_ptr<host::HelperConnection>> connections_;
};

class HostClock final : public Clock {
public:
    bool QueryPerformanceFrequency(uint64_t& frequency) override;
    bool QueryPerformanceCounter(uint64_t& counter) override;
    uint32_t TickCountMs() override;
    int32_t GetThreadPriority() override;
    void SetThreadPriority(int32_t priority) override;

private:
    ThreadPriority priority_;
};

struct HostMachine {
    HostPlatform platform;
    HostProcessor processor;
    HostClock clock;

    Machine Parts() { return Machine{platform, processor, clock}; }
};

}  // namespace vc
