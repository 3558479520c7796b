// The SMBus host controllers as the privileged components see them, which
// accept a write only behind a controller PCI shows: a function whose IDs
// the controller table knows (smbus_controller_table.h), its base and
// whether its host is on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/hw/privileged_hardware.h"
#include "core/hw/smbus_controller_table.h"

namespace vc::privileged {

// The controller a function of the table's row `known` shows, from its ID
// dword (0x00), command/status dword (0x04), base dword and the dword
// holding its host enable; nothing when its base is no I/O range.
std::optional<Controller> ControllerOf(const KnownSmbusFunction& known, uint32_t id, uint32_t command, uint32_t base,
                                       uint32_t enableDword);

// Every controller on bus 0, read through hardware.ReadPciConfig (the NT
// driver, the simulated machine): how many were put into `out`.
size_t ScanBusZero(Hardware& hardware, std::span<Controller> out);

}  // namespace vc::privileged
