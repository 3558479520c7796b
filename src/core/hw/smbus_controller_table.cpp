#include "core/hw/smbus_controller_table.h"

#include "core/hw/smbus_access.h"
#include "core/hw/smbus_pci_registers.h"

namespace vc {

namespace {

using namespace smbus_pci;

constexpr uint16_t kIntel = 0x8086;
constexpr uint16_t kEfar = 0x1055;
constexpr uint16_t kServerWorks = 0x1166;
constexpr uint16_t kVia = 0x1106;

constexpr KnownSmbusFunction Piix4(uint16_t vendor, uint16_t device, const char* name, uint8_t function) {
    return {vendor, device, name, kPiix4BaseRegister, kPiix4BaseMask, kSmbusControllerBlockBuffer, function,
            kPiix4EnableRegister, "piix4_smbus", SmbusEnableRule::IoSpaceAndHost};
}

constexpr KnownSmbusFunction Ich(uint16_t device, const char* name) {
    return {kIntel, device, name, kIchBaseRegister, kIchBaseMask, kSmbusControllerByteWise, 3, kIchEnableRegister,
            "i801_smbus", SmbusEnableRule::IoSpaceAndHost};
}

constexpr KnownSmbusFunction Via(uint16_t device, const char* name, uint8_t function, uint8_t baseRegister) {
    return {kVia, device, name, baseRegister, kViaBaseMask, kSmbusControllerBlockBuffer, function,
            kViaEnableRegister, "vt596_smbus", SmbusEnableRule::HostOnly};
}

// IDs and functions as the kernel's i2c-piix4, i2c-i801 and i2c-viapro
// drivers and the chips' datasheets give them.
constexpr KnownSmbusFunction kTable[] = {
    Piix4(kIntel, 0x7113, "PIIX4", 3),         // 82371AB/EB/MB power management
    Piix4(kIntel, 0x719B, "440MX", 3),         // 82440MX power management
    Piix4(kEfar, 0x9463, "SLC90E66", 3),       // power management function
    Piix4(kServerWorks, 0x0200, "OSB4", 0),    // south bridge
    Piix4(kServerWorks, 0x0201, "CSB5", 0),
    Piix4(kServerWorks, 0x0203, "CSB6", 0),
    Ich(0x2413, "ICH"),                        // 82801AA
    Ich(0x2423, "ICH0"),                       // 82801AB
    Ich(0x2443, "ICH2"),                       // 82801BA
    Ich(0x2483, "ICH3"),                       // 82801CA
    Ich(0x24C3, "ICH4"),                       // 82801DB
    Ich(0x24D3, "ICH5"),                       // 82801EB
    Ich(0x266A, "ICH6"),                       // 82801FB
    Ich(0x27DA, "ICH7"),                       // 82801G
    Ich(0x283E, "ICH8"),                       // 82801H
    Ich(0x2930, "ICH9"),                       // 82801I
    Ich(0x3A30, "ICH10"),                      // 82801J
    Via(0x3050, "VT82C596", 3, kVia596BaseRegister),
    Via(0x3051, "VT82C596B", 3, kVia596BaseRegister),
    Via(0x3057, "VT82C686", 4, kVia596BaseRegister),  // A and B
    Via(0x8235, "VT8231", 4, kVia596BaseRegister),
    Via(0x3074, "VT8233", 0, kVia8233BaseRegister),
    Via(0x3147, "VT8233A", 0, kVia8233BaseRegister),
    Via(0x3177, "VT8235", 0, kVia8233BaseRegister),
    Via(0x3227, "VT8237R", 0, kVia8233BaseRegister),
};

}  // namespace

std::span<const KnownSmbusFunction> KnownSmbusFunctions() { return kTable; }

bool SmbusHostEnabled(const KnownSmbusFunction& known, uint32_t command, uint8_t enableByte) {
    const bool host = (enableByte & kHostEnableBit) != 0;
    switch (known.enableRule) {
        case SmbusEnableRule::IoSpaceAndHost: return host && (command & kCommandIoSpace) != 0;
        case SmbusEnableRule::HostOnly: return host;
    }
    return false;
}

const KnownSmbusFunction* FindKnownSmbusFunction(uint16_t vendor, uint16_t device) {
    for (const KnownSmbusFunction& row : kTable) {
        if (row.vendor == vendor && row.device == device) return &row;
    }
    return nullptr;
}

}  // namespace vc
