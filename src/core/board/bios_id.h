// Whether a board's identification string occurs in this machine's BIOS.
#pragma once

#include "core/board/system_info.h"
#include "core/hw/bios_window.h"

namespace vc {

// 9x: searches the BIOS window the driver handed out; NT family: asks the
// driver (request 0x9C402458 with the 16-byte field); other systems: no.
bool BiosIdFound(const SystemInfo& info, const char (&biosId)[16]);

}  // namespace vc
