#include "core/hw/smbus_controller_scan.h"

#include "core/hw/pci_config.h"
#include "core/hw/smbus_access.h"
#include "core/hw/smbus_pci_registers.h"

namespace vc {

namespace {

constexpr uint16_t kIntel = 0x8086;
constexpr uint32_t kIdRegister = 0x00;

constexpr uint8_t kBusZeroDevices = 32;

KnownSmbusFunction Piix4(uint16_t device, const char* name) {
    return {kIntel, device, name, smbus_pci::kPiix4BaseRegister, smbus_pci::kPiix4BaseMask,
            kSmbusControllerBlockBuffer};
}

KnownSmbusFunction Ich(uint16_t device, const char* name) {
    return {kIntel, device, name, smbus_pci::kIchBaseRegister, smbus_pci::kIchBaseMask, kSmbusControllerByteWise};
}

}  // namespace

const std::vector<KnownSmbusFunction>& KnownSmbusFunctions() {
    // Device IDs as the kernel's i2c-piix4 and i2c-i801 drivers list them.
    static const std::vector<KnownSmbusFunction> functions = {
        Piix4(0x7113, "PIIX4"),  // 82371AB/EB/MB: PIIX4, PIIX4E, PIIX4M
        Ich(0x2413, "ICH"),      // 82801AA
        Ich(0x2423, "ICH0"),     // 82801AB
        Ich(0x2443, "ICH2"),     // 82801BA
        Ich(0x2483, "ICH3"),     // 82801CA
        Ich(0x24C3, "ICH4"),     // 82801DB
        Ich(0x24D3, "ICH5"),     // 82801EB
        Ich(0x266A, "ICH6"),     // 82801FB
        Ich(0x27DA, "ICH7"),     // 82801G
        Ich(0x283E, "ICH8"),     // 82801H
        Ich(0x2930, "ICH9"),     // 82801I
    };
    return functions;
}

BusResult ScanSmbusControllers(BusPath& path, std::vector<FoundSmbusController>& found) {
    for (uint8_t device = 0; device < kBusZeroDevices; ++device) {
        uint32_t id = 0;
        BusResult result = ScanPCIValue(path, 0, device, kSmbusPciFunction, kIdRegister, id);
        if (result.Faulted()) return result;
        const KnownSmbusFunction* function = nullptr;
        for (const KnownSmbusFunction& known : KnownSmbusFunctions()) {
            if (id == (uint32_t{known.device} << 16 | known.vendor)) function = &known;
        }
        if (function == nullptr) continue;
        uint32_t base = 0;
        result = ScanPCIValue(path, 0, device, kSmbusPciFunction, function->baseRegister, base);
        if (result.Faulted()) return result;
        const auto address = static_cast<uint16_t>(base & function->baseMask);
        if ((base & smbus_pci::kIoSpaceBit) == 0 || address == 0) continue;
        found.push_back({function, device, address});
    }
    return {1};
}

}  // namespace vc
