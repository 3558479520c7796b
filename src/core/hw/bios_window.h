// The search of the 64 KiB BIOS window for a board's identification string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vc {

inline constexpr size_t kBiosSearchFirst = 0xE000;  // first start offset tried
inline constexpr size_t kBiosSearchLast = 0xFFFE;   // last start offset tried
inline constexpr size_t kBiosWindowEnd = 0x10000;   // no byte at or past this is read

// Whether `biosId` (up to its terminator, at most the 16 bytes of the field)
// starts at an offset 0xE000..0xFFFE of `window` and ends inside both the
// window and offset 0xFFFF. An empty string matches at the first offset the
// window holds.
bool BiosWindowHolds(std::span<const uint8_t> window, const char (&biosId)[16]);

}  // namespace vc
