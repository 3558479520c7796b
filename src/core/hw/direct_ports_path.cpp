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

// One request on the virtual device, which is opened for it alone.
bool RequestWordOnce(Platform& platform, uint32_t code, uint32_t& word, bool& opened) {
    const DeviceHandle handle = platform.OpenDevice(kWin9xDriverName, DeviceOpenMode::Win9xPerRequest);
    opened = handle != kNoDevice;
    if (!opened) return false;
    const bool ok = RequestWord(platform, handle, code, word);
    platform.CloseDevice(handle);
    return ok;
}

}  // namespace

BusResult DirectPortsPath::OpenForBios() {
    uint32_t window = 0;
    bool opened = false;
    // A failed request leaves no window, so no BIOS string can be found in
    // it, whatever the driver left in the output buffer.
    if (!RequestWordOnce(machine_.platform, kReq9xBiosWindow, window, opened)) window = 0;
    if (!opened) return {0};
    biosWindow_ = window;
    return {1};
}

bool DirectPortsPath::BiosHolds(const TextField& biosId) {
    return BiosWindowHolds(machine_.platform.ResolveBiosWindow(biosWindow_), biosId);
}

BusResult DirectPortsPath::ReadConfigWord(int32_t vendorCode, uint32_t& word) {
    bool opened = false;
    // The word is kept whatever the driver answered; the result decides.
    const bool ok = RequestWordOnce(machine_.platform, RatioRequest(vendorCode), word, opened);
    return {ok ? 1 : 0};
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
