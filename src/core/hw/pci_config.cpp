#include "core/hw/pci_config.h"

#include <array>

#include "core/hw/hw_driver.h"
#include "core/hw/little_endian.h"

namespace vc {

namespace {
constexpr uint32_t kPciEnable = 0x80000000u;
}  // namespace

uint32_t PciConfigAddress(uint32_t bus, uint32_t device, uint32_t function, uint32_t reg) {
    // Each input is cut to its own field so that an out-of-range value can
    // never select another bus, device or function.
    return kPciEnable | (bus & 0xFFu) << 16 | (device & 0x1Fu) << 11 | (function & 0x7u) << 8 |
           (reg & 0xFFu);
}

int32_t ScanPCIValue(SystemInfo& info, Context& ctx, uint32_t bus, uint32_t device,
                     uint32_t function, uint32_t reg, uint32_t& value) {
    const uint32_t address = PciConfigAddress(bus, device, function, reg);
    switch (ctx.osKind) {
        case kOsWin9x:
            // Address and data port as a pair with nothing in between.
            ctx.machine.OutPort32(kPciAddressPort, address);
            value = ctx.machine.InPort32(kPciDataPort);
            return 1;
        case kOsNt4:
        case kOsWin2000: {
            std::array<uint8_t, 4> input{};
            std::array<uint8_t, 4> output{};
            PutLe32(input, 0, address);
            DeviceRequest request;
            request.code = kReqNtPciRead;
            request.input = input;
            request.output = output;
            if (!ctx.machine.DeviceIoControl(info.driverHandle, request)) {
                ctx.shell.ShowMessage(kCaptionMessage, "DeviceIOControl Fail (ScanPCIValue)\n");
                ctx.shell.EndProcess(1);
            }
            value = GetLe32(output, 0);
            return 1;
        }
        default:
            return 1;
    }
}

}  // namespace vc
