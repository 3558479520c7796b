#include "core/hw/smbus_controller_scan.h"

#include "core/hw/pci_config.h"
#include "core/hw/smbus_access.h"
#include "core/hw/smbus_pci_registers.h"

namespace vc {

namespace {

constexpr uint32_t kIdRegister = 0x00;
constexpr uint8_t kBusZeroDevices = 32;
constexpr uint8_t kFunctions = 8;

// The functions some row of the table lives at, so the scan asks no other.
bool SomeRowAt(uint8_t function) {
    for (const KnownSmbusFunction& known : KnownSmbusFunctions()) {
        if (known.function == function) return true;
    }
    return false;
}

}  // namespace

BusResult ScanSmbusControllers(BusPath& path, std::vector<FoundSmbusController>& found) {
    for (uint8_t device = 0; device < kBusZeroDevices; ++device) {
        for (uint8_t function = 0; function < kFunctions; ++function) {
            if (!SomeRowAt(function)) continue;
            uint32_t id = 0;
            BusResult result = ScanPCIValue(path, 0, device, function, kIdRegister, id);
            if (result.Faulted()) return result;
            const KnownSmbusFunction* known =
                FindKnownSmbusFunction(static_cast<uint16_t>(id), static_cast<uint16_t>(id >> 16));
            if (known == nullptr || known->function != function) continue;
            uint32_t base = 0;
            result = ScanPCIValue(path, 0, device, function, known->baseRegister, base);
            if (result.Faulted()) return result;
            const auto address = static_cast<uint16_t>(base & known->baseMask);
            if ((base & smbus_pci::kIoSpaceBit) == 0 || address == 0) continue;
            uint32_t command = 0;
            result = ScanPCIValue(path, 0, device, function, smbus_pci::kCommandRegister, command);
            if (result.Faulted()) return result;
            uint32_t enableDword = 0;
            result = ScanPCIValue(path, 0, device, function, known->enableRegister & 0xFCU, enableDword);
            if (result.Faulted()) return result;
            const auto enableByte = static_cast<uint8_t>(enableDword >> (8 * (known->enableRegister & 3U)));
            found.push_back({known, device, function, address, SmbusHostEnabled(*known, command, enableByte)});
        }
    }
    return {1};
}

}  // namespace vc
