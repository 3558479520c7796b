// PCI configuration reads (mechanism #1).
#pragma once

#include <cstdint>

#include "core/hw/bus_path.h"

namespace vc {

inline constexpr uint16_t kPciAddressPort = 0xCF8;
inline constexpr uint16_t kPciDataPort = 0xCFC;

uint32_t PciConfigAddress(uint32_t bus, uint32_t device, uint32_t function, uint32_t reg);

// Reads one configuration dword into `value` on the chosen path. Answers 1,
// or the PciRequest fault when the driver refuses the request.
BusResult ScanPCIValue(BusPath& path, uint32_t bus, uint32_t device, uint32_t function, uint32_t reg,
                       uint32_t& value);

}  // namespace vc
