#include "core/hw/smbus_write_request.h"

#include "core/base/little_endian.h"

namespace vc {

std::array<uint8_t, kSmbusWriteRequestSize> EncodeSmbusWriteRequest(const SmbusAccess& access,
                                                                    int32_t count) {
    std::array<uint8_t, kSmbusWriteRequestSize> bytes{};
    const uint32_t fields[] = {
        static_cast<uint32_t>(access.ioBase),         static_cast<uint32_t>(count),
        kDataAddressToken,                            static_cast<uint32_t>(access.operation),
        static_cast<uint32_t>(access.controllerKind), static_cast<uint32_t>(access.writeAddress),
        static_cast<uint32_t>(access.firstByteMask),
    };
    static_assert(sizeof fields == kSmbusWriteRequestSize);
    size_t offset = 0;
    for (const uint32_t field : fields) {
        PutLe32(bytes, offset, field);
        offset += 4;
    }
    return bytes;
}

bool ParseSmbusWriteRequest(std::span<const uint8_t> input, SmbusWriteRequest& r) {
    if (input.size() < kSmbusWriteRequestSize) return false;
    uint32_t* const fields[] = {&r.ioBase,         &r.count,        &r.dataAddress, &r.operation,
                                &r.controllerKind, &r.writeAddress, &r.firstByteMask};
    size_t offset = 0;
    for (uint32_t* field : fields) {
        *field = GetLe32(input, offset);
        offset += 4;
    }
    return true;
}

}  // namespace vc
