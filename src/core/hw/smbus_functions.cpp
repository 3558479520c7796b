#include "core/hw/smbus_functions.h"

#include "core/hw/smbus_access.h"
#include "core/hw/smbus_pci_registers.h"

namespace vc::privileged {

namespace {

constexpr SmbusFamily kPiix4{kSmbusControllerBlockBuffer, smbus_pci::kPiix4BaseRegister, smbus_pci::kPiix4BaseMask,
                             smbus_pci::kPiix4EnableRegister};
constexpr SmbusFamily kIch{kSmbusControllerByteWise, smbus_pci::kIchBaseRegister, smbus_pci::kIchBaseMask,
                           smbus_pci::kIchEnableRegister};

struct PciId {
    uint16_t vendor;
    uint16_t device;
};

// Functions with the PIIX4 SMBus host at register 0x90.
constexpr PciId kPiix4Functions[] = {
    {0x8086, 0x7113},  // 82371AB/EB/MB power management function
    {0x8086, 0x719B},  // 82440MX power management function
    {0x1055, 0x9463},  // SLC90E66 power management function
    {0x1166, 0x0200},  // OSB4 south bridge
    {0x1166, 0x0201},  // CSB5 south bridge
    {0x1166, 0x0203},  // CSB6 south bridge
};

constexpr uint16_t kIntel = 0x8086;
constexpr uint8_t kIdRegister = 0x00;
constexpr uint8_t kBusZeroDevices = 32;
constexpr uint8_t kFunctions = 8;
constexpr uint32_t kNoDevice = 0xFFFF'FFFF;

}  // namespace

std::optional<SmbusFamily> SmbusFamilyOf(uint16_t vendor, uint16_t device, uint16_t classCode) {
    for (const PciId& id : kPiix4Functions) {
        if (id.vendor == vendor && id.device == device) return kPiix4;
    }
    if (vendor == kIntel && classCode == smbus_pci::kClassSmbus) return kIch;
    return std::nullopt;
}

std::optional<Controller> ControllerOf(const SmbusFamily& family, uint32_t id, uint32_t command, uint32_t base,
                                       uint32_t enableDword) {
    if ((base & smbus_pci::kIoSpaceBit) == 0) return std::nullopt;  // a memory range: not this register block
    Controller c;
    c.vendor = static_cast<uint16_t>(id);
    c.deviceId = static_cast<uint16_t>(id >> 16);
    c.kind = family.kind;
    c.ioBase = static_cast<uint16_t>(base & family.baseMask);
    c.baseRegister = family.baseRegister;
    c.enableRegister = family.enableRegister;
    const auto enableByte = static_cast<uint8_t>(enableDword >> (8 * (family.enableRegister & 3)));
    c.enabled = c.ioBase != 0 && (command & smbus_pci::kCommandIoSpace) != 0 && (enableByte & smbus_pci::kHostEnableBit) != 0;
    return c;
}

size_t ScanBusZero(Hardware& hardware, std::span<Controller> out) {
    size_t found = 0;
    const auto read = [&](uint8_t device, uint8_t function, uint8_t reg) {
        uint32_t value = kNoDevice;
        if (!hardware.ReadPciConfig(0, device, function, reg, value)) value = kNoDevice;
        return value;
    };
    // Every function of every device: a function that answers for the
    // others of a single-function device shows the same IDs each time, and
    // a controller seen twice is kept once.
    for (uint8_t device = 0; device < kBusZeroDevices && found < out.size(); ++device) {
        for (uint8_t function = 0; function < kFunctions && found < out.size(); ++function) {
            const uint32_t id = read(device, function, kIdRegister);
            if (id == kNoDevice || static_cast<uint16_t>(id) == 0xFFFF) continue;
            const uint32_t classDword = read(device, function, smbus_pci::kClassRegister);
            const auto family = SmbusFamilyOf(static_cast<uint16_t>(id), static_cast<uint16_t>(id >> 16),
                                              static_cast<uint16_t>(classDword >> 16));
            if (!family) continue;
            auto c = ControllerOf(*family, id, read(device, function, smbus_pci::kCommandRegister),
                                  read(device, function, family->baseRegister),
                                  read(device, function, static_cast<uint8_t>(family->enableRegister & 0xFC)));
            if (!c) continue;
            bool seen = false;
            for (size_t i = 0; i < found; ++i) seen = seen || out[i].ioBase == c->ioBase;
            if (seen) continue;
            c->device = device;
            c->function = function;
            out[found++] = *c;
        }
    }
    return found;
}

}  // namespace vc::privileged
