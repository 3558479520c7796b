// Whether a board's identification string occurs in this machine's BIOS.
#pragma once

#include <cstdint>
#include <span>

#include "core/app/context.h"
#include "core/app/system_info.h"

namespace vc {

inline constexpr size_t kBiosSearchFirst = 0xE000;  // first start offset tried
inline constexpr size_t kBiosSearchLast = 0xFFFE;   // last start offset tried
inline constexpr size_t kBiosWindowEnd = 0x10000;   // no byte at or past this is read

// The window search: whether `biosId` (up to its terminator, at most the 16
// bytes of the field) starts at an offset 0xE000..0xFFFE of `window` and ends
// inside both the window and offset 0xFFFF. An empty string matches at the
// first offset the window holds.
bool BiosWindowHolds(std::span<const uint8_t> window, const char (&biosId)[16]);

// 9x: searches the BIOS window at info.biosWindow; NT family: asks the driver
// (request 0x9C402458 with the 16-byte field); other systems: no.
bool BiosIdFound(SystemInfo& info, Context& ctx, const char (&biosId)[16]);

}  // namespace vc
