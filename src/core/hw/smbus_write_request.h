// The one driver request that carries an SMBus write on the NT family.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/app/context.h"
#include "core/hw/smbus_access.h"

namespace vc {

inline constexpr size_t kSmbusWriteRequestSize = 28;

// Seven little-endian 32-bit fields: ioBase, byte count, data address,
// operation, controllerKind, writeAddress, firstByteMask.
std::array<uint8_t, kSmbusWriteRequestSize> EncodeSmbusWriteRequest(const SmbusAccess& access,
                                                                    int32_t count);

// Sends the request with `code` on `driver`, handing the `count` data bytes
// along. Returns 1; a failed request ends the process with exit code 1.
int32_t SendSmbusWriteRequest(uint32_t code, const SmbusAccess& access, int32_t count,
                              const uint8_t* data, Context& ctx, DeviceHandle driver);

}  // namespace vc
