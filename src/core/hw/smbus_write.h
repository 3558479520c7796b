// The SMBus write variants that put a frequency-select byte on the wire to
// the clock generator, by controller kind and chip.
#pragma once

#include <cstdint>

#include "core/app/context.h"
#include "core/hw/smbus_access.h"

namespace vc {

int32_t BlockWriteBuffered(const SmbusAccess& access, int32_t count, const uint8_t* data,
                           Context& ctx, DeviceHandle driver);
int32_t BlockWriteByteWise(const SmbusAccess& access, int32_t count, const uint8_t* data,
                           Context& ctx, DeviceHandle driver);
int32_t WriteIcs9248(const SmbusAccess& access, int32_t count, const uint8_t* data,
                     Context& ctx, DeviceHandle driver);
int32_t WriteRtm560(const SmbusAccess& access, int32_t count, const uint8_t* data,
                    Context& ctx, DeviceHandle driver);

// 9x only: reads the chip's register block into buffer (at most maxLength
// bytes). Returns 1 when the chip answered; `received` tells how many bytes
// the chip reported.
int32_t BlockReadByteWise(const SmbusAccess& access, int32_t maxLength, uint8_t* buffer,
                          Context& ctx, int32_t& received);

}  // namespace vc
