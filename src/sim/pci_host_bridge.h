// PCI configuration mechanism #1 with the board's functions behind it: the
// host bridge at bus 0, device 0, function 0 (register 0x50 carries the
// memory clock class in bit 2 on boards that report it there), and the
// SMBus host controller's function as the board's south bridge has it (a
// row of the controller table: its IDs, function, base and host-enable
// registers): by default the block-buffer controller as a PIIX4 (at
// 00:07.3), the byte-by-byte one as an ICH2 (at 00:1F.3); a VIA south
// bridge at device 7 too, at its own function. The BIOS has left the base set (I/O
// space bit 0), I/O decoding and the host on.
#pragma once

#include <array>
#include <cstdint>

#include "core/hw/smbus_controller_table.h"
#include "sim/machine_description.h"

namespace vc::sim {

inline constexpr uint16_t kPciAddressPort = 0xCF8;
inline constexpr uint16_t kPciDataPort = 0xCFC;
inline constexpr uint32_t kPciEnableBit = 0x80000000;
inline constexpr uint32_t kPciNoDevice = 0xFFFFFFFF;

// The controller table's row for the board's south bridge (its default for
// the kind when the description names none); nullptr without a controller.
const KnownSmbusFunction* SouthBridgeOf(const BoardDescription& board);

class PciHostBridge {
public:
    PciHostBridge(const PciDescription& description, const BoardDescription& board);

    // A configuration read by mechanism #1 address; functions nobody
    // answers for, and addresses without the enable bit, read all ones.
    uint32_t ReadConfig(uint32_t address) const;

    // Port side: 0xCF8 latches the address (32-bit writes only), 0xCFC-0xCFF
    // read the addressed dword or one of its bytes. Data writes are ignored.
    static bool Owns(uint16_t port) { return port >= kPciAddressPort && port < kPciDataPort + 4; }
    uint32_t In32(uint16_t port) const;
    uint8_t In8(uint16_t port) const;
    void Out32(uint16_t port, uint32_t value);

    uint32_t Register(uint8_t reg) const { return config_[reg / 4U]; }
    void SetRegister(uint8_t reg, uint32_t value) { config_[reg / 4U] = value; }

private:
    using ConfigSpace = std::array<uint32_t, 64>;

    ConfigSpace config_{};
    // The SMBus function: its bus/device/function number (bits 8-23 of an
    // address), or none.
    bool smbusPresent_ = false;
    uint32_t smbusLocation_ = 0;
    ConfigSpace smbusConfig_{};
    uint32_t address_ = 0;
};

}  // namespace vc::sim
