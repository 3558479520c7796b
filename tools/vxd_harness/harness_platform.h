// The program's platform seam with the 9x device behind it: what the
// program asks of "\\.\Map9X.vxd" goes to the LE file loaded fresh at each
// open (CREATE_NEW | DELETE_ON_CLOSE loads it, closing unloads it), with
// the system's own messages around each request; the BIOS window is read as
// a ring-3 program reads it; the OS version and the ports come from the
// board the tests choose (a simulated machine as Windows 98).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/base/platform.h"
#include "emulated_system.h"
#include "loaded_device.h"

namespace vc::vxd {

class HarnessPlatform final : public Platform {
public:
    HarnessPlatform(Platform& board, EmulatedSystem& system, std::vector<uint8_t> deviceFile);

    OsVersion GetOsVersion() override { return board_.GetOsVersion(); }
    DeviceHandle OpenDevice(const std::string& name, DeviceOpenMode mode) override;
    void CloseDevice(DeviceHandle handle) override;
    bool DeviceIoControl(DeviceHandle handle, const DeviceRequest& request) override;
    std::span<const uint8_t> ResolveBiosWindow(uint32_t address) override;
    uint8_t InPort8(uint16_t port) override { return board_.InPort8(port); }
    void OutPort8(uint16_t port, uint8_t value) override { board_.OutPort8(port, value); }
    uint32_t InPort32(uint16_t port) override { return board_.InPort32(port); }
    void OutPort32(uint16_t port, uint32_t value) override { board_.OutPort32(port, value); }

    uint32_t loads = 0;
    uint32_t requests = 0;
    // Load, open, close or unload steps the device answered with a failure.
    std::vector<std::string> lifecycleFaults;
    size_t OpenCount() const { return open_.size(); }
    // What the system does with a process's handles when it ends.
    void CloseAll() {
        while (!open_.empty()) CloseDevice(open_.begin()->first);
    }

private:
    Platform& board_;
    EmulatedSystem& system_;
    std::vector<uint8_t> file_;
    std::map<DeviceHandle, std::unique_ptr<LoadedDevice>> open_;
    std::set<uint32_t> windows_;
    DeviceHandle next_ = 1;
};

}  // namespace vc::vxd
