// The controller put in a known state before a write: whatever an earlier
// transfer left behind (a block read the caller gave up on, a transfer that
// failed half way) must not decide how the write goes.
//
// Why it matters: after a block read whose byte count was 0 (QEMU's i2c-ddc
// at 0x69 answers a block read of command 0 with the first EDID byte, 0x00),
// the count is refused and the block bytes are never fetched. QEMU's model
// of both controller kinds (hw/i2c/pm_smbus.c) then still counts a block
// transfer as under way (op_done false); the next start clears its block
// index, so the write that has just loaded its bytes ends with DEV_ERR
// (index != count) before anything reaches the bus. On a real controller
// reading host control resets the index; the model does not.
#pragma once

#include <cstdint>

#include "core/hw/smbus_ports.h"

namespace vc {

// An idle controller is stopped (host control's KILL: any transfer still
// counted as under way ends; the PIIX4 and ICH datasheets both define the
// bit on an idle controller as setting FAILED only), and its status bits
// cleared. A controller that is busy, or whose semaphore somebody else
// holds, is left as it is (the transfer's own claim then decides). Whether
// it was reset.
bool ResetIdleController(SmbusPorts& ports, int32_t kind, uint16_t ioBase);

}  // namespace vc
