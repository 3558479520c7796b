#include "sim/pci_host_bridge.h"

namespace vc::sim {

PciHostBridge::PciHostBridge(const PciDescription& description) {
    config_[0] = description.hostBridgeId;
    for (const auto& [reg, value] : description.registers) SetRegister(reg, value);
}

uint32_t PciHostBridge::ReadConfig(uint32_t address) const {
    if ((address & kPciEnableBit) == 0) return kPciNoDevice;
    const uint32_t busDeviceFunction = (address >> 8) & 0xFFFF;
    if (busDeviceFunction != 0) return kPciNoDevice;
    return Register(static_cast<uint8_t>(address & 0xFC));
}

uint32_t PciHostBridge::In32(uint16_t port) const {
    if (port == kPciAddressPort) return address_;
    if (port == kPciDataPort) return ReadConfig(address_);
    return kPciNoDevice;
}

uint8_t PciHostBridge::In8(uint16_t port) const {
    if (port < kPciDataPort) return 0xFF;
    const unsigned lane = port - kPciDataPort;
    return static_cast<uint8_t>(ReadConfig(address_) >> (8 * lane));
}

void PciHostBridge::Out32(uint16_t port, uint32_t value) {
    if (port == kPciAddressPort) address_ = value;
}

}  // namespace vc::sim
