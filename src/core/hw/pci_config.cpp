#include "core/hw/pci_config.h"

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

BusResult ScanPCIValue(BusPath& path, uint32_t bus, uint32_t device, uint32_t function, uint32_t reg,
                       uint32_t& value) {
    return path.ReadPciConfig(PciConfigAddress(bus, device, function, reg), value);
}

}  // namespace vc
