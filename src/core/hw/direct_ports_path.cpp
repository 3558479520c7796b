#include "core/hw/direct_ports_path.h"

#include <algorithm>
#include <array>

#include "core/cpu/cpu_info.h"
#include "core/hw/bios_window.h"
#include "core/hw/hw_driver.h"
#include "core/hw/pci_config.h"
#include "core/hw/platform_ports.h"
#include "core/hw/smbus_registers.h"

namespace vc {

namespace {

uint32_t RatioRequest(int32_t vendorCode) {
    switch (vendorCode) {
        case kVendorIntel: return kReq9xIntelRatio;
        case kVendorAmd: return kReq9xAmdRatio;
        default: return kReq9xOtherRatio;
    }
}

}  // namespace

// The virtual device is opened once and kept: the system counts the opens
// of a dynamically loaded device and unloads it when the last handle with
// DELETE_ON_CLOSE closes (Win32 SDK, "Closing a VxD"), so opening per
// request would load and unload it around every request.
bool DirectPortsPath::DeviceOpen() {
    if (handle_ == kNoDevice) handle_ = machine_.platform.OpenDevice(kWin9xDriverName, DeviceOpenMode::Win9xDynamic);
    return handle_ != kNoDevice;
}

BusResult DirectPortsPath::OpenForBios() {
    if (!DeviceOpen()) return {0};
    uint32_t window = 0;
    // A failed request leaves no window, so no BIOS string can be found in
    // it, whatever the driver left in the output buffer.
    if (!RequestWord(machine_.platform, handle_, kReq9xBiosWindow, window)) window = 0;
    biosWindow_ = window;
    return {1};
}

bool DirectPortsPath::BiosHolds(const TextField& biosId) {
    return BiosWindowHolds(machine_.platform.ResolveBiosWindow(biosWindow_), biosId);
}

BusResult DirectPortsPath::ReadConfigWord(int32_t vendorCode, uint32_t& word) {
    if (!DeviceOpen()) return {0};
    // The word is kept whatever the driver answered; the result decides.
    return {RequestWord(machine_.platform, handle_, RatioRequest(vendorCode), word) ? 1 : 0};
}

BusResult DirectPortsPath::ReadPciConfig(uint32_t address, uint32_t& value) {
    // Address and data port as a pair with nothing in between.
    machine_.platform.OutPort32(kPciAddressPort, address);
    value = machine_.platform.InPort32(kPciDataPort);
    return {1};
}

BusResult DirectPortsPath::WriteSmbus(SmbusVariant variant, const SmbusAccess& access,
                                      std::span<const uint8_t> data) {
    PlatformPorts ports(machine_);
    const SmbusTarget target{static_cast<uint16_t>(access.ioBase), static_cast<uint8_t>(access.writeAddress),
                             static_cast<uint8_t>(access.readAddress),
                             static_cast<uint8_t>(access.firstByteMask)};
    return {RunSmbusWrite(ports, variant, target, data, StartChecks::None) ? 1 : 0};
}

std::optional<std::vector<uint8_t>> DirectPortsPath::ReadClockGenBlock(const SmbusAccess& access) {
    PlatformPorts ports(machine_);
    const SmbusTarget target{static_cast<uint16_t>(access.ioBase), static_cast<uint8_t>(access.writeAddress),
                             static_cast<uint8_t>(access.readAddress), 0};
    std::array<uint8_t, smbus::kBlockBufferSize> block{};
    const int32_t count = ReadSmbusBlockOfKind(ports, access.controllerKind, target, block);
    if (count < 0) return std::nullopt;
    return std::vector<uint8_t>(block.begin(), block.begin() + std::min<int32_t>(count, std::ssize(block)));
}

}  // namespace vc
