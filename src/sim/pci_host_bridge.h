// PCI configuration mechanism #1 with one device behind it: the host bridge
// at bus 0, device 0, function 0. Register 0x50 carries the memory clock
// class in bit 2 on boards that report it there.
#pragma once

#include <array>
#include <cstdint>

#include "sim/machine_description.h"

namespace vc::sim {

inline constexpr uint16_t kPciAddressPort = 0xCF8;
inline constexpr uint16_t kPciDataPort = 0xCFC;
inline constexpr uint32_t kPciEnableBit = 0x80000000;
inline constexpr uint32_t kPciNoDevice = 0xFFFFFFFF;

class PciHostBridge {
public:
    explicit PciHostBridge(const PciDescription& description);

    // A configuration read by mechanism #1 address; devices other than the
    // host bridge, and addresses without the enable bit, read all ones.
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
    std::array<uint32_t, 64> config_{};
    uint32_t address_ = 0;
};

}  // namespace vc::sim
