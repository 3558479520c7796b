// vcctl probe: what the driver sees, read only: the SMBus controllers,
// whether a device answers at the clock generator's address, the board
// records whose identification string the BIOS holds, and the processor's
// configuration word. Nothing is written. With --read-chip the clock
// generator's register block is read too (only then: some chips have no
// read-back and hang the controller when asked).
#pragma once

#include <string>
#include <vector>

#include "cli/session.h"

namespace vc::cli {

// What a block read of the clock generator does, said before one is made
// (probe --read-chip, board-id).
inline constexpr const char* kReadChipNotice =
    "note: block-reading the clock generator's registers at SMBus address 0x69 (nothing is written); "
    "a chip without read-back support (the ICS9250-29, for one) can hang the SMBus controller until the "
    "next reset\n";

int ProbeCommand(Session& session, const std::vector<std::string>& command);

}  // namespace vc::cli
