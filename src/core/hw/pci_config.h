// PCI configuration reads (mechanism #1).
#pragma once

#include <cstdint>

#include "core/app/context.h"
#include "core/app/system_info.h"

namespace vc {

inline constexpr uint16_t kPciAddressPort = 0xCF8;
inline constexpr uint16_t kPciDataPort = 0xCFC;

uint32_t PciConfigAddress(uint32_t bus, uint32_t device, uint32_t function, uint32_t reg);

// Reads one configuration dword into `value`. Returns 1; a failed driver
// request ends the process with exit code 1.
int32_t ScanPCIValue(SystemInfo& info, Context& ctx, uint32_t bus, uint32_t device,
                     uint32_t function, uint32_t reg, uint32_t& value);

}  // namespace vc
