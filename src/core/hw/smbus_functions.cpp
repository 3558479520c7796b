#include "core/hw/smbus_functions.h"

#include "core/hw/smbus_access.h"
#include "core/hw/smbus_pci_registers.h"

namespace vc::privileged {

namespace {

constexpr uint8_t kIdRegister = 0x00;
constexpr uint8_t kBusZeroDevices = 32;
constexpr uint8_t kFunctions = 8;
constexpr uint32_t kNoDevice = 0xFFFF'FFFF;

}  // namespace

std::optional<Controller> ControllerOf(const KnownSmbusFunction& known, uint32_t id, uint32_t command, uint32_t base,
                                       uint32_t enableDword) {
    if ((base & smbus_pci::kIoSpaceBit) == 0) return std::nullopt;  // a memory range: not this register block
    Controller c;
    c.vendor = static_cast<uint16_t>(id);
    c.deviceId = static_cast<uint16_t>(id >> 16);
    c.kind = known.kind;
    c.ioBase = static_cast<uint16_t>(base & known.baseMask);
    c.baseRegister = known.baseRegister;
    c.enableRegister = known.enableRegister;
    const auto enableByte = static_cast<uint8_t>(enableDword >> (8 * (known.enableRegister & 3)));
    c.enabled = c.ioBase != 0 && SmbusHostEnabled(known, command, enableByte);
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
    // others of a single-function device shows the same IDs each time (and
    // only the table's function counts), and a controller seen twice is
    // kept once.
    for (uint8_t device = 0; device < kBusZeroDevices && found < out.size(); ++device) {
        for (uint8_t function = 0; function < kFunctions && found < out.size(); ++function) {
            const uint32_t id = read(device, function, kIdRegister);
            if (id == kNoDevice || static_cast<uint16_t>(id) == 0xFFFF) continue;
            const KnownSmbusFunction* known =
                FindKnownSmbusFunction(static_cast<uint16_t>(id), static_cast<uint16_t>(id >> 16));
            if (known == nullptr || known->function != function) continue;
            auto c = ControllerOf(*known, id, read(device, function, smbus_pci::kCommandRegister),
                                  read(device, function, known->baseRegister),
                                  read(device, function, static_cast<uint8_t>(known->enableRegister & 0xFC)));
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
