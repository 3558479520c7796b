// The PCI configuration registers of the SMBus controller families: where
// each keeps its I/O base and its host-enable bit. The controller table
// (smbus_controller_table.cpp) names them per controller from here.
#pragma once

#include <cstdint>

namespace vc::smbus_pci {

// PIIX4 family: the power-management function, SMBus base (SMBBA) at 0x90
// decoding 16 ports; host configuration 0xD2 bit 0 enables the host.
inline constexpr uint8_t kPiix4BaseRegister = 0x90;
inline constexpr uint16_t kPiix4BaseMask = 0xFFF0;
inline constexpr uint8_t kPiix4EnableRegister = 0xD2;

// ICH family: the SMBus function, I/O base in BAR 4 (0x20) decoding 32
// ports; host configuration 0x40 bit 0 enables the host.
inline constexpr uint8_t kIchBaseRegister = 0x20;
inline constexpr uint16_t kIchBaseMask = 0xFFE0;
inline constexpr uint8_t kIchEnableRegister = 0x40;

// VIA family (the kernel's i2c-viapro): the PIIX4's register layout and block
// buffer. The VT82C596/596B/686A/686B and VT8231 keep the SMBus base (SMBBA1)
// at 0x90 of their power-management function, the VT8233 and later (SMBBA3)
// at 0xD0 of function 0; host configuration 0xD2 bit 0 enables the host on all.
inline constexpr uint8_t kVia596BaseRegister = 0x90;
inline constexpr uint8_t kVia8233BaseRegister = 0xD0;
inline constexpr uint16_t kViaBaseMask = 0xFFF0;
inline constexpr uint8_t kViaEnableRegister = 0xD2;

inline constexpr uint8_t kHostEnableBit = 0x01;
// Every function's command register: bit 0 turns I/O decoding on.
inline constexpr uint8_t kCommandRegister = 0x04;
inline constexpr uint32_t kCommandIoSpace = 0x0001;
// Revision, then programming interface, subclass, base class.
inline constexpr uint8_t kClassRegister = 0x08;
inline constexpr uint16_t kClassSmbus = 0x0C05;  // serial bus controller, SMBus
// Bit 0 of an I/O base register: the range is in I/O space.
inline constexpr uint32_t kIoSpaceBit = 0x1;

}  // namespace vc::smbus_pci
