// vcctl probe: what the driver sees, read only: the SMBus controllers,
// whether a device answers at the clock generator's address, the board
// records whose identification string the BIOS holds, and the processor's
// configuration word. Nothing is written.
#pragma once

#include <string>
#include <vector>

#include "cli/session.h"

namespace vc::cli {

int ProbeCommand(Session& session, const std::vector<std::string>& command);

}  // namespace vc::cli
