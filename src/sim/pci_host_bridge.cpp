#include "sim/pci_host_bridge.h"

#include "core/hw/smbus_pci_registers.h"

namespace vc::sim {

namespace {


struct SmbusFunction {
    uint32_t id;  // device << 16 | vendor
    uint32_t device;
    uint32_t function;
    uint8_t baseRegister;
    uint8_t enableRegister;
};

constexpr SmbusFunction kPiix4Smbus{0x71138086, 0x07, 3, smbus_pci::kPiix4BaseRegister,
                                   smbus_pci::kPiix4EnableRegister};
constexpr SmbusFunction kIch2Smbus{0x24438086, 0x1F, 3, smbus_pci::kIchBaseRegister, smbus_pci::kIchEnableRegister};

constexpr uint32_t Location(uint32_t device, uint32_t function) { return device << 3 | function; }

}  // namespace

PciHostBridge::PciHostBridge(const PciDescription& description, const BoardDescription& board) {
    config_[0] = description.hostBridgeId;
    for (const auto& [reg, value] : description.registers) SetRegister(reg, value);
    const SmbusFunction* function = board.smbusKind == 1   ? &kPiix4Smbus
                                    : board.smbusKind == 2 ? &kIch2Smbus
                                                           : nullptr;
    if (function == nullptr) return;
    smbusPresent_ = true;
    smbusLocation_ = Location(function->device, function->function);
    smbusConfig_[0] = function->id;
    smbusConfig_[smbus_pci::kClassRegister / 4U] = uint32_t{smbus_pci::kClassSmbus} << 16;  // revision 0
    smbusConfig_[function->baseRegister / 4U] = uint32_t{board.smbusBase} | smbus_pci::kIoSpaceBit;
    // As the BIOS leaves it: I/O decoding and the host interface on.
    smbusConfig_[smbus_pci::kCommandRegister / 4U] = smbus_pci::kCommandIoSpace;
    const uint8_t enable = function->enableRegister;
    smbusConfig_[enable / 4U] |= uint32_t{smbus_pci::kHostEnableBit} << (8 * (enable % 4U));
}

uint32_t PciHostBridge::ReadConfig(uint32_t address) const {
    if ((address & kPciEnableBit) == 0) return kPciNoDevice;
    const uint32_t busDeviceFunction = (address >> 8) & 0xFFFF;
    const uint32_t reg = (address & 0xFC) / 4U;
    if (busDeviceFunction == 0) return config_[reg];
    if (smbusPresent_ && busDeviceFunction == smbusLocation_) return smbusConfig_[reg];
    return kPciNoDevice;
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
