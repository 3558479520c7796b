// Which PCI functions are SMBus host controllers the sequences can drive,
// and how one shows its base and whether its host is on: for the privileged
// components, which accept a write only behind a controller PCI shows.
// - block-buffer controllers (kind 1), the PIIX4 family: a known function
//   whose I/O base is configuration register 0x90, host enable 0xD2 bit 0;
// - byte-by-byte controllers (kind 2), the ICH family: an Intel function of
//   class SMBus (0x0C05) whose I/O base is register 0x20, host enable 0x40
//   bit 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/hw/privileged_hardware.h"

namespace vc::privileged {

struct SmbusFamily {
    int32_t kind;
    uint8_t baseRegister;
    uint16_t baseMask;  // drops the I/O-space bit and what the range decodes
    uint8_t enableRegister;
};

// The family of a function by its IDs and class (base class << 8 | subclass).
std::optional<SmbusFamily> SmbusFamilyOf(uint16_t vendor, uint16_t device, uint16_t classCode);

// The controller a function of `family` shows, from its ID dword (0x00),
// command/status dword (0x04), base dword and the dword holding its host
// enable; nothing when its base is no I/O range.
std::optional<Controller> ControllerOf(const SmbusFamily& family, uint32_t id, uint32_t command, uint32_t base,
                                       uint32_t enableDword);

// Every controller on bus 0, read through hardware.ReadPciConfig (the NT
// driver, the simulated machine): how many were put into `out`.
size_t ScanBusZero(Hardware& hardware, std::span<Controller> out);

}  // namespace vc::privileged
