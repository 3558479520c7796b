// The one driver request that carries an SMBus write on the NT family:
// 28 bytes, seven little-endian 32-bit fields, written by the program and
// read by the driver.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/hw/smbus_access.h"

namespace vc {

inline constexpr size_t kSmbusWriteRequestSize = 28;

struct SmbusWriteRequest {
    uint32_t ioBase = 0;
    uint32_t count = 0;
    uint32_t dataAddress = 0;  // see kDataAddressToken
    uint32_t operation = 0;
    uint32_t controllerKind = 0;
    uint32_t writeAddress = 0;
    uint32_t firstByteMask = 0;
};

// The driver would read the data bytes from a 32-bit address in the
// caller's memory. A 64-bit process has no such address to give, so the
// field stays 0 and the bytes travel in DeviceRequest::referenced, from
// where the driver reads them as it would read caller memory.
inline constexpr uint32_t kDataAddressToken = 0;
// Where that field sits: a 32-bit program puts the bytes' real address there.
inline constexpr size_t kDataAddressOffset = 8;

std::array<uint8_t, kSmbusWriteRequestSize> EncodeSmbusWriteRequest(const SmbusAccess& access,
                                                                    int32_t count);

// Field by field; false when the buffer is shorter than 28 bytes.
bool ParseSmbusWriteRequest(std::span<const uint8_t> input, SmbusWriteRequest& request);

}  // namespace vc
