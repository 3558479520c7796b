// The host bridge's (bus 0, device 0, function 0) registers the program
// reads past the standard header, named once for the program and for the
// privileged components that decide what a caller may read.
#pragma once

#include <cstdint>

namespace vc {

inline constexpr uint8_t kHostBridgeMemClassRegister = 0x50;
inline constexpr uint32_t kHostBridgeMemClass133Bit = 1u << 2;  // 133 MHz memory class

}  // namespace vc
