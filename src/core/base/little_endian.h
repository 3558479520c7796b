// Little-endian 32-bit fields of driver request buffers, written and read
// byte by byte so the layout never depends on the host's byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vc {

inline void PutLe32(std::span<uint8_t> buffer, size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        buffer[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

inline uint32_t GetLe32(std::span<const uint8_t> buffer, size_t offset) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(buffer[offset + i]) << (8 * i);
    }
    return value;
}

}  // namespace vc
