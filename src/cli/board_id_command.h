// vcctl board-id: proposes a board record for this computer from what its
// hardware shows (BIOS strings, the SMBus controller PCI shows, the clock
// generator's read-back), read only: nothing is written to any chip.
// vcctl data add-board [--bios STRING]: adds that record to the program
// directory's sources (sources/local.vcdata) and rebuilds the data files.
#pragma once

#include <string>
#include <vector>

#include "cli/session.h"

namespace vc::cli {

int BoardIdCommand(Session& session, const std::vector<std::string>& command);
int AddBoardCommand(Session& session, const std::vector<std::string>& command);

}  // namespace vc::cli
