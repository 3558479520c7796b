#include "sim/pci_host_bridge.h"

#include <string_view>

#include "core/hw/smbus_pci_registers.h"

namespace vc::sim {

namespace {

// Where the boards put the south bridge: the ICH family at device 0x1F,
// the others at device 7.
constexpr uint32_t kIchDevice = 0x1F;
constexpr uint32_t kSouthBridgeDevice = 0x07;

constexpr uint32_t Location(uint32_t device, uint32_t function) { return device << 3 | function; }

}  // namespace

const KnownSmbusFunction* SouthBridgeOf(const BoardDescription& board) {
    const char* name = board.southBridge.empty() ? (board.smbusKind == 1 ? "PIIX4" : "ICH2") : board.southBridge.c_str();
    if (board.smbusKind == 0) return nullptr;
    for (const KnownSmbusFunction& known : KnownSmbusFunctions()) {
        if (std::string_view(known.name) == name) return &known;
    }
    return nullptr;
}

PciHostBridge::PciHostBridge(const PciDescription& description, const BoardDescription& board) {
    config_[0] = description.hostBridgeId;
    for (const auto& [reg, value] : description.registers) SetRegister(reg, value);
    const KnownSmbusFunction* function = SouthBridgeOf(board);
    if (function == nullptr) return;
    smbusPresent_ = true;
    const uint32_t device = function->kind == 2 ? kIchDevice : kSouthBridgeDevice;
    smbusLocation_ = Location(device, function->function);
    smbusConfig_[0] = uint32_t{function->device} << 16 | function->vendor;
    smbusConfig_[smbus_pci::kClassRegister / 4U] = uint32_t{smbus_pci::kClassSmbus} << 16;  // revision 0
    smbusConfig_[function->baseRegister / 4U] = uint32_t{board.smbusBase} | smbus_pci::kIoSpaceBit;
    // As the BIOS leaves it: the host interface on; the command register as
    // the family's boards show it. VIA's power-management function reads 0
    // there while its SMBus decodes (i2c-viapro never looks at it; seen on
    // P3V4X and CUV4X-LS BIOS images in an emulator).
    const bool via = function->enableRule == SmbusEnableRule::HostOnly;
    const uint32_t command = board.smbusCommand.value_or(via ? 0 : smbus_pci::kCommandIoSpace);
    smbusConfig_[smbus_pci::kCommandRegister / 4U] = command;
    const uint8_t enable = function->enableRegister;
    if (board.smbusHostEnabled) {
        smbusConfig_[enable / 4U] |= uint32_t{smbus_pci::kHostEnableBit} << (8 * (enable % 4U));
    }
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
